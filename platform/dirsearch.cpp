#include "platform/dirsearch.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>

#include "platform/entry_stat.h"

namespace nomaro::platform {
namespace {

// fnmatch gives brackets a meaning that the masks do not have: "[[]" is a literal "[".
std::string literalBrackets(std::string_view pattern)
{
    std::string out;
    out.reserve(pattern.size() + 4);
    for (const char c : pattern) {
        if (c == '[')
            out += "[[]";
        else
            out.push_back(c);
    }
    return out;
}

bool isDotOrDotDot(std::string_view name)
{
    return name == "." || name == "..";
}

class DirCloser
{
public:
    explicit DirCloser(DIR *dir) : m_dir(dir) {}
    ~DirCloser() { ::closedir(m_dir); }
    DirCloser(const DirCloser &) = delete;
    DirCloser &operator=(const DirCloser &) = delete;

private:
    DIR *m_dir;
};

} // namespace

bool matchesWildcard(std::string_view pattern, std::string_view name)
{
    if (isDotOrDotDot(name))
        return false;
    const std::string fnPattern = literalBrackets(pattern);
    const std::string fnName(name);
    return ::fnmatch(fnPattern.c_str(), fnName.c_str(), FNM_NOESCAPE | FNM_CASEFOLD) == 0;
}

SearchResult searchDirectory(const std::string &folder, std::string_view pattern,
                             const std::function<void(std::string_view name, bool isDirectory)> &found)
{
    if (pattern.empty() || pattern.find('/') != std::string_view::npos
        || pattern.find('\0') != std::string_view::npos)
        return {SearchOutcome::Failed, EINVAL};

    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {SearchOutcome::Failed, errno};
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        return {SearchOutcome::Failed, error};
    }
    DirCloser closer(dir);

    const std::string fnPattern = literalBrackets(pattern);
    SearchResult result;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!isDotOrDotDot(name) && ::fnmatch(fnPattern.c_str(), entry->d_name, FNM_NOESCAPE | FNM_CASEFOLD) == 0) {
            bool directory = entry->d_type == DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
                directory = statEntry(fd, entry->d_name).isDirectory();
            result.outcome = SearchOutcome::Found;
            found(name, directory);
        }
        errno = 0;
    }
    if (errno != 0)
        return {SearchOutcome::Failed, errno};
    return result;
}

} // namespace nomaro::platform
