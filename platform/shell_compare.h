#pragma once

#include <compare>
#include <cstdint>
#include <string_view>

namespace nomaro::platform {

// Orders two names as the user expects: letters without regard to case (A-Z only), runs of
// digits by their value ("img2" before "img10"), and only then byte by byte, so that two
// different names never compare equal. Negative, zero or positive.
int compareNames(std::string_view a, std::string_view b);

// Sixteen bytes compared as one unsigned number.
struct SortKey
{
    std::uint64_t high = 0;
    std::uint64_t low = 0;

    auto operator<=>(const SortKey &) const = default;
};

// A key that orders names as compareNames does, as far as their first sixteen characters tell:
// namePrefixKey(a) < namePrefixKey(b) means compareNames(a, b) < 0; equal keys tell nothing.
// Sorting compares keys first and reads the names only on a tie.
SortKey namePrefixKey(std::string_view name);

} // namespace nomaro::platform
