#pragma once

#include <string>
#include <string_view>

namespace nomaro::platform {

// folder + "/" + name, except that a folder already ending in "/" (the root) gets no second one.
std::string joinPath(std::string_view folder, std::string_view name);

} // namespace nomaro::platform
