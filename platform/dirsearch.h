#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace nomaro::platform {

enum class SearchOutcome {
    Found,        // at least one entry matched
    NothingFound, // the folder was read and nothing matched
    Failed,       // the folder could not be read, or the pattern is not a valid name
};

struct SearchResult
{
    SearchOutcome outcome = SearchOutcome::NothingFound;
    int error = 0; // the system's error number when Failed
};

// Whether `name` matches `pattern`: "*" stands for any run of characters, "?" for one character,
// letters match without regard to case, and every other character (brackets and backslashes
// too) stands for itself. "." and ".." never match.
bool matchesWildcard(std::string_view pattern, std::string_view name);

// Searches `folder` for the entries whose names match `pattern` and hands each to `found` with
// whether it is a directory (a symbolic link counts by its target). A pattern holding "/" or a
// NUL byte is no name and fails.
SearchResult searchDirectory(const std::string &folder, std::string_view pattern,
                             const std::function<void(std::string_view name, bool isDirectory)> &found);

} // namespace nomaro::platform
