#pragma once

#include <cstddef>
#include <string_view>

namespace nomaro::platform {

// Names and texts are bytes that are mostly UTF-8. A character is a whole well-formed UTF-8
// sequence (no overlong forms, no surrogates, nothing above U+10FFFF); a byte that does not start
// one counts as a character of its own, so nothing is ever cut inside a sequence.

// The length in bytes of the character starting at `pos`; 0 at the end of the text.
std::size_t utf8CharacterLength(std::string_view text, std::size_t pos);

// The code point of the character at `pos`, or U+FFFD for a byte that starts no sequence;
// `pos` moves past the character.
char32_t nextUtf8CodePoint(std::string_view text, std::size_t &pos);

// The number of characters in the text.
std::size_t utf8CharacterCount(std::string_view text);

} // namespace nomaro::platform
