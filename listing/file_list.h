#pragma once

#include <string>
#include <vector>

#include "platform/locale_formats.h"
#include "workset/file_table.h"

namespace nomaro {

enum class LetterCase { AsIs, Upper, Lower };
enum class SizeUnit { KB, MB };

// What each line of the listing carries and how it is written; the defaults are the page's.
struct ListOptions
{
    bool markFolders = true;
    std::string marker = "<>";
    bool path = false;
    bool extension = false;
    bool size = false;
    SizeUnit sizeUnit = SizeUnit::KB;
    bool date = false;
    bool time = false; // with the date, the whole date and time
    std::string separator = " ";
    LetterCase letterCase = LetterCase::AsIs;
    // CSV: a field holding ";", '"', CR or LF is put between double quotes, so that a name such
    // as a;b.txt stays one field for a spreadsheet. Every other field is written as it is.
    bool csvQuoting = false;
};

// The field between double quotes, with each inner double quote doubled, when it holds ";", '"',
// CR or LF; otherwise the field unchanged.
std::string quoteCsvField(std::string field);

// Changes the letters A-Z / a-z only; every other byte, accented letters included, stays.
std::string ApplyLetterCase(std::string text, LetterCase letterCase);

// One line per row of the table, in table order, from the rows' new names.
std::vector<std::string> BuildFileList(const FileTable &table, const ListOptions &options,
                                       const platform::LocaleFormats &formats);

} // namespace nomaro
