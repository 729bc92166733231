#pragma once

#include <string_view>

namespace nomaro::platform {

// Orders two names as the user expects: letters without regard to case (A-Z only), runs of
// digits by their value ("img2" before "img10"), and only then byte by byte, so that two
// different names never compare equal. Negative, zero or positive.
int compareNames(std::string_view a, std::string_view b);

} // namespace nomaro::platform
