#pragma once

// The file commands that the folder list and the folder tree share: the verbs of the key table
// (copy, cut, paste, delete), the drop of files, and the context menu that offers them. Each
// command tells which folders it changed and what it could not do, so the component can bring
// itself (and a linked one) up to date before it shows the failures in one error box.

#include <QPoint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/keynames.h"

class QKeyEvent;
class QWidget;

namespace nomaro {

struct DropPlan;

struct CommandOutcome
{
    bool ran = false;                 // something was tried: the component refreshes
    std::vector<std::string> folders; // the folders whose contents changed
    std::vector<std::string> failures; // one message per item left as it was, in Italian

    // Whether a changed folder lies where no change notice tells a linked component of it.
    bool changedUnwatchedFolder() const;
    // The failures for one box: the first few, each with its reason, then how many others
    // failed, so that twenty thousand failures still make a box that fits the screen.
    std::string failureText() const;
};

class FileVerbCommands
{
public:
    // The entries of the context menu; an entry without an action is shown disabled.
    struct MenuActions
    {
        std::function<void()> open, cut, copy, paste, rename, remove;
    };

    // `owner` is the parent of the boxes the commands show.
    explicit FileVerbCommands(QWidget *owner) : m_owner(owner) {}

    // The entry of the key table that `event` is ("Del" also with Shift), if any.
    static std::optional<ComponentKey> commandOf(const QKeyEvent &event);
    // Whether the clipboard holds files to paste.
    static bool clipboardHasItems();

    // Opens each file with the desktop's application for it; the files that none opens are
    // named in one error box.
    void open(const std::vector<std::string> &paths) const;
    void copy(const std::vector<std::string> &paths, bool cut) const;
    // The clipboard's items into `folder`, never replacing an item there.
    CommandOutcome paste(const std::string &folder) const;
    // The items to the trash, once the user has confirmed it.
    CommandOutcome trash(const std::vector<std::string> &paths) const;
    CommandOutcome drop(const DropPlan &plan) const;
    // One error box with every failure of the command, if it had any.
    void showFailures(const CommandOutcome &outcome) const;

    // "Apri", "Taglia", "Copia", "Incolla", "Rinomina", "Elimina", until one is chosen or the
    // menu closes.
    void execMenu(const QPoint &globalPos, const MenuActions &actions) const;

private:
    QWidget *m_owner;
};

} // namespace nomaro
