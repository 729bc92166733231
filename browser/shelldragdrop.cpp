#include "browser/shelldragdrop.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <utility>

#include "platform/file_verbs.h"

namespace nomaro {

ShellDragDrop::ShellDragDrop(QAbstractItemView &view, FolderAt folderAt)
    : m_view(view), m_folderAt(std::move(folderAt))
{
}

void ShellDragDrop::setDropsAccepted(bool accepted)
{
    m_dropsAccepted = accepted;
    // The viewport receives the drags of a scroll area.
    m_view.setAcceptDrops(accepted);
    m_view.viewport()->setAcceptDrops(accepted);
}

DropPlan ShellDragDrop::planAt(const QMimeData *data, const QPoint &position, Qt::KeyboardModifiers modifiers,
                               Qt::DropActions possible) const
{
    if (!m_dropsAccepted || !data)
        return {};
    return planDrop(platform::itemsFromMimeData(*data).paths, m_folderAt(position), modifiers, possible);
}

void ShellDragDrop::dragEnter(QDragEnterEvent &event) const
{
    if (m_dropsAccepted && event.mimeData() && !platform::itemsFromMimeData(*event.mimeData()).paths.empty())
        event.acceptProposedAction();
    else
        event.ignore();
}

void ShellDragDrop::dragMove(QDragMoveEvent &event) const
{
    const DropPlan plan =
        planAt(event.mimeData(), event.position().toPoint(), event.modifiers(), event.possibleActions());
    if (!plan.accepted()) {
        event.ignore();
        return;
    }
    event.setDropAction(plan.action);
    event.accept();
}

void ShellDragDrop::drop(QDropEvent &event, CarryOut carry) const
{
    const QPoint position = event.position().toPoint();
    const DropPlan plan = planAt(event.mimeData(), position, event.modifiers(), event.possibleActions());
    if (!plan.accepted()) {
        event.ignore();
        return;
    }
    event.setDropAction(plan.action);
    event.accept();
    QMetaObject::invokeMethod(
        &m_view, [plan, carry = std::move(carry), target = QPersistentModelIndex(m_view.indexAt(position))] {
            carry(plan, target);
        },
        Qt::QueuedConnection);
}

void ShellDragDrop::press(const QMouseEvent &event, bool draggable)
{
    if (draggable && event.button() == Qt::LeftButton)
        m_pressedAt = event.position().toPoint();
    else
        m_pressedAt.reset();
}

bool ShellDragDrop::takesMove(const QMouseEvent &event, const std::function<void()> &startDrag)
{
    if (!m_pressedAt)
        return false;
    if (!(event.buttons() & Qt::LeftButton)) {
        m_pressedAt.reset();
        return false;
    }
    if ((event.position().toPoint() - *m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_pressedAt.reset();
        startDrag();
    }
    return true;
}

Qt::DropAction ShellDragDrop::runDrag(QWidget *source, const std::vector<std::string> &paths)
{
    if (paths.empty())
        return Qt::IgnoreAction;
    auto *drag = new QDrag(source);
    drag->setMimeData(platform::dragDataForItems(paths).release());
    return drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

} // namespace nomaro
