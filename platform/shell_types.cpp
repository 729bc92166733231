#include "platform/shell_types.h"

#include <QFile>
#include <QMimeDatabase>
#include <unordered_map>

namespace nomaro::platform {
namespace {

struct TypeInfo
{
    std::string name;
    std::string icon;
};

// The type is asked for the key alone, never for the whole name: a type that a whole
// name or a double extension would give ("CMakeLists.txt", "*.tar.gz") would otherwise be kept
// under the key and handed to every other name that ends the same way.
const TypeInfo &typeInfo(std::string_view fileName)
{
    static std::unordered_map<std::string, TypeInfo> cache;
    const std::string key(fileTypeKey(fileName));
    const auto found = cache.find(key);
    if (found != cache.end())
        return found->second;

    static const QMimeDatabase database;
    // An extension alone reads as a hidden file's name, so it gets a stem of its own.
    const std::string asked = key[0] == '.' ? "x" + key : key;
    const QMimeType type = database.mimeTypeForFile(QFile::decodeName(QByteArray(asked.data(), static_cast<qsizetype>(asked.size()))),
                                                    QMimeDatabase::MatchExtension);
    TypeInfo info;
    info.name = type.comment().toStdString();
    info.icon = type.iconName().toStdString();
    if (info.name.empty())
        info.name = "File";
    return cache.emplace(key, std::move(info)).first->second;
}

} // namespace

std::string_view fileTypeKey(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(dot);
}

std::string fileTypeName(std::string_view fileName)
{
    return typeInfo(fileName).name;
}

std::string fileIconName(std::string_view fileName)
{
    return typeInfo(fileName).icon;
}

} // namespace nomaro::platform
