#pragma once

#include <string>
#include <string_view>

namespace nomaro::platform {

// Letter case as the program knows it: only the 26 letters A-Z / a-z change; accented letters and
// every byte of a multi-byte character stay as they are.
inline char toLowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char toUpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string lowerAscii(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = toLowerAscii(c);
    return result;
}

inline std::string upperAscii(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = toUpperAscii(c);
    return result;
}

inline bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toLowerAscii(a[i]) != toLowerAscii(b[i]))
            return false;
    return true;
}

} // namespace nomaro::platform
