#pragma once

// What one node of the folder tree knows of its folder: its identifier relative to the parent
// folder (owned), its looks, and its child nodes. The node keeps nothing that grows with its
// depth: its absolute identifier and its bound folder (which holds that identifier and the path)
// are made when asked, by walking up to the top node, so a chain of deeply nested folders costs
// memory in proportion to the number of nodes, not to the sum of their depths. The tree model
// owns the top node; each node owns its children.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/itemidlist.h"
#include "platform/shell_namespace.h"

namespace nomaro {

class ShellTreeNodeData
{
public:
    // The top node: `base` is the base folder's absolute identifier.
    explicit ShellTreeNodeData(const platform::ItemIdList &base);
    // A child node of `parent`, for the child `relative` of the parent's folder.
    ShellTreeNodeData(ShellTreeNodeData *parent, platform::ItemIdList relative, std::uint32_t attributes);
    ShellTreeNodeData(const ShellTreeNodeData &) = delete;
    ShellTreeNodeData &operator=(const ShellTreeNodeData &) = delete;

    ShellTreeNodeData *parent() const { return m_parent; }
    bool isTop() const { return m_parent == nullptr; }
    const platform::ItemIdList &relativeId() const { return m_relative; }
    // The parent's absolute identifier followed by the relative one; the base folder's own for
    // the top node. Made anew at each call, in time linear in the depth.
    platform::ItemIdList absoluteId() const;
    // Binds the node's folder; nullptr when it cannot be bound (it went away, or its path is too
    // long for the system). Each call binds afresh: callers bind once per operation.
    std::unique_ptr<platform::ShellFolder> bindFolder() const;
    // Binds the folder that holds the node's item; nullptr for the top node of the desktop and
    // when it cannot be bound.
    std::unique_ptr<platform::ShellFolder> bindParentFolder() const;
    std::uint32_t attributes() const { return m_attributes; }
    bool canRename() const;
    // The file-system path of the node's folder; empty for a virtual folder.
    std::string path() const { return platform::pathOf(absoluteId()); }

    // The node takes the identifier its item has after a rename; the nodes below it follow,
    // since they make their identifiers from it.
    void setRelativeId(platform::ItemIdList relative) { m_relative = std::move(relative); }

    QString caption;
    std::string iconName;
    bool hasButton = false;
    // Read at least once: its child nodes are what the folder held then.
    bool filled = false;
    // A link leading back up: never filled, so no path through it is endless.
    bool leadsBackUp = false;

    std::vector<std::unique_ptr<ShellTreeNodeData>> children;
    // The node's row under its parent; the model keeps it up to date.
    int row = 0;

    // Whether `this` is `node` or lies below it.
    bool isAtOrBelow(const ShellTreeNodeData *node) const;

private:
    ShellTreeNodeData *m_parent = nullptr;
    platform::ItemIdList m_relative;
    // The top node's absolute identifier; empty for every other node.
    platform::ItemIdList m_base;
    std::uint32_t m_attributes = 0;
};

} // namespace nomaro
