#pragma once

// The file verbs of the folder list and tree: copy, cut, paste and delete.
//
// How a component uses them (none shows a message box; only the paste may run on another
// thread):
//   Copy / cut:  clipboard->setMimeData(mimeDataForItems(selectedPaths, cut).release());
//   Paste:       const ClipboardItems items = itemsFromMimeData(*clipboard->mimeData());
//                const auto results = pasteItems(items.paths, shownFolder, items.cut, progress);
//                then UpdateItems, and show the `message` of every result that has one.
//                After a pasted cut, clear the clipboard (the items are no longer where it says).
//   Delete:      after the component's own confirmation (trash.h),
//                const auto results = moveItemsToTrash(selectedPaths);
//                then UpdateItems, and show the messages of the items that stayed.
//   Drag:        QDrag::setMimeData(dragDataForItems(paths).release()); a drop reads its items
//                with itemsFromMimeData and pastes them like the clipboard's.
// Paths are the file system's own bytes, absolute.

#include <QMimeData>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/trash.h"

namespace nomaro::platform {

// text/uri-list and x-special/gnome-copied-files ("copy" or "cut", then the URLs), which file
// managers read and write, plus the paths as text/plain. Names that are not UTF-8 survive, as
// each byte outside the plain set is percent-encoded.
std::unique_ptr<QMimeData> mimeDataForItems(const std::vector<std::string> &paths, bool cut);

// The items of a drag: text/uri-list, which file managers read from a drop, and the paths as
// text/plain. No copy-or-cut line: the drop's own action says whether the items move.
std::unique_ptr<QMimeData> dragDataForItems(const std::vector<std::string> &paths);

struct ClipboardItems
{
    std::vector<std::string> paths; // local files only, in the order given
    bool cut = false;
};

// The items of a clipboard or a drop: x-special/gnome-copied-files when present, else a copy of
// the text/uri-list. URLs that are not local files are left out.
ClipboardItems itemsFromMimeData(const QMimeData &data);

enum class PasteOutcome {
    Copied,    // a copy is at `target`
    Moved,     // the item is now at `target`
    Unchanged, // moved into the folder it is already in: nothing to do
    Failed,    // refused or failed; the item and the target folder are as they were
    Cancelled, // the paste was stopped first; the item and the target folder are as they were
};

struct PasteResult
{
    std::string source;
    std::string target;  // the path made, when one was
    PasteOutcome outcome = PasteOutcome::Failed;
    std::string message; // for the user, in Italian; empty when all went well
};

// Copies (cut false) or moves each item into targetFolder, never replacing an existing item: a
// clash gets "nome (copia).txt", "nome (copia 2).txt", ... Folders are copied whole, links as
// links, with their permissions and modification times. A move across file systems removes the
// source only after a complete copy. One result per item, in order.
std::vector<PasteResult> pasteItems(const std::vector<std::string> &items,
                                    const std::string &targetFolder, bool cut);

// How far a paste has come: the items finished, of how many, the bytes copied so far and the
// name of the item in hand.
struct PasteStatus
{
    size_t itemsDone = 0;
    size_t items = 0;
    std::uint64_t bytesDone = 0;
    std::string current;
};

struct PasteProgress
{
    // Called on the pasting thread at each item and each block copied.
    std::function<void(const PasteStatus &)> onProgress;
    // Set from any thread to stop: the copy in hand is removed again (a moved item keeps its
    // place), the items after it are left as they are and come back Cancelled.
    const std::atomic<bool> *cancelled = nullptr;
};

// pasteItems, telling its progress and stopping on request; for a paste off the user-interface
// thread.
std::vector<PasteResult> pasteItems(const std::vector<std::string> &items,
                                    const std::string &targetFolder, bool cut,
                                    const PasteProgress &progress);

// The name tried for the n-th copy of `name` (n from 1): "a (copia).txt", "a (copia 2).txt".
std::string copyName(const std::string &name, bool isFolder, int n);

// Whether `folder` lies on a network drive of `drives` (see mountedDrives). Other machines
// change such a folder without a change notice, so after a command every component that shows
// it refreshes at once.
bool onNetworkDrive(const std::vector<Drive> &drives, const std::string &folder);

} // namespace nomaro::platform
