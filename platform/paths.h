#pragma once

#include <string>
#include <string_view>

namespace nomaro::platform {

// folder + "/" + name, except that a folder already ending in "/" (the root) gets no second one.
std::string joinPath(std::string_view folder, std::string_view name);

// Whether `path` is `folder` or lies inside it, compared as text (nothing is looked up). The
// root "/" holds every absolute path; an empty folder holds nothing. Neither ends in "/" unless
// it is the root.
bool isAtOrBelow(std::string_view path, std::string_view folder);

// Where the save dialog starts, with a trailing "/": the executable's folder when the user may
// write there (a build or an unpacked copy run in place), else the documents folder when it
// exists, else the home folder. An installed program lives in /usr/bin, where nobody can save.
std::string chooseProgramFolder(const std::string &executableFolder,
                                const std::string &documentsFolder, const std::string &homeFolder);

// chooseProgramFolder for this process and user.
std::string programFolder();

} // namespace nomaro::platform
