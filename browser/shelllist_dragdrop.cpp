// Dragging the folder list's rows out, and dropping files onto its folder rows or its folder.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>

#include "browser/changenoticecoalescer.h"
#include "browser/folderlister.h"
#include "browser/foldercontext.h"
#include "browser/shelllist.h"
#include "browser/shelllistitemdata.h"
#include "browser/shelllistmodel.h"
#include "platform/entry_stat.h"

namespace nomaro {

std::string ShellList::dropFolderAt(const QPoint &position) const
{
    const QModelIndex under = indexAt(position);
    if (const ShellListItemData *item = under.isValid() ? m_model->item(under.row()) : nullptr) {
        if (item->isLink()) {
            if (const std::optional<std::string> target = platform::resolvedFolder(item->path()))
                return *target;
        } else if (item->isFolder() && !item->path().empty()) {
            return item->path();
        }
    }
    return folderContext().folderPath();
}

void ShellList::dragSelection()
{
    const std::vector<std::string> paths = selectedPaths();
    if (paths.empty())
        return;
    // Refreshes wait for the drag's end, so the rows being dragged stay where they are.
    m_lister->coalescer().beginDrag();
    const Qt::DropAction action = ShellDragDrop::runDrag(this, paths);
    m_lister->coalescer().endDrag(action != Qt::IgnoreAction);
}

void ShellList::mousePressEvent(QMouseEvent *event)
{
    QTreeView::mousePressEvent(event);
    m_dragDrop.press(*event, hasOption(sloOleDrag) && indexAt(event->position().toPoint()).isValid());
}

void ShellList::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragDrop.takesMove(*event, [this] { dragSelection(); }))
        QTreeView::mouseMoveEvent(event);
}

void ShellList::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragDrop.release();
    QTreeView::mouseReleaseEvent(event);
}

void ShellList::dragEnterEvent(QDragEnterEvent *event)
{
    m_dragDrop.dragEnter(*event);
}

void ShellList::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeView::dragMoveEvent(event);
    m_dragDrop.dragMove(*event);
}

void ShellList::dropEvent(QDropEvent *event)
{
    QTreeView::dropEvent(event);
    m_dragDrop.drop(*event, [this](const DropPlan &plan, const QPersistentModelIndex &) { afterCommand(m_verbs.drop(plan)); });
}

} // namespace nomaro
