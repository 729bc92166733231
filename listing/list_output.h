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

// An RTF document in Courier New 10 point, one paragraph per line. The lines are read as UTF-8;
// characters beyond ASCII become \u escapes, a byte that is not UTF-8 becomes U+FFFD.
std::string rtfDocument(const std::vector<std::string> &lines);

} // namespace nomaro
