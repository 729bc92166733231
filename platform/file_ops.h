#pragma once

#include <string>

// Path and move helpers shared by the file verbs.
namespace nomaro::platform::fileops {

std::string parentOf(const std::string &path);
std::string nameOf(const std::string &path);
// The last component in double quotes, for messages: "\"nome.txt\"".
std::string quotedName(const std::string &path);
// The resolved absolute path, or empty when it cannot be resolved.
std::string canonical(const std::string &path);

} // namespace nomaro::platform::fileops
