#include "platform/shell_compare.h"

namespace nomaro::platform {
namespace {

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

unsigned char folded(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

} // namespace

int compareNames(std::string_view a, std::string_view b)
{
    const auto *x = reinterpret_cast<const unsigned char *>(a.data());
    const auto *y = reinterpret_cast<const unsigned char *>(b.data());
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n && j < m) {
        if (isDigit(x[i]) && isDigit(y[j])) {
            std::size_t si = i;
            std::size_t sj = j;
            while (si < n && x[si] == '0')
                ++si;
            while (sj < m && y[sj] == '0')
                ++sj;
            std::size_t ei = si;
            std::size_t ej = sj;
            while (ei < n && isDigit(x[ei]))
                ++ei;
            while (ej < m && isDigit(y[ej]))
                ++ej;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            for (; si < ei; ++si, ++sj) {
                if (x[si] != y[sj])
                    return x[si] < y[sj] ? -1 : 1;
            }
            i = ei;
            j = ej;
            continue;
        }
        const unsigned char cx = folded(x[i]);
        const unsigned char cy = folded(y[j]);
        if (cx != cy)
            return cx < cy ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < n)
        return 1;
    if (j < m)
        return -1;
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : bytes > 0 ? 1 : 0;
}

} // namespace nomaro::platform
