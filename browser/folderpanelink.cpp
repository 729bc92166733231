#include "browser/folderpanelink.h"

#include "browser/shellerrorreport.h"
#include "browser/shelllist.h"
#include "browser/shelltree.h"

namespace nomaro {

FolderPaneLink::FolderPaneLink(ShellTree &tree, ShellList &list, QObject *parent)
    : QObject(parent)
    , m_tree(&tree)
    , m_list(&list)
{
    tree.setLinkedToList(true);
    tree.setExpandsShownFolder(list.hasOption(sloHideFoldersWhenLinkedToTree));
    list.setLinkedToTree(true);

    // Each connection is a slot's edge: a failure is reported there, not unwound through the
    // other pane's signal. The tree's choice of folder, and the list's folder changed by any other
    // means:
    connect(&tree, &ShellTree::folderSelected, &list, &ShellList::showFolder);
    connect(&list, &ShellList::shownFolderChanged, &tree, [&tree](const platform::ItemIdList &absolute) {
        reportShellErrors(&tree, [&] { tree.ShowFolder(absolute); });
    });
    // The list's navigation goes through the tree.
    connect(&list, &ShellList::folderEntered, &tree, [&tree](const platform::ItemIdList &absolute) {
        reportShellErrors(&tree, [&] { tree.ShowFolder(absolute); });
    });
    connect(&list, &ShellList::upRequested, &tree, [&tree](int levels) { reportShellErrors(&tree, [&] { tree.GoUp(levels); }); });
    // Each does the other's waiting refresh before its own, and tells it of changes to folders
    // that send no notices.
    connect(&list, &ShellList::aboutToCatchUp, &tree, [&tree] { reportShellErrors(&tree, [&] { tree.flushPending(false); }); });
    connect(&tree, &ShellTree::listCatchUpWanted, &list, [&list] { reportShellErrors(&list, [&] { list.flushPendingRefresh(); }); });
    connect(&list, &ShellList::unwatchedFolderChanged, &tree, [&tree] { reportShellErrors(&tree, [&] { tree.UpdateItems(); }); });
    connect(&tree, &ShellTree::unwatchedFolderChanged, &list, [&list] { reportShellErrors(&list, [&] { list.UpdateItems(); }); });
    connect(&list, &ShellList::optionsChanged, &tree, [&tree](ShellListOptions options) {
        tree.setExpandsShownFolder(options.testFlag(sloHideFoldersWhenLinkedToTree));
    });
    // A pane that goes ends the link for the other (it is told while half destroyed, so it is
    // forgotten first).
    connect(&tree, &QObject::destroyed, this, [this] {
        m_tree.clear();
        unlink();
    });
    connect(&list, &QObject::destroyed, this, [this] {
        m_list.clear();
        unlink();
    });

    list.SetFolder(tree.currentFolder());
}

FolderPaneLink::~FolderPaneLink()
{
    unlink();
}

void FolderPaneLink::unlink()
{
    if (m_tree) {
        disconnect(m_tree, nullptr, this, nullptr);
        m_tree->setLinkedToList(false);
        m_tree->setExpandsShownFolder(false);
        if (m_list)
            disconnect(m_tree, nullptr, m_list, nullptr);
    }
    if (m_list) {
        disconnect(m_list, nullptr, this, nullptr);
        m_list->setLinkedToTree(false);
        if (m_tree)
            disconnect(m_list, nullptr, m_tree, nullptr);
    }
    m_tree.clear();
    m_list.clear();
}

} // namespace nomaro
