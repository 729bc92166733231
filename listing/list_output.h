#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nomaro {

// The listing field's text as lines: an empty text has none, otherwise every '\n' ends one.
std::vector<std::string> splitLines(std::string_view text);
std::string joinLines(const std::vector<std::string> &lines);

// TXT and CSV files: the lines' bytes, every line (the last one too) ended by CR LF; nothing else.
std::string plainTextDocument(const std::vector<std::string> &lines);

// A sheet of paper in twips (1/1440 inch), the unit RTF gives it in.
struct PaperSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PaperSize &, const PaperSize &) = default;
};
inline constexpr PaperSize A4Paper{11906, 16838};
inline constexpr PaperSize LetterPaper{12240, 15840};

// The C library gives a locale's paper in whole millimetres, so the inch sizes come rounded
// (Letter as 216 x 279): those are recognised and given exactly, any other size is converted.
PaperSize paperFromMillimetres(int width, int height);

// The paper of the locale named, read from its LC_PAPER; "" is the user's own locale (LC_ALL,
// LC_PAPER, LANG). A4 when the locale cannot be loaded.
PaperSize paperOfLocale(const char *localeName);

// An RTF document in Courier New 10 point, one paragraph per line, on the given paper with the
// reader's default margins. The lines are read as UTF-8; characters beyond ASCII become \u
// escapes, a byte that is not UTF-8 becomes U+FFFD.
std::string rtfDocument(const std::vector<std::string> &lines, PaperSize paper = paperOfLocale(""));

} // namespace nomaro
