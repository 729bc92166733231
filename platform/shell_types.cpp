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

// Everything after the last dot, or the whole name when it holds no dot; the type depends on
// nothing else, so this is the cache key.
std::string_view extensionKey(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(dot);
}

const TypeInfo &typeInfo(std::string_view fileName)
{
    static std::unordered_map<std::string, TypeInfo> cache;
    const std::string key(extensionKey(fileName));
    const auto found = cache.find(key);
    if (found != cache.end())
        return found->second;

    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(QFile::decodeName(QByteArray(fileName.data(), static_cast<qsizetype>(fileName.size()))),
                                                    QMimeDatabase::MatchExtension);
    TypeInfo info;
    info.name = type.comment().toStdString();
    info.icon = type.iconName().toStdString();
    if (info.name.empty())
        info.name = "File";
    return cache.emplace(key, std::move(info)).first->second;
}

} // namespace

std::string fileTypeName(std::string_view fileName)
{
    return typeInfo(fileName).name;
}

std::string fileIconName(std::string_view fileName)
{
    return typeInfo(fileName).icon;
}

} // namespace nomaro::platform
