#pragma once

#include <string>
#include <string_view>

namespace nomaro {

struct SaveResult
{
    bool saved = false;
    std::string error; // the system's text when not saved
};

// Writes the bytes to a temporary file beside the target, flushes it to the disk and only then
// renames it over the target, so that a failed save leaves the old file as it was. An existing
// target keeps its permissions; one that may not be written, or that is not a regular file (a
// device, a pipe), is refused rather than replaced, and a symbolic link is followed to the file
// it names.
SaveResult saveFileReplacing(const std::string &path, std::string_view bytes);

} // namespace nomaro
