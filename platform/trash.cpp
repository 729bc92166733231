#include "platform/trash.h"

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/rename_posix.h"
#include "platform/shell_error.h"
#include "platform/trash_place.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform {
namespace trash {
namespace {

using fileops::nameOf;
using fileops::parentOf;

constexpr size_t kMostNameBytes = 255;
const std::string kInfoSuffix = ".trashinfo";
constexpr int kMostAttempts = 10000;

bool unreserved(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || std::string_view("-_.!~*'()/").find(char(c)) != std::string_view::npos;
}

// Cuts `text` to at most `size` bytes without splitting a UTF-8 sequence.
std::string cutAt(const std::string &text, size_t size)
{
    if (text.size() <= size)
        return text;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80)
        --size;
    return text.substr(0, size);
}

int writeAll(int fd, const std::string &text)
{
    const char *data = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        left -= size_t(written);
    }
    return 0;
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

enum class Claim { Made, NameTaken, Failed };

// Creates info/NAME.trashinfo, which claims NAME in this trash for us alone.
Claim writeInfo(const std::string &infoPath, const std::string &text, int &error)
{
    const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
        return error == EEXIST ? Claim::NameTaken : Claim::Failed;
    }
    error = writeAll(fd, text);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        return Claim::Made;
    ::unlink(infoPath.c_str());
    return Claim::Failed;
}

class ItemTrasher
{
public:
    explicit ItemTrasher(std::string path)
        : m_path(withoutTrailingSlashes(std::move(path)))
        , m_what("Impossibile spostare " + fileops::quotedName(m_path) + " nel cestino")
    {
    }

    TrashResult run()
    {
        TrashResult result{m_path, false, {}};
        const std::string name = nameOf(m_path);
        struct stat info;
        if (name.empty() || name == "." || name == "..")
            return failed(result, EINVAL);
        if (::lstat(m_path.c_str(), &info) != 0)
            return failed(result, errno);
        const std::string realFolder = fileops::canonical(parentOf(m_path));
        if (realFolder.empty())
            return failed(result, errno);
        TrashPlace place;
        if (!findTrashPlace(realFolder, name, place)) {
            result.message = systemMessage(m_what + ": sul disco che lo contiene non si può creare"
                                                    " un cestino",
                                           errno);
            return result;
        }
        const std::string text = "[Trash Info]\nPath=" + escapedPath(place.recordedPath)
                               + "\nDeletionDate=" + deletionDate(std::time(nullptr)) + "\n";
        for (int n = 1; n <= kMostAttempts; ++n) {
            const std::string entry = trashName(name, S_ISDIR(info.st_mode), n);
            const std::string infoPath = joinPath(place.folder, "info/" + entry + kInfoSuffix);
            int error = 0;
            const Claim claim = writeInfo(infoPath, text, error);
            if (claim == Claim::NameTaken)
                continue;
            if (claim == Claim::Failed)
                return failed(result, error);
            const RenameStatus moved = posix::moveNoReplace(m_path, joinPath(place.folder, "files/" + entry));
            error = errno;
            if (moved == RenameStatus::Renamed) {
                result.trashed = true;
                return result;
            }
            // Without the item the entry would point at nothing.
            ::unlink(infoPath.c_str());
            if (moved != RenameStatus::TargetExists)
                return failed(result, moved == RenameStatus::InvalidName ? EINVAL : error);
        }
        return failed(result, EEXIST);
    }

private:
    TrashResult &failed(TrashResult &result, int error)
    {
        result.message = error == EXDEV ? m_what + ": il cestino non è sullo stesso disco dell'elemento"
                                        : systemMessage(m_what, error);
        return result;
    }

    std::string m_path;
    std::string m_what;
};

} // namespace

std::string escapedPath(std::string_view path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (unreserved(c)) {
            escaped += byte;
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0x0F];
        }
    }
    return escaped;
}

std::string deletionDate(std::time_t when)
{
    std::tm local{};
    ::localtime_r(&when, &local);
    char text[32];
    const size_t size = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return std::string(text, size);
}

std::string trashName(const std::string &name, bool isFolder, int n)
{
    const size_t room = kMostNameBytes - kInfoSuffix.size();
    const std::string number = n == 1 ? std::string() : "." + std::to_string(n);
    size_t dot = isFolder ? std::string::npos : name.find_last_of('.');
    if (dot == 0 || (dot != std::string::npos && name.size() - dot > room / 2))
        dot = std::string::npos;
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    const std::string stem = name.substr(0, dot);
    return cutAt(stem, room - number.size() - extension.size()) + number + extension;
}

} // namespace trash

std::vector<TrashResult> moveItemsToTrash(const std::vector<std::string> &paths)
{
    std::vector<TrashResult> results;
    results.reserve(paths.size());
    for (const std::string &path : paths) {
        results.push_back(trash::ItemTrasher(path).run());
        results.back().path = path;
    }
    return results;
}

} // namespace nomaro::platform
