#pragma once

#include <cstdint>

namespace nomaro::platform {

// The program's file version: four 16-bit numbers, as the build gives them.
struct FileVersion
{
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t release = 0;
    std::uint16_t build = 0;
};

FileVersion programVersion();

} // namespace nomaro::platform
