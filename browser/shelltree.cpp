#include "browser/shelltree.h"

#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "browser/changenoticecoalescer.h"
#include "browser/shellerrorreport.h"
#include "browser/shelltreewatch.h"
#include "platform/beep.h"
#include "platform/hourglass.h"
#include "platform/shell_error.h"
#include "widgets/messages.h"

namespace nomaro {

ShellTree::ShellTree(QWidget *parent)
    : QTreeView(parent), m_model(new ShellTreeModel(this))
{
    m_model->setGhostedBrush(palette().brush(QPalette::Disabled, QPalette::Text));
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_followTimer.setSingleShot(true);
    // Slots of signals: a failure is reported here, not unwound through the emission.
    connect(&m_followTimer, &QTimer::timeout, this, [this] { reportShellErrors(this, [this] { followSelectedNode(); }); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { reportShellErrors(this, [&] { currentNodeChanged(current); }); });
    setUpLiveUpdate();
    m_baseFolder.setChangeHandler([this] {
        m_current.Clear();
        if (hasOption(stoAutoFill) && isVisible()) {
            m_programmatic = true;
            Refresh();
        }
    });
}

ShellTree::~ShellTree()
{
    tearDownLiveUpdate();
}

void ShellTree::SetOptions(ShellTreeOptions options)
{
    const auto changed = options ^ Options();
    m_model->setOptions(options);
    optionsChanged(changed);
    if (testAttribute(Qt::WA_WState_Created))
        m_dragDrop.setDropsAccepted(hasOption(stoOleDrop));
}

ShellTreeNodeData *ShellTree::selectedNode() const
{
    return ShellTreeModel::nodeOf(selectionModel()->currentIndex());
}

void ShellTree::setCurrentFolder(const platform::ItemIdList &absolute)
{
    m_current.SetIdList(absolute);
}

void ShellTree::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        m_model->setGhostedBrush(palette().brush(QPalette::Disabled, QPalette::Text));
    QTreeView::changeEvent(event);
}

void ShellTree::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    m_dragDrop.setDropsAccepted(hasOption(stoOleDrop));
    if (hasOption(stoAutoFill) && !m_model->top()) {
        try {
            Refresh();
        } catch (const platform::ShellError &) {
            // The base folder cannot be bound: the tree stays empty.
        }
    }
}

void ShellTree::Refresh()
{
    if (m_coalescer->deferRefresh())
        return;
    const platform::HourglassGuard hourglass;
    if (OnFillStart)
        OnFillStart(this);
    {
        const QScopedValueRollback muted(m_muted, true);
        selectionModel()->clear();
        // Every node goes: dropping the watch at once spares taking the folders back one by one.
        m_watch->stop();
        m_model->fillTop(m_baseFolder.IdList());
        expand(m_model->indexOf(m_model->top()));
    }
    if (!m_current.IdList().isDesktop())
        ShowFolder(m_current.IdList());
    else {
        m_programmatic = true;
        selectNode(m_model->top());
    }
    if (m_followTimer.isActive())
        flushPending(false);
    if (OnFillComplete)
        OnFillComplete(this);
    if (hasOption(stoDynamicRefresh))
        startWatching();
}

void ShellTree::UpdateItems()
{
    if (m_coalescer->deferRefresh())
        return;
    if (!m_model->top()) {
        Refresh();
        return;
    }
    const platform::HourglassGuard hourglass;
    if (OnFillStart)
        OnFillStart(this);
    {
        const QScopedValueRollback muted(m_muted, true);
        m_keptSelection = selectedNode();
        selectionModel()->clear();
        m_model->update(*m_model->top());
    }
    ShellTreeNodeData *kept = m_keptSelection;
    m_keptSelection = nullptr;
    m_programmatic = true;
    selectNode(kept ? kept : m_model->top());
    if (OnFillComplete)
        OnFillComplete(this);
}

void ShellTree::expandNode(ShellTreeNodeData *node)
{
    if (!node->filled && !node->leadsBackUp)
        m_model->fill(*node);
    expand(m_model->indexOf(node));
}

void ShellTree::ShowFolder(const platform::ItemIdList &absolute)
{
    if (m_muted || !m_model->top())
        return;
    // The list showing the folder that the tree has selected (it follows the tree) changes
    // nothing here.
    if (const ShellTreeNodeData *selected = selectedNode();
        selected && selectionModel()->isSelected(m_model->indexOf(selected)) && selected->absoluteId() == absolute)
        return;
    const platform::HourglassGuard hourglass;
    ShellTreeNodeData *node = m_model->top();
    const int base = m_baseFolder.IdList().count();
    const int target = absolute.count();
    if (target > 0) {
        expandNode(node);
        for (int i = base; i < target; ++i) {
            const platform::ItemIdList relative = absolute.first(i + 1).last();
            ShellTreeNodeData *child = m_model->findChild(*node, relative);
            if (!child)
                child = m_model->addChild(*node, relative);
            if (!child) {
                platform::beep();
                break;
            }
            if (i < target - 1 || m_expandsShownFolder)
                expandNode(child);
            node = child;
        }
    }
    m_programmatic = true;
    selectNode(node);
    scrollTo(m_model->indexOf(node));
}

void ShellTree::selectNode(ShellTreeNodeData *node)
{
    if (!node)
        return;
    const QModelIndex index = m_model->indexOf(node);
    if (selectionModel()->currentIndex() == index) {
        // Nothing changes for the view, so the change handler is done here; the node is selected
        // again in case something cleared the selection but left the current node.
        if (!selectionModel()->isSelected(index))
            selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        currentNodeChanged(index);
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void ShellTree::GoUp(int levels)
{
    ShellTreeNodeData *node = selectedNode();
    if (!node || !node->parent())
        return;
    for (int i = 0; i < levels && node->parent(); ++i)
        node = node->parent();
    m_programmatic = true;
    selectNode(node);
}

void ShellTree::currentNodeChanged(const QModelIndex &current)
{
    ShellTreeNodeData *node = ShellTreeModel::nodeOf(current);
    if (!node)
        return;
    if (m_muted) {
        setCurrentFolder(node->absoluteId());
        return;
    }
    if (m_programmatic || !m_linkedToList) {
        m_programmatic = false;
        followSelection(node);
        return;
    }
    m_followTimer.start(kFollowDelayMs);
}

void ShellTree::followSelection(ShellTreeNodeData *node)
{
    setCurrentFolder(node->absoluteId());
    if (m_linkedToList && node == selectedNode())
        Q_EMIT folderSelected(m_current.IdList());
}

void ShellTree::followSelectedNode()
{
    if (ShellTreeNodeData *node = selectedNode())
        followSelection(node);
}

void ShellTree::flushPending(bool includeList)
{
    if (includeList)
        Q_EMIT listCatchUpWanted();
    if (m_followTimer.isActive()) {
        m_followTimer.stop();
        followSelectedNode();
    }
    m_coalescer->refreshPendingNow();
}

void ShellTree::keyPressEvent(QKeyEvent *event)
{
    if (hasOption(stoDefaultKeyHandling) && state() != EditingState && runCommandKey(*event))
        return;
    QTreeView::keyPressEvent(event);
}

bool ShellTree::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const ShellTreeNodeData *node = ShellTreeModel::nodeOf(index);
    if (trigger != NoEditTriggers && trigger != CurrentChanged && (!node || !node->canRename()))
        return false;
    const bool opened = QTreeView::edit(index, trigger, event);
    if (opened && trigger != NoEditTriggers && trigger != CurrentChanged)
        m_coalescer->beginCaptionEdit();
    return opened;
}

void ShellTree::commitData(QWidget *editor)
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    ShellTreeNodeData *node = selectedNode();
    if (line && node)
        renameNode(*node, line->text());
}

void ShellTree::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeView::closeEditor(editor, hint);
    // A refresh kept back during the edit is done now.
    m_coalescer->endCaptionEdit();
}

void ShellTree::renameNode(ShellTreeNodeData &node, const QString &text)
{
    const QString name = text.trimmed();
    if (name.isEmpty() || name == m_model->data(m_model->indexOf(&node), Qt::EditRole).toString())
        return;
    try {
        m_model->rename(node, QFile::encodeName(name).toStdString());
    } catch (const platform::ShellError &error) {
        showError(this, QString::fromLocal8Bit(error.what()));
        return;
    }
    // The notice of the rename itself is no news; it is handled only once control is back in
    // the event loop, so a refused rename leaves the next real notice alone.
    m_coalescer->ignoreNextNotice();
    m_watch->renamed(node);
    setCurrentFolder(node.absoluteId());
    if (m_linkedToList)
        Q_EMIT folderSelected(m_current.IdList());
}

} // namespace nomaro
