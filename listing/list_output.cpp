#include "listing/list_output.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <langinfo.h>
#include <locale.h>

#include "platform/utf8.h"

namespace nomaro {
namespace {

// RTF's \uN takes a signed 16-bit number, followed by the one character ("?") that a reader
// without Unicode shows instead. The "?" is written as \'3f: some readers skip the whole word
// after \uN rather than one character when the fallback is a plain "?".
void appendUnicodeEscape(std::string &out, std::uint16_t unit)
{
    out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "\\'3f";
}

void appendRtfText(std::string &out, std::string_view line)
{
    for (std::size_t i = 0; i < line.size();) {
        const char32_t cp = platform::nextUtf8CodePoint(line, i);
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp < 0x20 || cp == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned>(cp));
            out += hex;
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp <= 0xFFFF) {
            appendUnicodeEscape(out, static_cast<std::uint16_t>(cp));
        } else {
            const char32_t v = cp - 0x10000;
            appendUnicodeEscape(out, static_cast<std::uint16_t>(0xD800 + (v >> 10)));
            appendUnicodeEscape(out, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
        }
    }
}

int millimetresToTwips(int millimetres)
{
    return static_cast<int>(std::lround(millimetres * 1440.0 / 25.4));
}

} // namespace

PaperSize paperFromMillimetres(int width, int height)
{
    if (width == 216 && height == 279)
        return LetterPaper;
    if (width == 216 && height == 356)
        return PaperSize{12240, 20160}; // Legal, 8.5 x 14 inches
    return PaperSize{millimetresToTwips(width), millimetresToTwips(height)};
}

PaperSize paperOfLocale(const char *localeName)
{
    const locale_t locale = ::newlocale(LC_PAPER_MASK, localeName, locale_t(0));
    if (locale == locale_t(0))
        return A4Paper;
    // glibc answers these two items with the number itself in place of the string pointer.
    const auto item = [locale](nl_item name) {
        return static_cast<int>(reinterpret_cast<std::intptr_t>(::nl_langinfo_l(name, locale)));
    };
    const int width = item(_NL_PAPER_WIDTH);
    const int height = item(_NL_PAPER_HEIGHT);
    ::freelocale(locale);
    if (width <= 0 || height <= 0)
        return A4Paper;
    return paperFromMillimetres(width, height);
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            return lines;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string joinLines(const std::vector<std::string> &lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    return text;
}

std::string plainTextDocument(const std::vector<std::string> &lines)
{
    std::string out;
    for (const std::string &line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string rtfDocument(const std::vector<std::string> &lines, PaperSize paper)
{
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                      "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\r\n";
    out += "\\paperw" + std::to_string(paper.width) + "\\paperh" + std::to_string(paper.height) + "\r\n";
    out += "\\pard\\plain\\f0\\fs20 ";
    for (const std::string &line : lines) {
        appendRtfText(out, line);
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace nomaro
