// The folder list kept current: the incremental refresh, the watch on the shown folder, the
// coalescing of its notices and the reaction to drives that come and go.

#include <QString>
#include <utility>
#include <vector>

#include "browser/changehandlerthread.h"
#include "browser/changenoticecoalescer.h"
#include "browser/foldercontext.h"
#include "browser/foldermerge.h"
#include "browser/scopeguards.h"
#include "browser/shelllist.h"
#include "browser/shelllistmodel.h"
#include "platform/hourglass.h"
#include "platform/inotify_watch.h"
#include "platform/mount_monitor.h"
#include "platform/shell_namespace.h"
#include "widgets/messages.h"

namespace nomaro {

void ShellList::UpdateItems()
{
    if (!hasWindow() || m_coalescer->deferRefresh())
        return;
    const platform::ShellFolder *folder = boundFolder();
    if (itemCount() == 0 || !folder) {
        Refresh();
        return;
    }

    platform::HourglassGuard hourglass;
    if (OnFillStart)
        OnFillStart(this);
    OnExit fillComplete([this] {
        if (OnFillComplete)
            OnFillComplete(this);
    });
    OnExit discardNameSet([this] { m_listing.discardNameSet(); });
    m_listing.buildNameSet(folderContext().folderPath());

    FolderListing::Reading reading = readFolder(*folder);
    // A folder that can no longer be read holds nothing that its rows could stand for.
    if (reading.end != platform::EnumEnd::NoMoreItems)
        reading.children.clear();
    FolderMerge merge = m_model->merge(std::move(reading.children));

    UpdateBracket bracket(this);
    if (!merge.vanished.empty()) {
        std::vector<int> rows(merge.vanished.begin(), merge.vanished.end());
        if (OnDeleteItem)
            m_model->removeRowsAt(std::move(rows), [this](int row, ShellListItemData &item) { OnDeleteItem(this, row, item); });
        else
            m_model->removeRowsAt(std::move(rows));
    }
    std::vector<platform::ItemIdList> added;
    try {
        added = m_listing.accepted(*folder, std::move(merge.added), acceptance());
    } catch (...) {
        showError(this, QStringLiteral("Exception in AddNewShellItem"));
        throw;
    }
    m_model->appendRows(std::move(added));
}

void ShellList::startWatching()
{
    if (m_watcher)
        m_watcher->RemoveAllWatches();
    else
        m_watcher = std::make_unique<ChangeHandlerThread>(this);
    // Sizes too, so a file that another program writes is seen as the changed item it is. A
    // folder without a path, or one that the system's limits leave unwatched, is current again
    // after F5 or a change of folder.
    int slot = -1;
    m_watcher->AddWatch(folderContext().folderPath(),
                        platform::FileNameChanges | platform::DirectoryNameChanges | platform::SizeChanges, &slot,
                        false);
}

void ShellList::stopWatching()
{
    if (m_watcher)
        m_watcher->RemoveAllWatches();
}

void ShellList::coalescedRefresh()
{
    if (m_treeLink)
        m_treeLink->doPendingRefresh();
    UpdateItems();
}

void ShellList::deviceChanged(int event)
{
    if (event != platform::DeviceArrival && event != platform::DeviceRemoveComplete)
        return;
    // Binding "Computer" reads the mount table again, so the refresh itself revalidates the drives.
    if (hasWindow() && boundFolder() && currentFolderId() == platform::specialFolderIdList(platform::SpecialDrives))
        Refresh();
}

} // namespace nomaro
