// Dragging the folder list's rows out, and dropping files onto its folder rows or its folder.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>

#include "browser/changenoticecoalescer.h"
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
    m_coalescer->beginDrag();
    const Qt::DropAction action = ShellDragDrop::runDrag(this, paths);
    m_coalescer->endDrag(action != Qt::IgnoreAction);
}

void ShellList::mousePressEvent(QMouseEvent *event)
{
    QTreeView::mousePressEvent(event);
    m_dragDrop.press(*event, hasOption(sloOleDrag) && indexAt(event->position().toPoint()).isValid());
}

void ShellList::mouseMoveEvent(QMouseEvent *event)
{
    switch (m_dragDrop.move(*event)) {
    case ShellDragDrop::MouseMove::StartDrag:
        dragSelection();
        return;
    case ShellDragDrop::MouseMove::Swallow:
        return;
    case ShellDragDrop::MouseMove::PassOn:
        break;
    }
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
    if (event->isAccepted())
        setState(DraggingState);
}

void ShellList::dragMoveEvent(QDragMoveEvent *event)
{
    // The view scrolls near its edges and marks the row under the pointer.
    QTreeView::dragMoveEvent(event);
    m_dragDrop.dragMove(*event);
}

void ShellList::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    const DropPlan plan = m_dragDrop.drop(*event);
    if (!plan.accepted())
        return;
    // Carried out once the drop has been answered: the source waits for that answer, and a copy
    // can take long or end in an error box.
    QMetaObject::invokeMethod(this, [this, plan] { afterCommand(m_verbs.drop(plan)); }, Qt::QueuedConnection);
}

} // namespace nomaro
