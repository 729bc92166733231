// The folder list's key table: select all, delete, copy, cut, paste, refresh and rename.

#include <QKeyEvent>
#include <optional>
#include <string>
#include <vector>

#include "browser/foldercontext.h"
#include "browser/shelllist.h"
#include "browser/shelllistitemdata.h"
#include "browser/shelllistmodel.h"

namespace nomaro {

std::vector<std::string> ShellList::selectedPaths() const
{
    std::vector<std::string> paths;
    for (const QModelIndex &index : selectionModel()->selectedRows()) {
        std::string path = m_model->item(index.row())->path();
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

void ShellList::copySelection(bool cut)
{
    m_verbs.copy(selectedPaths(), cut);
}

void ShellList::pasteIntoFolder()
{
    afterCommand(m_verbs.paste(folderContext().folderPath()));
}

void ShellList::deleteSelection()
{
    afterCommand(m_verbs.trash(selectedPaths()));
}

void ShellList::afterCommand(const CommandOutcome &outcome)
{
    if (!outcome.ran)
        return;
    UpdateItems();
    if (outcome.changedUnwatchedFolder())
        Q_EMIT unwatchedFolderChanged();
    m_verbs.showFailures(outcome);
}

bool ShellList::runCommandKey(const QKeyEvent &event)
{
    const std::optional<ComponentKey> command = FileVerbCommands::commandOf(event);
    if (!command)
        return false;
    switch (*command) {
    case ComponentKey::SelectAll:
        SelectAll();
        break;
    case ComponentKey::Delete:
        deleteSelection();
        break;
    case ComponentKey::Copy:
        copySelection(false);
        break;
    case ComponentKey::Cut:
        copySelection(true);
        break;
    case ComponentKey::Paste:
        pasteIntoFolder();
        break;
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
