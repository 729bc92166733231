// The folder tree kept current: the events of its nodes, the watch of the drives and the folders
// it has filled, the coalescing of the notices, and the reaction to drives that come and go.

#include <QApplication>

#include "browser/changehandlerthread.h"
#include "browser/changenoticecoalescer.h"
#include "browser/devicechangehandler.h"
#include "browser/shellerrorreport.h"
#include "browser/shelltree.h"
#include "browser/shelltreewatch.h"
#include "platform/inotify_watch.h"
#include "platform/mount_monitor.h"

namespace nomaro {

void ShellTree::setUpLiveUpdate()
{
    m_coalescer = new ChangeNoticeCoalescer(this);
    m_watch = std::make_unique<ShellTreeWatch>(this);
    connect(m_coalescer, &ChangeNoticeCoalescer::refreshNow, this, [this] { reportShellErrors(this, [this] { UpdateItems(); }); });

    m_model->onAddItem = [this](const platform::ShellFolder &parent, const platform::ItemIdList &parentId,
                                const platform::ItemIdList &child, std::uint32_t attributes) {
        bool allow = true;
        if (OnAddItem)
            OnAddItem(this, parent, parentId, child, attributes, allow);
        return allow;
    };
    m_model->onNodeInserted = [this](ShellTreeNodeData &node) {
        if (OnInsertItem)
            OnInsertItem(this, node);
    };
    m_model->onNodeFilled = [this](ShellTreeNodeData &node) { m_watch->add(node); };
    m_model->onNodeLeaving = [this](ShellTreeNodeData &node) {
        if (m_keptSelection && m_keptSelection->isAtOrBelow(&node))
            m_keptSelection = node.parent();
        m_watch->remove(node);
        if (OnDeleteItem)
            OnDeleteItem(this, node);
    };

    DeviceChangeHandler::instance()->Register(this, [this](DeviceChangeHandler &, int event, const platform::Drive &) {
        deviceChanged(event);
    });
}

void ShellTree::tearDownLiveUpdate()
{
    DeviceChangeHandler::instance()->Unregister(this);
    // The nodes go with the model after this object; nothing may reach the tree from them.
    m_model->onAddItem = nullptr;
    m_model->onNodeInserted = nullptr;
    m_model->onNodeFilled = nullptr;
    m_model->onNodeLeaving = nullptr;
    m_watch.reset();
}

void ShellTree::startWatching()
{
    unsigned kinds = platform::DirectoryNameChanges;
    if (hasOption(stoIncludeNonFolders))
        kinds |= platform::FileNameChanges;
    m_watch->start(kinds);
    if (ShellTreeNodeData *top = m_model->top())
        watchFilled(*top);
}

void ShellTree::watchFilled(const ShellTreeNodeData &node)
{
    if (!node.filled)
        return;
    m_watch->add(node);
    for (const std::unique_ptr<ShellTreeNodeData> &child : node.children)
        watchFilled(*child);
}

void ShellTree::optionsChanged(ShellTreeOptions changed)
{
    // Before the first fill there is nothing to watch; the fill starts the watch itself.
    if (!m_model->top())
        return;
    if (changed & stoDynamicRefresh) {
        if (hasOption(stoDynamicRefresh))
            startWatching();
        else
            m_watch->stop();
    } else if ((changed & stoIncludeNonFolders) && m_watch->isWatching()) {
        startWatching(); // file names are news now, or no longer
    }
}

bool ShellTree::isRefreshWaiting() const
{
    return m_coalescer->isWaiting();
}

bool ShellTree::event(QEvent *event)
{
    if (event->type() == ChangeNoticeEvent::type()) {
        // The caption editor's focus is the tree's too.
        const QWidget *focused = QApplication::focusWidget();
        m_coalescer->noticeArrived(focused && (focused == this || isAncestorOf(focused)));
        return true;
    }
    return QTreeView::event(event);
}

void ShellTree::deviceChanged(int event)
{
    if (event != platform::DeviceArrival && event != platform::DeviceRemoveComplete)
        return;
    if (!m_model->top())
        return;
    // "Computer" reads the mount table again when it is read, so the refresh revalidates the
    // drives it shows; the watch then takes the drives mounted now.
    UpdateItems();
    if (m_watch->isWatching())
        startWatching();
}

} // namespace nomaro
