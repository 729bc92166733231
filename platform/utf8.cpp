#include "platform/utf8.h"

namespace nomaro::platform {
namespace {

bool isContinuation(std::string_view text, std::size_t pos, unsigned char low = 0x80,
                    unsigned char high = 0xBF)
{
    if (pos >= text.size())
        return false;
    const auto c = static_cast<unsigned char>(text[pos]);
    return c >= low && c <= high;
}

} // namespace

std::size_t utf8CharacterLength(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    const auto lead = static_cast<unsigned char>(text[pos]);
    // Lead bytes and the ranges their second byte may take.
    if (lead >= 0xC2 && lead <= 0xDF)
        return isContinuation(text, pos + 1) ? 2 : 1;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return isContinuation(text, pos + 1, low, high) && isContinuation(text, pos + 2) ? 3 : 1;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return isContinuation(text, pos + 1, low, high) && isContinuation(text, pos + 2)
                && isContinuation(text, pos + 3)
            ? 4
            : 1;
    }
    return 1;
}

char32_t nextUtf8CodePoint(std::string_view text, std::size_t &pos)
{
    const std::size_t length = utf8CharacterLength(text, pos);
    const auto lead = static_cast<unsigned char>(text[pos]);
    pos += length;
    if (length == 1)
        return lead < 0x80 ? lead : U'\uFFFD';
    static constexpr unsigned char kLeadBits[5] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t code = lead & kLeadBits[length];
    for (std::size_t k = pos - length + 1; k < pos; ++k)
        code = (code << 6) | (static_cast<unsigned char>(text[k]) & 0x3F);
    return code;
}

std::size_t utf8CharacterCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += utf8CharacterLength(text, pos))
        ++count;
    return count;
}

} // namespace nomaro::platform
