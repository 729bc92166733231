#pragma once

// Where a folder tree and a folder list meet. The tree leads: the folder it selects is the one
// the list shows, and the list's own navigation (entering a folder, going up) is asked of the
// tree. Neither pane knows the other; they speak through signals connected here, for as long as
// this object and both panes live.

#include <QObject>
#include <QPointer>

namespace nomaro {

class ShellList;
class ShellTree;

class FolderPaneLink : public QObject
{
    Q_OBJECT

public:
    // Links the two: the list shows the tree's folder at once.
    FolderPaneLink(ShellTree &tree, ShellList &list, QObject *parent = nullptr);
    // Unlinks whichever pane is still there.
    ~FolderPaneLink() override;

private:
    void unlink();

    QPointer<ShellTree> m_tree;
    QPointer<ShellList> m_list;
};

} // namespace nomaro
