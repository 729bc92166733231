#pragma once

#include <string>

namespace nomaro::platform {

// Whether an application the desktop knows of opens the file `path`: one that a mimeapps.list
// names for its type, or whose desktop file declares the type, or a type the file's type is a
// kind of (a C source is also plain text). Read from the XDG configuration and data folders as
// the desktop's own opener reads them, so "Apri" can say why nothing would open.
bool hasApplicationFor(const std::string &path);

// The file's type as the opener sees it (by name, then by content), for messages.
std::string openedTypeOf(const std::string &path);

} // namespace nomaro::platform
