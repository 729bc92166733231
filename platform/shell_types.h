#pragma once

#include <string>
#include <string_view>

namespace nomaro::platform {

// The type name of a file by its name's extension (the content is never read), in the desktop's
// language; cached per extension.
std::string fileTypeName(std::string_view fileName);

// The part of a file's name that decides its type: everything from the last dot, or the whole
// name when it holds no dot (or only a leading one). Names with the same key have the same type.
std::string_view fileTypeKey(std::string_view fileName);

// The icon theme name for a file by its name's extension; cached per extension.
std::string fileIconName(std::string_view fileName);

// The type name of a folder.
inline constexpr const char *kFolderTypeName = "Cartella";
// The type of an item that is no file-system item (the computer's drive list).
inline constexpr const char *kSystemFolderTypeName = "Cartella di sistema";

} // namespace nomaro::platform
