#pragma once

// Drag and drop of files for a folder view (the list or the tree). It reads the view's mouse
// and drag events and leaves the decisions to plain code: planDrop says what a drop does, the
// view's FileVerbCommands carries it out.
//
// How a view uses it:
//   - mousePressEvent: pass the press on, then m_dragDrop.press(*event, draggable);
//     mouseMoveEvent: if (!m_dragDrop.takesMove(*event, startDrag)) pass it on;
//     mouseReleaseEvent: m_dragDrop.release(), then pass it on;
//   - dragEnterEvent: m_dragDrop.dragEnter(*event); dragMoveEvent: pass it on (the view scrolls
//     and marks the row under the pointer), then m_dragDrop.dragMove(*event);
//     dropEvent: pass it on (the view ends its drag state), then m_dragDrop.drop(*event, carry);
//   - its drop option: setDropsAccepted(on).

#include <QPoint>
#include <QPersistentModelIndex>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/dropplan.h"

class QAbstractItemView;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QMouseEvent;
class QWidget;

namespace nomaro {

class ShellDragDrop
{
public:
    // The folder that a drop at a viewport position goes into; empty where nothing may be
    // dropped.
    using FolderAt = std::function<std::string(const QPoint &position)>;
    ShellDragDrop(QAbstractItemView &view, FolderAt folderAt);

    // Whether the view takes drops at all; off, every drag is refused.
    void setDropsAccepted(bool accepted);
    bool dropsAccepted() const { return m_dropsAccepted; }

    // Accepted while the data holds local files; the move then says where they may go.
    void dragEnter(QDragEnterEvent &event) const;
    void dragMove(QDragMoveEvent &event) const;
    // The event is accepted with the action of its plan, which `carry` is given once the drop
    // has been answered (the source waits for the answer; a copy can take long or end in an
    // error box), with the row or node the drop was on. Ignored when the plan refuses it.
    using CarryOut = std::function<void(const DropPlan &plan, const QPersistentModelIndex &target)>;
    void drop(QDropEvent &event, CarryOut carry) const;

    // A left press on something that can be dragged starts watching the mouse: moves are the
    // drag's (not a selection's) until the button goes up or the drag starts.
    void press(const QMouseEvent &event, bool draggable);
    // Whether the move is the drag's; `startDrag` runs once the mouse has gone far enough.
    bool takesMove(const QMouseEvent &event, const std::function<void()> &startDrag);
    void release() { m_pressedAt.reset(); }

    // Drags `paths` out of `source` until the drop or the cancel; the action the target took
    // (Qt::IgnoreAction when none).
    static Qt::DropAction runDrag(QWidget *source, const std::vector<std::string> &paths);

private:
    DropPlan planAt(const QMimeData *data, const QPoint &position, Qt::KeyboardModifiers modifiers,
                    Qt::DropActions possible) const;

    QAbstractItemView &m_view;
    FolderAt m_folderAt;
    bool m_dropsAccepted = false;
    std::optional<QPoint> m_pressedAt;
};

} // namespace nomaro
