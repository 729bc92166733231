#pragma once

// A folder tree linked to a folder list, both shown as the main window has them, over a real
// folder; what the tree tests look at.

#include <QCoreApplication>
#include <QTest>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "browser/folderpanelink.h"
#include "browser/shelllist.h"
#include "browser/shelltree.h"
#include "platform/shell_namespace.h"

namespace nomaro::test {

// A tree whose top node is `base`, linked to a list, both shown as the main window has them.
struct LinkedPanes
{
    using Names = std::vector<std::string>;

    ShellTree tree;
    ShellList list;
    std::optional<FolderPaneLink> link;
    int listFills = 0;

    explicit LinkedPanes(const std::string &base, ShellTreeOptions options = ShellTree::kDefaultOptions)
    {
        tree.SetOptions(options);
        tree.BaseFolder().SetIdList(nomaro::platform::idListFromPath(base));
        tree.resize(200, 400);
        list.resize(400, 400);
        list.OnFillStart = [this](ShellList *) { ++listFills; };
        list.show();
        tree.show();
        QCoreApplication::processEvents();
        link.emplace(tree, list);
    }

    ShellTreeNodeData *node(const std::string &path) const
    {
        ShellTreeNodeData *at = tree.nodeModel().top();
        for (const std::filesystem::path &part : std::filesystem::path(path)) {
            ShellTreeNodeData *next = nullptr;
            for (const auto &child : at->children) {
                if (child->caption.toStdString() == part.string())
                    next = child.get();
            }
            if (!next)
                return nullptr;
            at = next;
        }
        return at;
    }

    static Names captions(const ShellTreeNodeData *node)
    {
        Names names;
        for (const auto &child : node->children)
            names.push_back(child->caption.toStdString());
        return names;
    }

    std::string selectedPath() const { return tree.selectedNode() ? tree.selectedNode()->path() : std::string(); }
    std::string listPath() const { return list.Folder().Path(); }

    void click(const ShellTreeNodeData *node)
    {
        const QModelIndex index = tree.nodeModel().indexOf(node);
        tree.scrollTo(index);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(index).center());
    }
};

} // namespace nomaro::test
