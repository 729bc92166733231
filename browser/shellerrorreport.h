#pragma once

// The browser's slots that Qt's signals call (selection changes, timers, menu entries, the link
// between the panes) must not let a platform failure unwind through the emission, which Qt
// leaves undefined and which can leave a selection half changed. Each such slot runs its work
// through reportShellErrors, which shows the failure in the error box the event loop would
// have shown.

#include <functional>
#include <utility>

#include "platform/shell_error.h"

class QWidget;

namespace nomaro {

// Shows `error` in the program's error box.
void showShellError(QWidget *parent, const platform::ShellError &error);

template <typename Work>
void reportShellErrors(QWidget *parent, Work &&work)
{
    try {
        std::forward<Work>(work)();
    } catch (const platform::ShellError &error) {
        showShellError(parent, error);
    }
}

// `work` wrapped so that it reports its failures itself; empty stays empty.
inline std::function<void()> reportingShellErrors(QWidget *parent, std::function<void()> work)
{
    if (!work)
        return {};
    return [parent, work = std::move(work)] { reportShellErrors(parent, work); };
}

} // namespace nomaro
