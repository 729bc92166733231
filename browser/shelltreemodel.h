#pragma once

// The nodes of the folder tree: one top node for the base folder and, below each node, its
// child folders, read when the node is first expanded. The model changes by ranges (inserts and
// removes of runs of rows), so a view keeps its selection and expanded nodes while folders come
// and go. It knows no widget and can be driven and checked without a view.

#include <QAbstractItemModel>
#include <QBrush>
#include <functional>
#include <memory>
#include <string>

#include "browser/folderlisting.h"
#include "browser/shelltreenodedata.h"
#include "browser/shelltreeoptions.h"
#include "browser/shelltreereading.h"

namespace nomaro {

class ShellTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // Asked last for each candidate child; false rejects it.
    using AddItemHook = FolderListing::AddItemHook;
    // Told of a node just added, of a node just filled, and of a node about to go (with
    // everything below it, deepest first).
    using NodeHook = std::function<void(ShellTreeNodeData &node)>;

    explicit ShellTreeModel(QObject *parent = nullptr);
    ~ShellTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Expansion fills a node that was never read, with the hourglass.
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    ShellTreeOptions options() const { return m_options; }
    void setOptions(ShellTreeOptions options) { m_options = options; }
    bool hasOption(ShellTreeOption option) const { return m_options.testFlag(option); }

    // The text colour of hidden folders, which are drawn ghosted.
    void setGhostedBrush(const QBrush &brush) { m_ghosted = brush; }

    // The top node; nullptr when the tree is empty.
    ShellTreeNodeData *top() const { return m_top.get(); }
    QModelIndex indexOf(const ShellTreeNodeData *node) const;
    static ShellTreeNodeData *nodeOf(const QModelIndex &index);

    // Removes every node (a reset).
    void clear();
    // Makes the top node for `base` and fills it. Raises a ShellError when `base` cannot be bound.
    void fillTop(const platform::ItemIdList &base);
    // Reads the node's folder and adds its children, sorted, once: a node read already is left
    // as it is. A folder that cannot be read keeps its button and gets no children, to be tried
    // again; gives whether the node is read.
    bool fill(ShellTreeNodeData &node);
    // The child of `node` that its folder takes for the same item as `relative`, or nullptr.
    ShellTreeNodeData *findChild(const ShellTreeNodeData &node, const platform::ItemIdList &relative) const;
    // Adds the child `relative` of the node's folder at its sorted place; nullptr when it is not
    // accepted or cannot be looked at.
    ShellTreeNodeData *addChild(ShellTreeNodeData &node, const platform::ItemIdList &relative);
    // Brings every filled node at and below `node` up to date with its folder: vanished folders
    // go, new ones are added at their sorted places.
    void update(ShellTreeNodeData &node);
    // Renames the node's item to `name` through its parent folder; the node takes the new
    // identifier and caption. Raises a ShellError when the rename fails.
    void rename(ShellTreeNodeData &node, const std::string &name);

    // What is wrong with the nodes, for tests: a child that names another parent or a wrong row,
    // children out of their folder's order or two of one item, children under a node without a
    // button or under a link leading back up, a persistent index to a node that has gone or has
    // moved. Empty when all is well.
    std::string consistencyProblem() const;

    AddItemHook onAddItem;
    NodeHook onNodeInserted;
    NodeHook onNodeFilled;
    NodeHook onNodeLeaving;

private:
    std::unique_ptr<ShellTreeNodeData> makeChild(ShellTreeNodeData &node, const platform::ShellFolder &folder, TreeChild child);
    static ShellTreeNodeData *childMatching(const ShellTreeNodeData &node, const platform::ShellFolder &folder,
                                            const platform::ItemIdList &relative);
    // Adds a described child of the node's folder at its sorted place, when it is accepted.
    ShellTreeNodeData *insertChild(ShellTreeNodeData &node, const platform::ShellFolder &folder, TreeChild child);
    unsigned enumFlags() const;
    FolderListing::Acceptance acceptance() const;
    void renumber(ShellTreeNodeData &node, int from) const;
    void removeChildren(ShellTreeNodeData &node, int first, int last);
    void leaving(ShellTreeNodeData &node);
    void showsButton(ShellTreeNodeData &node, bool button);
    bool buttonFor(const TreeChild &child) const;
    void showNewSubfolders(ShellTreeNodeData &node, const std::vector<TreeChild> &reading);
    void inserted(ShellTreeNodeData &node) const;

    std::unique_ptr<ShellTreeNodeData> m_top;
    ShellTreeOptions m_options;
    FolderListing m_listing;
    QBrush m_ghosted;
    bool m_announcing = false;
};

} // namespace nomaro
