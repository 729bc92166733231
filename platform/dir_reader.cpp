#include "platform/dir_reader.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <memory>
#include <thread>
#include <vector>

namespace nomaro::platform {
namespace {

// Below the allocator's threshold for a mapping of its own, so a small folder costs neither a
// fresh mapping nor its page faults; the system fills the buffer, so it is not cleared first.
constexpr std::size_t kBatchBytes = 64 * 1024;
// Entries looked up before they are handed over: bounds the memory of the lookups.
constexpr std::size_t kWindow = 32768;
// Below this many entries per thread a thread costs more than it saves.
constexpr std::size_t kEntriesPerThread = 512;
// Entries a thread takes at a time.
constexpr std::size_t kChunk = 128;

struct Names
{
    std::vector<char> bytes;            // every name, each followed by a NUL
    std::vector<std::uint32_t> offsets; // where each name starts

    std::size_t size() const { return offsets.size(); }
    const char *at(std::size_t index) const { return bytes.data() + offsets[index]; }
};

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Every wanted name of the folder, in its order; the system's error number when reading failed.
int readNames(int folderFd, const std::function<bool(std::string_view)> &wanted, Names &names)
{
    const std::unique_ptr<char[]> batch = std::make_unique_for_overwrite<char[]>(kBatchBytes);
    while (true) {
        const ssize_t read = ::getdents64(folderFd, batch.get(), kBatchBytes);
        if (read < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (read == 0)
            return 0;
        for (ssize_t at = 0; at < read;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(batch.get() + at);
            at += entry->d_reclen;
            const char *name = entry->d_name;
            if (isDotOrDotDot(name))
                continue;
            const std::string_view view(name);
            if (wanted && !wanted(view))
                continue;
            names.offsets.push_back(static_cast<std::uint32_t>(names.bytes.size()));
            names.bytes.insert(names.bytes.end(), view.begin(), view.end());
            names.bytes.push_back('\0');
        }
    }
}

// Looks up entries [first, last) into `statuses`, several threads taking chunks in turn; the
// calling thread works too and returns once every thread has joined.
void lookUp(int folderFd, const Names &names, std::size_t first, std::size_t last, std::vector<EntryStatus> &statuses)
{
    std::atomic<std::size_t> next{first};
    auto work = [&] {
        while (true) {
            const std::size_t start = next.fetch_add(kChunk, std::memory_order_relaxed);
            if (start >= last)
                return;
            const std::size_t end = std::min(last, start + kChunk);
            for (std::size_t i = start; i < end; ++i)
                statuses[i - first] = statEntry(folderFd, names.at(i));
        }
    };
    const std::size_t count = last - first;
    const std::size_t threads = std::min<std::size_t>(lookupThreads(), std::max<std::size_t>(1, count / kEntriesPerThread));
    std::vector<std::jthread> helpers;
    helpers.reserve(threads - 1);
    for (std::size_t i = 1; i < threads; ++i)
        helpers.emplace_back(work);
    work();
}

} // namespace

unsigned lookupThreads()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

FolderRead readFolder(int folderFd, const std::function<bool(std::string_view)> &wanted,
                      const std::function<void(std::string_view, const EntryStatus &)> &found)
{
    Names names;
    const int error = readNames(folderFd, wanted, names);
    // A folder removed while it was read lists as empty, as a part or as a failure; none of
    // them is the folder.
    struct stat self;
    if (::fstat(folderFd, &self) == 0 && S_ISDIR(self.st_mode) && self.st_nlink == 0)
        return {FolderReadEnd::Vanished, ENOENT};
    if (error)
        return {FolderReadEnd::Failed, error};

    std::vector<EntryStatus> statuses(std::min(kWindow, names.size()));
    for (std::size_t first = 0; first < names.size(); first += kWindow) {
        const std::size_t last = std::min(names.size(), first + kWindow);
        lookUp(folderFd, names, first, last, statuses);
        for (std::size_t i = first; i < last; ++i)
            found(std::string_view(names.at(i)), statuses[i - first]);
    }
    return {};
}

} // namespace nomaro::platform
