#pragma once

#include <string>
#include <string_view>

namespace nomaro::platform {

// folder + "/" + name, except that a folder already ending in "/" (the root) gets no second one.
std::string joinPath(std::string_view folder, std::string_view name);

// Where the save dialog starts, with a trailing "/": the executable's folder when the user may
// write there (a build or an unpacked copy run in place), else the documents folder when it
// exists, else the home folder. An installed program lives in /usr/bin, where nobody can save.
std::string chooseProgramFolder(const std::string &executableFolder,
                                const std::string &documentsFolder, const std::string &homeFolder);

// chooseProgramFolder for this process and user.
std::string programFolder();

} // namespace nomaro::platform
