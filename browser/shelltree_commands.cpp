// The folder tree's file commands on the selected node: the key table, the context menu, and
// dragging a node out or dropping files onto one.

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <functional>
#include <optional>

#include "browser/changenoticecoalescer.h"
#include "browser/shellerrorreport.h"
#include "browser/shelltree.h"
#include "platform/beep.h"

namespace nomaro {

void ShellTree::copyNode(const ShellTreeNodeData &node, bool cut)
{
    // The top node is the tree's base: it may be copied, never taken away.
    if (cut && node.isTop()) {
        platform::beep();
        return;
    }
    m_verbs.copy({node.path()}, cut);
}

void ShellTree::pasteIntoNode(const ShellTreeNodeData &node)
{
    const QPersistentModelIndex target = m_model->indexOf(&node);
    const CommandOutcome outcome = m_verbs.paste(node.path());
    readIfUnread(target, outcome);
    afterCommand(outcome);
}

void ShellTree::deleteNode(const ShellTreeNodeData &node)
{
    if (node.isTop()) {
        platform::beep();
        return;
    }
    afterCommand(m_verbs.trash({node.path()}));
}

void ShellTree::openNode(ShellTreeNodeData &node)
{
    expandNode(&node);
    m_programmatic = true;
    selectNode(&node);
}

void ShellTree::readIfUnread(const QPersistentModelIndex &target, const CommandOutcome &outcome)
{
    // UpdateItems reads only the folders read before.
    ShellTreeNodeData *node = ShellTreeModel::nodeOf(target);
    if (outcome.ran && node && !node->filled && !node->leadsBackUp)
        m_model->fill(*node);
}

void ShellTree::afterCommand(const CommandOutcome &outcome)
{
    if (!outcome.ran)
        return;
    UpdateItems();
    if (outcome.changedUnwatchedFolder())
        Q_EMIT unwatchedFolderChanged();
    m_verbs.showFailures(outcome);
}

bool ShellTree::runCommandKey(QKeyEvent &event)
{
    const std::optional<ComponentKey> command = FileVerbCommands::commandOf(event);
    // Selecting everything means nothing in a tree: the control has the key.
    if (!command || *command == ComponentKey::SelectAll)
        return false;
    ShellTreeNodeData *node = selectedNode();
    if (*command == ComponentKey::Refresh)
        UpdateItems();
    else if (!node)
        return true;
    switch (*command) {
    case ComponentKey::EditCaption:
        edit(m_model->indexOf(node), EditKeyPressed, &event);
        break;
    case ComponentKey::Delete:
        deleteNode(*node);
        break;
    case ComponentKey::Copy:
        copyNode(*node, false);
        break;
    case ComponentKey::Cut:
        copyNode(*node, true);
        break;
    case ComponentKey::Paste:
        pasteIntoNode(*node);
        break;
    case ComponentKey::SelectAll:
    case ComponentKey::Refresh:
        break;
    }
    return true;
}

void ShellTree::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex under = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    const ShellTreeNodeData *clicked = ShellTreeModel::nodeOf(under);
    if (!hasOption(stoContextMenus) || state() == EditingState || !clicked) {
        QTreeView::contextMenuEvent(event);
        return;
    }
    // The menu acts on the node under the pointer, which becomes the user's selection. A
    // refresh while the menu is open may take the node away, so each entry looks it up again.
    if (under != selectionModel()->currentIndex())
        selectionModel()->setCurrentIndex(under, QItemSelectionModel::ClearAndSelect);
    const QPersistentModelIndex index(under);
    const auto onNode = [index](std::function<void(ShellTreeNodeData &)> verb) -> std::function<void()> {
        return [index, verb] {
            if (ShellTreeNodeData *node = ShellTreeModel::nodeOf(index))
                verb(*node);
        };
    };

    FileVerbCommands::MenuActions actions;
    actions.open = onNode([this](ShellTreeNodeData &node) { openNode(node); });
    if (!clicked->path().empty()) {
        actions.copy = onNode([this](ShellTreeNodeData &node) { copyNode(node, false); });
        actions.paste = onNode([this](ShellTreeNodeData &node) { pasteIntoNode(node); });
        if (!clicked->isTop()) {
            actions.cut = onNode([this](ShellTreeNodeData &node) { copyNode(node, true); });
            actions.remove = onNode([this](ShellTreeNodeData &node) { deleteNode(node); });
        }
    }
    if (clicked->canRename()) {
        actions.rename = [this, index] {
            if (index.isValid())
                QAbstractItemView::edit(index);
        };
    }
    // The entries run from the menu's signals: each reports its own failures.
    for (std::function<void()> *action : {&actions.open, &actions.cut, &actions.copy, &actions.paste, &actions.rename, &actions.remove})
        *action = reportingShellErrors(this, std::move(*action));
    m_verbs.execMenu(event->globalPos(), actions);
}

std::string ShellTree::dropFolderAt(const QPoint &position) const
{
    const ShellTreeNodeData *node = ShellTreeModel::nodeOf(indexAt(position));
    return node ? node->path() : std::string();
}

void ShellTree::dragNode(const ShellTreeNodeData &node)
{
    // Refreshes wait for the drag's end; one that ended in a drop refreshes.
    m_coalescer->beginDrag();
    const Qt::DropAction action = ShellDragDrop::runDrag(this, {node.path()});
    m_coalescer->endDrag(action != Qt::IgnoreAction);
}

void ShellTree::mousePressEvent(QMouseEvent *event)
{
    QTreeView::mousePressEvent(event);
    const ShellTreeNodeData *node = ShellTreeModel::nodeOf(indexAt(event->position().toPoint()));
    m_dragDrop.press(*event, hasOption(stoOleDrag) && node && !node->isTop() && !node->path().empty());
}

void ShellTree::mouseMoveEvent(QMouseEvent *event)
{
    const auto drag = [this] {
        if (const ShellTreeNodeData *node = selectedNode())
            dragNode(*node);
    };
    if (!m_dragDrop.takesMove(*event, drag))
        QTreeView::mouseMoveEvent(event);
}

void ShellTree::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragDrop.release();
    QTreeView::mouseReleaseEvent(event);
}

void ShellTree::dragEnterEvent(QDragEnterEvent *event)
{
    m_dragDrop.dragEnter(*event);
}

void ShellTree::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeView::dragMoveEvent(event);
    m_dragDrop.dragMove(*event);
}

void ShellTree::dropEvent(QDropEvent *event)
{
    QTreeView::dropEvent(event);
    m_dragDrop.drop(*event, [this](const DropPlan &plan, const QPersistentModelIndex &target) {
        const CommandOutcome outcome = m_verbs.drop(plan);
        readIfUnread(target, outcome);
        afterCommand(outcome);
    });
}

} // namespace nomaro
