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
    // Names in one folder tend to share long beginnings ("Foto 1203", "Foto 1217"). Identical
    // bytes compare equal under every rule, so the scan starts where they part, backed up to the
    // start of a digit run that the shared part ends in, which has to be read whole.
    std::size_t same = 0;
    const std::size_t shorter = n < m ? n : m;
    while (same < shorter && x[same] == y[same])
        ++same;
    while (same > 0 && isDigit(x[same - 1]))
        --same;
    std::size_t i = same;
    std::size_t j = same;
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

SortKey namePrefixKey(std::string_view name)
{
    // The key is the first sixteen bytes of the name rewritten so that plain byte order is the
    // order of compareNames: letters folded, and each digit run written as its length (one
    // digit) followed by its digits without leading zeros. A run of nine digits or more ends
    // the key, since its length no longer fits one digit; the rest stays zero. Sorting makes
    // one key per row, so the bytes are gathered in a buffer and read as two numbers at the end.
    unsigned char out[16] = {};
    std::size_t filled = 0;
    const auto *x = reinterpret_cast<const unsigned char *>(name.data());
    const std::size_t n = name.size();
    std::size_t i = 0;
    while (i < n && filled < 16) {
        if (!isDigit(x[i])) {
            out[filled++] = folded(x[i]);
            ++i;
            continue;
        }
        std::size_t start = i;
        while (start < n && x[start] == '0')
            ++start;
        std::size_t end = start;
        while (end < n && isDigit(x[end]))
            ++end;
        const std::size_t length = end - start;
        if (length >= 9) {
            out[filled++] = '9';
            break;
        }
        out[filled++] = static_cast<unsigned char>('0' + length);
        for (std::size_t k = start; k < end && filled < 16; ++k)
            out[filled++] = x[k];
        i = end;
    }
    SortKey key;
    for (int k = 0; k < 8; ++k) {
        key.high = (key.high << 8) | out[k];
        key.low = (key.low << 8) | out[k + 8];
    }
    return key;
}

} // namespace nomaro::platform
