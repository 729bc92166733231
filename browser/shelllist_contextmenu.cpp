// The folder list's own context menu for the selected items.

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

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
    const bool selected = selectionModel()->hasSelection();

    QMenu menu(this);
    menu.addAction(QStringLiteral("Apri"), this, [this] { openSelection(); })->setEnabled(selected);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Taglia"), this, [this] { copySelection(true); })->setEnabled(selected);
    menu.addAction(QStringLiteral("Copia"), this, [this] { copySelection(false); })->setEnabled(selected);
    menu.addAction(QStringLiteral("Incolla"), this, [this] { pasteIntoFolder(); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Rinomina"), this, [this] {
        if (currentIndex().isValid())
            QTreeView::edit(currentIndex());
    })->setEnabled(selected);
    menu.addAction(QStringLiteral("Elimina"), this, [this] { deleteSelection(); })->setEnabled(selected);
    menu.exec(event->globalPos());
}

} // namespace nomaro
