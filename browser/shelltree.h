#pragma once

#include <QTimer>
#include <QTreeView>
#include <functional>
#include <memory>

#include "browser/fileverbcommands.h"
#include "browser/shelldragdrop.h"
#include "browser/shelllocator.h"
#include "browser/shelltreemodel.h"
#include "browser/shelltreeoptions.h"

namespace nomaro {

class ChangeNoticeCoalescer;
class ShellTreeWatch;

// The folder tree: the folders of the shell namespace from its base folder down, read as nodes
// are expanded. Linked to a folder list (see FolderPaneLink), it leads: folderSelected tells the
// list which folder to show, and the list's own navigation comes back through ShowFolder and
// GoUp.
class ShellTree : public QTreeView
{
    Q_OBJECT

public:
    static constexpr ShellTreeOptions kDefaultOptions = kDefaultTreeOptions;
    // How long the list waits after the user's last step through the tree.
    static constexpr int kFollowDelayMs = 500;

    explicit ShellTree(QWidget *parent = nullptr);
    ~ShellTree() override;

    // The top of the tree; a fresh locator designates the desktop.
    ShellLocator &BaseFolder() { return m_baseFolder; }
    // The folder of the selected node.
    const ShellLocator &currentFolder() const { return m_current; }

    // While linked, the user's steps reach the list only after kFollowDelayMs.
    void setLinkedToList(bool linked) { m_linkedToList = linked; }
    bool isLinkedToList() const { return m_linkedToList; }
    // The deepest folder that ShowFolder reaches is expanded too (for a list that leaves the
    // file-system folders to the tree).
    void setExpandsShownFolder(bool expands) { m_expandsShownFolder = expands; }

    ShellTreeOptions Options() const { return m_model->options(); }
    bool hasOption(ShellTreeOption option) const { return m_model->hasOption(option); }
    void SetOptions(ShellTreeOptions options);

    ShellTreeModel &nodeModel() const { return *m_model; }
    ShellTreeNodeData *selectedNode() const;

    // Reads the whole tree again from the base folder.
    void Refresh();
    // Brings every filled node up to date with its folder.
    void UpdateItems();
    // Selects the folder `absolute`, expanding the path to it and adding missing nodes.
    void ShowFolder(const platform::ItemIdList &absolute);
    void GoUp(int levels);
    // Does the waiting action of the timer at once; with `includeList` the linked list's first
    // (listCatchUpWanted).
    void flushPending(bool includeList);

    // Optional events; each receives the tree first.
    std::function<void(ShellTree *)> OnFillStart;
    std::function<void(ShellTree *)> OnFillComplete;

    // Kept current: the events of the nodes and the watch of the drives.
    std::function<void(ShellTree *, const platform::ShellFolder &parent, const platform::ItemIdList &parentId,
                       const platform::ItemIdList &relative, std::uint32_t attributes, bool &allow)>
        OnAddItem;
    // A node about to go, with its data (the node's own object here).
    std::function<void(ShellTree *, ShellTreeNodeData &node)> OnDeleteItem;
    std::function<void(ShellTree *, ShellTreeNodeData &node)> OnInsertItem;
    const ShellTreeWatch &watch() const { return *m_watch; }
    // A change notice waits for its delay before the incremental refresh it calls for.
    bool isRefreshWaiting() const;

Q_SIGNALS:
    // The folder of the selected node, for a linked list to show: at once for the program's
    // selections, kFollowDelayMs after the user's last step.
    void folderSelected(const nomaro::platform::ItemIdList &absolute);
    // A linked list is to do its waiting refresh first.
    void listCatchUpWanted();
    // A command changed folders that send no change notices.
    void unwatchedFolderChanged();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget *editor) override;

    // The file commands of the selected node and drag and drop (shelltree_commands.cpp).
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void currentNodeChanged(const QModelIndex &current);
    void followSelection(ShellTreeNodeData *node);
    void selectNode(ShellTreeNodeData *node);
    void expandNode(ShellTreeNodeData *node);
    // The list follows the node selected when the user has made the last step.
    void followSelectedNode();
    void renameNode(ShellTreeNodeData &node, const QString &text);
    void setCurrentFolder(const platform::ItemIdList &absolute);

    // Kept current (shelltree_liveupdate.cpp).
    void setUpLiveUpdate();
    void tearDownLiveUpdate();
    void startWatching();
    void watchFilled(const ShellTreeNodeData &node);
    void optionsChanged(ShellTreeOptions changed);
    void deviceChanged(int event);
    // The key table (shelltree_commands.cpp); true when the key was one of its entries.
    bool runCommandKey(QKeyEvent &event);
    // The verbs on one node; paste and delete are followed by UpdateItems.
    void copyNode(const ShellTreeNodeData &node, bool cut);
    void pasteIntoNode(const ShellTreeNodeData &node);
    void deleteNode(const ShellTreeNodeData &node);
    void openNode(ShellTreeNodeData &node);
    // The target of a paste or drop read when it never was, so the folders put there show.
    void readIfUnread(const QPersistentModelIndex &target, const CommandOutcome &outcome);
    // UpdateItems after a command that ran (the list's too where no notice will tell it), then
    // the command's failures.
    void afterCommand(const CommandOutcome &outcome);
    std::string dropFolderAt(const QPoint &position) const;
    void dragNode(const ShellTreeNodeData &node);

    ShellTreeModel *m_model = nullptr;
    ShellLocator m_baseFolder;
    ShellLocator m_current;
    bool m_linkedToList = false;
    bool m_expandsShownFolder = false;
    // Runs while the list waits for the user's last step through the tree; a change notice
    // waits in the coalescer.
    QTimer m_followTimer;
    bool m_programmatic = false;
    // Selection handling is muted while the tree changes its own nodes.
    bool m_muted = false;
    // The node to select again after an incremental refresh; moves up when its node goes.
    ShellTreeNodeData *m_keptSelection = nullptr;

    ChangeNoticeCoalescer *m_coalescer = nullptr;
    std::unique_ptr<ShellTreeWatch> m_watch;
    FileVerbCommands m_verbs{this};
    ShellDragDrop m_dragDrop{*this, [this](const QPoint &position) { return dropFolderAt(position); }};
};

} // namespace nomaro
