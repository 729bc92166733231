#include "browser/folderlister.h"

#include <QScopeGuard>
#include <utility>

#include "browser/changehandlerthread.h"
#include "browser/changenoticecoalescer.h"
#include "browser/devicechangehandler.h"
#include "platform/inotify_watch.h"
#include "platform/mount_monitor.h"
#include "platform/drives.h"
#include "platform/hourglass.h"
#include "platform/shell_error.h"

namespace nomaro {

FolderLister::FolderLister(Rows &rows, QObject *parent)
    : QObject(parent)
    , m_rows(rows)
    , m_options(rows.shownContext().options())
    , m_coalescer(new ChangeNoticeCoalescer(this))
{
    m_folder.setChangeHandler([this] { designationChanged(); });
    connect(m_coalescer, &ChangeNoticeCoalescer::refreshNow, this, [this] {
        try {
            Q_EMIT aboutToMerge();
            update();
        } catch (const platform::ShellError &error) {
            if (!reportError)
                throw;
            reportError(error);
        }
    });
    DeviceChangeHandler::instance()->Register(this, [this](DeviceChangeHandler &, int event, const platform::Drive &drive) {
        deviceChanged(event, drive);
    });
}

FolderLister::~FolderLister()
{
    DeviceChangeHandler::instance()->Unregister(this);
    m_watcher.reset();
    m_folder.setChangeHandler({});
}

void FolderLister::setOptions(ShellListOptions options)
{
    const ShellListOptions changed = options ^ m_options;
    m_options = options;
    m_rows.setShownOptions(options);
    if (!changed || (canFill && !canFill()))
        return;
    if (changed & sloDynamicRefresh) {
        if (hasOption(sloDynamicRefresh))
            startWatching();
        else
            stopWatching();
    }
    // The merge keeps every item still in the folder, so hiding folders needs a full refresh.
    if ((changed & sloHideFoldersWhenLinkedToTree) && m_linkedToTree)
        refresh();
    else if (changed & sloShowHidden)
        update();
}

void FolderLister::setLinkedToTree(bool linked)
{
    m_linkedToTree = linked;
}

void FolderLister::setFileFilter(const std::string &text)
{
    if (m_listing.setFileFilter(text) && hasOption(sloAutoFill))
        refresh();
}

void FolderLister::designationChanged()
{
    const unsigned designation = ++m_designations;
    Q_EMIT folderDesignated();
    // A handler that designated another folder meanwhile has filled the rows for it.
    if (designation == m_designations)
        refresh();
    Q_EMIT folderChanged();
}

void FolderLister::refresh()
{
    if ((canFill && !canFill()) || m_coalescer->deferRefresh())
        return;

    const platform::HourglassGuard hourglass;
    const unsigned generation = ++m_fillGeneration;
    m_rows.clearShown(rowLeaving);
    m_answered = false;
    // A folder on a drive that does not answer shows as empty, like one that cannot be read.
    if (std::unique_ptr<platform::ShellFolder> folder = bindBounded(m_folder.IdList(), m_networkWait)) {
        const auto discardNameSet = qScopeGuard([this] { m_listing.discardNameSet(); });
        m_listing.buildNameSet(m_folder.Path());
        fill(std::move(folder), generation);
    }
    // A refresh asked for by a hook during this one has shown its own rows.
    if (generation != m_fillGeneration)
        return;
    if (refilled)
        refilled();
    // A watch on a folder whose drive did not answer would wait for it once more.
    if (hasOption(sloDynamicRefresh) && m_answered)
        startWatching();
}

void FolderLister::fill(std::unique_ptr<platform::ShellFolder> folder, unsigned generation)
{
    if (fillStarting)
        fillStarting();
    if (generation != m_fillGeneration)
        return;
    const auto fillComplete = qScopeGuard([this] {
        if (fillCompleted)
            fillCompleted();
    });

    // The rows join with their context only once the folder has been read; until then the
    // previous context stays current.
    auto context = std::make_unique<FolderContext>(std::move(folder), m_options);
    const platform::ShellFolder &bound = *context->folder();
    if (folderBound)
        folderBound(bound);

    FolderListing::Reading reading = readFolder(bound);
    m_answered = !reading.unanswered;
    if (reading.end != platform::EnumEnd::NoMoreItems)
        return; // an unreadable, vanished or unanswering folder shows as empty, without a message
    std::vector<platform::ItemIdList> rows = m_listing.accepted(bound, std::move(reading.children), acceptance());
    if (generation == m_fillGeneration)
        m_rows.replaceShown(std::move(context), std::move(rows));
}

void FolderLister::update()
{
    if ((canFill && !canFill()) || m_coalescer->deferRefresh())
        return;
    const platform::ShellFolder *folder = m_rows.shownContext().folder();
    if (m_rows.shownCount() == 0 || !folder) {
        refresh();
        return;
    }

    const platform::HourglassGuard hourglass;
    if (fillStarting)
        fillStarting();
    const auto fillComplete = qScopeGuard([this] {
        if (fillCompleted)
            fillCompleted();
    });
    const auto discardNameSet = qScopeGuard([this] { m_listing.discardNameSet(); });
    m_listing.buildNameSet(m_rows.shownContext().folderPath());

    FolderListing::Reading reading = readFolder(*folder);
    // A folder that can no longer be read holds nothing that its rows could stand for.
    if (reading.end != platform::EnumEnd::NoMoreItems)
        reading.children.clear();
    FolderMerge merge = m_rows.mergeShown(std::move(reading.children));

    if (!merge.vanished.empty())
        m_rows.removeShown(std::vector<int>(merge.vanished.begin(), merge.vanished.end()), rowLeaving);
    std::vector<platform::ItemIdList> added;
    try {
        added = m_listing.accepted(*folder, std::move(merge.added), acceptance());
    } catch (...) {
        if (addFailed)
            addFailed();
        throw;
    }
    m_rows.appendShown(std::move(added));
}

FolderListing::Reading FolderLister::readFolder(const platform::ShellFolder &folder) const
{
    unsigned flags = platform::EnumFolders | platform::EnumNonFolders;
    if (hasOption(sloShowHidden))
        flags |= platform::EnumHidden;
    std::optional<FolderListing::Reading> reading = readBounded<FolderListing::Reading>(
        folder, m_networkWait, [flags](const platform::ShellFolder &bound) { return FolderListing::read(bound, flags); });
    if (!reading) {
        FolderListing::Reading unanswered;
        unanswered.end = platform::EnumEnd::CannotStart;
        unanswered.unanswered = true;
        return unanswered;
    }
    if (reading->end == platform::EnumEnd::Error)
        platform::raiseShellError(reading->error, "Impossibile leggere la cartella \"" + folder.path() + "\"");
    return std::move(*reading);
}

FolderListing::Acceptance FolderLister::acceptance() const
{
    FolderListing::Acceptance acceptance;
    acceptance.nonFilesystemAncestors = hasOption(sloNonFilesystemAncestors);
    acceptance.hideFileSystemFolders = hasOption(sloHideFoldersWhenLinkedToTree) && m_linkedToTree;
    acceptance.onAddItem = addItem;
    return acceptance;
}

void FolderLister::startWatching()
{
    if (m_watcher)
        m_watcher->RemoveAllWatches();
    else
        m_watcher = std::make_unique<ChangeHandlerThread>(this);
    m_watchedPath.clear();
    // Sizes too, so a file that another program writes is seen as the changed item it is. A
    // folder without a path, or one that the system's limits leave unwatched, is current again
    // after F5 or a change of folder.
    int slot = -1;
    const std::string &path = m_rows.shownContext().folderPath();
    if (m_watcher->AddWatch(path, platform::FileNameChanges | platform::DirectoryNameChanges | platform::SizeChanges,
                            &slot, false))
        m_watchedPath = path;
}

void FolderLister::stopWatching()
{
    if (m_watcher)
        m_watcher->RemoveAllWatches();
    m_watchedPath.clear();
}

bool FolderLister::event(QEvent *event)
{
    if (event->type() == ChangeNoticeEvent::type()) {
        m_coalescer->noticeArrived(hasFocus && hasFocus());
        return true;
    }
    return QObject::event(event);
}

void FolderLister::deviceChanged(int event, const platform::Drive &drive)
{
    if (event != platform::DeviceArrival && event != platform::DeviceRemoveComplete)
        return;
    if ((canFill && !canFill()) || !m_rows.shownContext().folder())
        return;
    // Binding "Computer" reads the mount table again, so the refresh itself revalidates the drives.
    if (m_rows.shownContext().folderId() == platform::specialFolderIdList(platform::SpecialDrives)) {
        refresh();
        return;
    }
    // A drive taken away with the shown folder on it leaves rows of nothing; the merge shows
    // what is there now.
    const std::string &shown = m_rows.shownContext().folderPath();
    if (event == platform::DeviceRemoveComplete && !drive.mountPoint.empty() && !shown.empty()
        && platform::driveOf({drive}, shown))
        update();
}

} // namespace nomaro
