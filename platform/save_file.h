#pragma once

#include <string>
#include <string_view>

namespace nomaro::platform {

struct SaveResult
{
    bool saved = false;
    // Why not, when not saved: the system's text, followed by the name of the temporary file
    // left behind where even removing it failed (a server that went away).
    std::string error;
};

// Writes the bytes to a temporary file beside the target, flushes it to the disk and only then
// renames it over the target, so that a failed save leaves the old file as it was. An existing
// target keeps its permissions; one that may not be written, or that is not a regular file (a
// device, a pipe), is refused rather than replaced, and a symbolic link is followed to the file
// it names. One implementation per OS.
SaveResult saveFileReplacing(const std::string &path, std::string_view bytes);

} // namespace nomaro::platform
