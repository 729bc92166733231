#pragma once

// What one node of the folder tree knows of its folder: its identifier relative to the parent
// folder (owned), its absolute identifier and its bound folder (both made on first use and
// kept), its looks, and its child nodes. The tree model owns the top node; each node owns its
// children.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
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
    const platform::ItemIdList &absoluteId() const;
    // The node's folder, bound on first use; nullptr when it cannot be bound (it went away).
    const platform::ShellFolder *folder() const;
    // The folder that holds the node's item; nullptr for the top node of the desktop.
    const platform::ShellFolder *parentFolder() const;
    std::uint32_t attributes() const { return m_attributes; }
    bool canRename() const;
    // The file-system path of the node's folder; empty for a virtual folder.
    std::string path() const { return platform::pathOf(absoluteId()); }

    // The node takes the identifier its item has after a rename: the cached identifiers and
    // folders of it and of every node below it are dropped.
    void setRelativeId(platform::ItemIdList relative);

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
    void dropCaches();

    ShellTreeNodeData *m_parent = nullptr;
    platform::ItemIdList m_relative;
    std::uint32_t m_attributes = 0;
    mutable std::optional<platform::ItemIdList> m_absolute;
    mutable std::unique_ptr<platform::ShellFolder> m_folder;
    mutable std::unique_ptr<platform::ShellFolder> m_topParentFolder;
};

} // namespace nomaro
