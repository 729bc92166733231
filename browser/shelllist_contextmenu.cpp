// The folder list's own context menu for the selected items.

#include <QContextMenuEvent>

#include "browser/shellerrorreport.h"
#include "browser/shelllist.h"

namespace nomaro {

void ShellList::contextMenuEvent(QContextMenuEvent *event)
{
    if (!hasOption(sloContextMenus) || state() == EditingState) {
        QTreeView::contextMenuEvent(event);
        return;
    }
    // A right click on a row that is not selected acts on that row alone.
    const QModelIndex under = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (under.isValid() && !selectionModel()->isRowSelected(under.row(), {}))
        selectionModel()->setCurrentIndex(under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    FileVerbCommands::MenuActions actions;
    actions.paste = [this] { pasteIntoFolder(); };
    if (selectionModel()->hasSelection()) {
        actions.open = [this] { openSelection(); };
        actions.cut = [this] { copySelection(true); };
        actions.copy = [this] { copySelection(false); };
        actions.rename = [this] {
            if (currentIndex().isValid())
                QTreeView::edit(currentIndex());
        };
        actions.remove = [this] { deleteSelection(); };
    }
    // The entries run from the menu's signals: each reports its own failures.
    for (std::function<void()> *action : {&actions.open, &actions.cut, &actions.copy, &actions.paste, &actions.rename, &actions.remove})
        *action = reportingShellErrors(this, std::move(*action));
    m_verbs.execMenu(event->globalPos(), actions);
}

} // namespace nomaro
