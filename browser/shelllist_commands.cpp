// The folder list's key table: select all, delete, copy, cut, paste, refresh and rename.

#include <QKeyEvent>
#include <optional>

#include "browser/keynames.h"
#include "browser/shelllist.h"

namespace nomaro {
namespace {

// The entry of the key table that `pressed` is, if any; "Del" also acts with Shift held.
std::optional<ComponentKey> commandOf(QKeyCombination pressed)
{
    for (const ComponentKey command : {ComponentKey::SelectAll, ComponentKey::Delete, ComponentKey::Copy, ComponentKey::Cut,
                                       ComponentKey::Paste, ComponentKey::Refresh, ComponentKey::EditCaption}) {
        if (componentKey(command) == pressed)
            return command;
    }
    if (pressed == QKeyCombination(Qt::ShiftModifier, componentKey(ComponentKey::Delete).key())
        && componentKey(ComponentKey::Delete).keyboardModifiers() == Qt::NoModifier)
        return ComponentKey::Delete;
    return std::nullopt;
}

} // namespace

bool ShellList::runCommandKey(const QKeyEvent &event)
{
    // The keypad's own flag does not make another key.
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const std::optional<ComponentKey> command = commandOf(QKeyCombination(modifiers, Qt::Key(event.key())));
    if (!command)
        return false;
    switch (*command) {
    case ComponentKey::SelectAll:
        SelectAll();
        break;
    case ComponentKey::Delete:
    case ComponentKey::Copy:
    case ComponentKey::Cut:
    case ComponentKey::Paste:
        return false;
    case ComponentKey::Refresh:
        Refresh();
        break;
    case ComponentKey::EditCaption:
        if (currentIndex().isValid())
            QTreeView::edit(currentIndex());
        break;
    }
    return true;
}

} // namespace nomaro
