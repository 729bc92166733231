#include "listing/file_list.h"

#include "platform/ascii_case.h"
#include "platform/datetime.h"
#include "platform/paths.h"
#include "platform/utf8.h"

namespace nomaro {
namespace {

// A field after the first is preceded by the separator, unless nothing stands before it.
void appendField(std::string &line, const std::string &separator, const std::string &field)
{
    if (!line.empty())
        line += separator;
    line += field;
}

} // namespace

std::string quoteCsvField(std::string field)
{
    if (field.find_first_of(";\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string ApplyLetterCase(std::string text, LetterCase letterCase)
{
    switch (letterCase) {
    case LetterCase::AsIs:
        return text;
    case LetterCase::Upper:
        return platform::upperAscii(text);
    case LetterCase::Lower:
        return platform::lowerAscii(text);
    }
    return text;
}

std::vector<std::string> BuildFileList(const FileTable &table, const ListOptions &options,
                                       const platform::LocaleFormats &formats)
{
    const bool kilobytes = options.sizeUnit == SizeUnit::KB;
    const double divisor = kilobytes ? 1024.0 : 1048576.0;
    const int width = kilobytes ? 8 : 5;
    const char *const unit = kilobytes ? " KB" : " MB";
    // Characters, not bytes, so that a marker such as "→" is matched by one blank.
    const std::string blanks(platform::utf8CharacterCount(options.marker), ' ');

    const auto field = [&options](std::string text) {
        return options.csvQuoting ? quoteCsvField(std::move(text)) : text;
    };

    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(table.rowCount()));
    for (int i = 0; i < table.rowCount(); ++i) {
        const nm &row = table.row(i);
        // Marker, path and name make one field: the separator never stands between them.
        std::string named;
        if (options.markFolders)
            named = isFolder(row) ? options.marker : blanks;
        if (options.path)
            named += platform::joinPath(ApplyLetterCase(row.folder, options.letterCase), {});
        const std::string name = ApplyLetterCase(row.newName, options.letterCase);
        named += options.extension ? name : basePartOf(name);
        std::string line = field(std::move(named));
        if (options.size)
            appendField(line, options.separator,
                        field(platform::formatWholeNumber(row.size / divisor, width, formats) + unit));
        // The date alone is the locale's own short date: cutting the date-and-time text to a
        // fixed length breaks every date form that is not exactly 8 characters long.
        if (options.date)
            appendField(line, options.separator,
                        field(options.time ? platform::formatDateTime(row.dateTime, formats)
                                           : platform::formatDate(row.dateTime, formats)));
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace nomaro
