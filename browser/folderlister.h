#pragma once

// The listing of the folder list's folder, apart from any widget: the bound folder, its reading
// with the masks and the acceptance test, the full fill and the merge of a new reading into the
// rows shown, the watch on the folder and the coalescing of its notices, and the reaction to
// drives that come and go. It tells its rows what changed by ranges; the view over those rows
// only shows them and forwards what the user asks for.
//
// How a view uses it:
//   - give it the rows (the list model) and the hooks below; canFill says whether the view has a
//     window to fill; hasFocus picks the coalescing delay;
//   - Folder() is the shown folder: a change of designation refills at once and is announced
//     through folderChanged;
//   - around a drag or a caption edit, coalescer().beginDrag()/endDrag(), beginCaptionEdit()/
//     endCaptionEdit(); before its own rename coalescer().ignoreNextNotice().

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/boundedreading.h"
#include "browser/foldercontext.h"
#include "browser/folderlisting.h"
#include "browser/foldermerge.h"
#include "browser/shelllistitemdata.h"
#include "browser/shelllistoptions.h"
#include "browser/shelllocator.h"
#include "platform/shell_error.h"

namespace nomaro {

class ChangeHandlerThread;
class ChangeNoticeCoalescer;

class FolderLister : public QObject
{
    Q_OBJECT

public:
    // Called for each row that leaves, with its row number at that moment.
    using RowLeaving = std::function<void(int row, ShellListItemData &item)>;

    // The rows the lister keeps: a full fill replaces them, a merge removes and appends by ranges.
    class Rows
    {
    public:
        virtual ~Rows() = default;
        virtual int shownCount() const = 0;
        virtual const FolderContext &shownContext() const = 0;
        // Options act on the rows shown at once.
        virtual void setShownOptions(ShellListOptions options) = 0;
        virtual void replaceShown(std::unique_ptr<FolderContext> context, std::vector<platform::ItemIdList> relatives) = 0;
        virtual void clearShown(const RowLeaving &leaving) = 0;
        // What a new reading of the shown folder (consumed) changes: `vanished` gives row numbers.
        virtual FolderMerge mergeShown(std::vector<platform::ItemIdList> reading) const = 0;
        virtual void removeShown(std::vector<int> rows, const RowLeaving &leaving) = 0;
        virtual void appendShown(std::vector<platform::ItemIdList> relatives) = 0;
    };

    explicit FolderLister(Rows &rows, QObject *parent = nullptr);
    ~FolderLister() override;

    // The shown folder. A change of designation refills the rows and emits folderChanged.
    ShellLocator &Folder() { return m_folder; }
    const ShellLocator &Folder() const { return m_folder; }

    ShellListOptions options() const { return m_options; }
    bool hasOption(ShellListOption option) const { return m_options.testFlag(option); }
    // Acts at once: watching starts or stops, and the rows follow the hidden-items and
    // hide-folders options.
    void setOptions(ShellListOptions options);

    // A linked tree shows the file-system folders itself when the options say so.
    void setLinkedToTree(bool linked);
    bool isLinkedToTree() const { return m_linkedToTree; }

    // The ";"-separated masks; a different text refills at once (with sloAutoFill).
    const std::string &fileFilter() const { return m_listing.fileFilter(); }
    void setFileFilter(const std::string &text);
    const std::vector<std::string> &masks() const { return m_listing.masks(); }

    // Empties the rows and reads the folder again; raises a ShellError when the folder cannot be
    // bound. Nothing happens while canFill says no; kept back during a drag or a caption edit.
    void refresh();
    // Reads the folder again and merges: rows of vanished items go, new items are appended at
    // the end, nothing is sorted. Without rows it is a refresh.
    void update();

    // The longest wait for a folder on a network drive; one that does not answer in time ends
    // the fill as a folder that cannot be enumerated.
    void setNetworkWait(std::chrono::milliseconds wait) { m_networkWait = wait; }

    ChangeNoticeCoalescer &coalescer() const { return *m_coalescer; }
    // The watched folder; empty when none is watched.
    const std::string &watchedPath() const { return m_watchedPath; }

    // Hooks, each optional.
    std::function<bool()> canFill;
    std::function<bool()> hasFocus;
    std::function<void()> fillStarting;
    std::function<void()> fillCompleted;
    // A folder bound for a full fill, before its rows are read (the view makes its columns).
    std::function<void(const platform::ShellFolder &folder)> folderBound;
    // A full fill put new rows in place (the view sorts them and sets its current row).
    std::function<void()> refilled;
    FolderListing::AddItemHook addItem;
    RowLeaving rowLeaving;
    // Adding the new rows of a merge failed; the error passes on afterwards.
    std::function<void()> addFailed;
    // A failure of a merge that a notice called for, which no caller is there to catch; without
    // the hook it passes on.
    std::function<void(const platform::ShellError &error)> reportError;

Q_SIGNALS:
    // The shown folder was designated anew; emitted before its rows are read.
    void folderDesignated();
    // Emitted after every change of the shown folder, once the rows were read again (or failed).
    void folderChanged();
    // Emitted before a coalesced merge, so a linked tree does its own pending refresh first.
    void aboutToMerge();

protected:
    bool event(QEvent *event) override;

private:
    void designationChanged();
    // `generation` tells this fill apart from one that a hook starts while it runs.
    void fill(std::unique_ptr<platform::ShellFolder> folder, unsigned generation);
    // Every child of the kinds the options ask for; raises the system's error unless the folder
    // could not be read at all (then `end` tells so and there are no children).
    FolderListing::Reading readFolder(const platform::ShellFolder &folder) const;
    FolderListing::Acceptance acceptance() const;
    void startWatching();
    void stopWatching();
    void deviceChanged(int event, const platform::Drive &drive);

    Rows &m_rows;
    ShellLocator m_folder;
    ShellListOptions m_options;
    FolderListing m_listing;
    bool m_linkedToTree = false;
    std::chrono::milliseconds m_networkWait = kNetworkReadWait;
    // Whether the shown folder's drive answered its last full reading.
    bool m_answered = false;
    // Counts full refreshes, so one that a hook starts during another ends the first.
    unsigned m_fillGeneration = 0;
    // Counts changes of designation, so a change made while the previous one was announced
    // leaves the fill to the later one.
    unsigned m_designations = 0;

    ChangeNoticeCoalescer *m_coalescer = nullptr;
    std::unique_ptr<ChangeHandlerThread> m_watcher; // made when watching first starts
    std::string m_watchedPath;
};

} // namespace nomaro
