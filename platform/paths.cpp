#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform {
namespace {

bool isFolder(const std::string &path)
{
    struct stat entry;
    return !path.empty() && ::stat(path.c_str(), &entry) == 0 && S_ISDIR(entry.st_mode);
}

bool mayCreateFilesIn(const std::string &folder)
{
    return isFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string withTrailingSlash(const std::string &folder)
{
    return joinPath(folder, {});
}

} // namespace

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

bool isAtOrBelow(std::string_view path, std::string_view folder)
{
    if (folder.empty())
        return false;
    if (folder == "/")
        return path.starts_with('/');
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

std::string chooseProgramFolder(const std::string &executableFolder,
                                const std::string &documentsFolder, const std::string &homeFolder)
{
    if (mayCreateFilesIn(executableFolder))
        return withTrailingSlash(executableFolder);
    if (isFolder(documentsFolder))
        return withTrailingSlash(documentsFolder);
    return withTrailingSlash(homeFolder);
}

std::string programFolder()
{
    const auto local = [](const QString &path) { return QFile::encodeName(path).toStdString(); };
    return chooseProgramFolder(local(QCoreApplication::applicationDirPath()),
                               local(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)),
                               local(QDir::homePath()));
}

} // namespace nomaro::platform
