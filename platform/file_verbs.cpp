#include "platform/file_verbs.h"

#include "platform/file_ops.h"
#include "platform/rename_posix.h"
#include "platform/paths.h"
#include "platform/shell_error.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform {
namespace {

using fileops::canonical;
using fileops::nameOf;
using fileops::parentOf;

const QString kUriList = QStringLiteral("text/uri-list");
const QString kGnomeCopied = QStringLiteral("x-special/gnome-copied-files");
const QByteArray kFileScheme = QByteArrayLiteral("file://");

QByteArray fileUrl(const std::string &path)
{
    const QByteArray bytes(path.data(), qsizetype(path.size()));
    return kFileScheme + bytes.toPercentEncoding("/");
}

// "file:///a%20b" and "file://localhost/a%20b" are local files; other hosts and schemes are not.
bool localPathOfUrl(QByteArray url, std::string &path)
{
    url = url.trimmed();
    if (!url.startsWith(kFileScheme))
        return false;
    url.remove(0, kFileScheme.size());
    if (url.startsWith("localhost/"))
        url.remove(0, 9);
    if (!url.startsWith('/'))
        return false;
    const QByteArray bytes = QByteArray::fromPercentEncoding(url);
    if (bytes.contains('\0'))
        return false;
    path.assign(bytes.constData(), size_t(bytes.size()));
    return true;
}

std::vector<std::string> pathsOfUrlLines(const QByteArrayList &lines)
{
    std::vector<std::string> paths;
    for (const QByteArray &line : lines) {
        std::string path;
        if (!line.startsWith('#') && localPathOfUrl(line, path))
            paths.push_back(std::move(path));
    }
    return paths;
}

// Qt 6.4 puts a trashed item under the working folder when the data folder is missing.
std::string prepareDataHome()
{
    const char *xdg = std::getenv("XDG_DATA_HOME");
    std::string dataHome;
    if (xdg && xdg[0] == '/')
        dataHome = xdg;
    else if (const char *home = std::getenv("HOME"))
        dataHome = joinPath(home, ".local/share");
    if (!dataHome.empty())
        QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(dataHome)));
    return dataHome;
}

// The trash folders: "Trash/files" of the data home, and the ".Trash-UID/files" or
// ".Trash/UID/files" of a mount's top folder.
bool isTrashFilesFolder(const std::string &folder, const std::string &dataHome)
{
    if (nameOf(folder) != "files")
        return false;
    const std::string trash = parentOf(folder);
    const std::string uid = std::to_string(::getuid());
    if (!dataHome.empty() && canonical(trash) == canonical(joinPath(dataHome, "Trash")))
        return true;
    return nameOf(trash) == ".Trash-" + uid
        || (nameOf(trash) == uid && nameOf(parentOf(trash)) == ".Trash");
}

TrashResult trashOne(const std::string &path, const std::string &dataHome)
{
    TrashResult result{path, false, {}};
    const std::string what = "Impossibile spostare " + fileops::quotedName(path) + " nel cestino";
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        result.message = systemMessage(what, errno);
        return result;
    }
    if (::access(parentOf(path).c_str(), W_OK | X_OK) != 0) {
        result.message = systemMessage(what, errno);
        return result;
    }
    QString pathInTrash;
    if (!QFile::moveToTrash(QFile::decodeName(QByteArray::fromStdString(path)), &pathInTrash)) {
        result.message = what + ": il cestino ha rifiutato l'elemento";
        return result;
    }
    const std::string landed = QFile::encodeName(pathInTrash).toStdString();
    if (isTrashFilesFolder(parentOf(landed), dataHome)) {
        result.trashed = true;
        return result;
    }
    // Somewhere that is no trash: put the item back where the user had it.
    const bool back = posix::moveNoReplace(landed, path) == RenameStatus::Renamed;
    result.message = what + (back ? ": non è stato trovato un cestino"
                                  : ": l'elemento è finito in \"" + landed + "\"");
    return result;
}

} // namespace

std::unique_ptr<QMimeData> dragDataForItems(const std::vector<std::string> &paths)
{
    QByteArrayList urls;
    QByteArrayList texts;
    for (const std::string &path : paths) {
        urls.append(fileUrl(path));
        texts.append(QByteArray(path.data(), qsizetype(path.size())));
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(kUriList, urls.join("\r\n") + "\r\n");
    data->setText(QFile::decodeName(texts.join('\n')));
    return data;
}

std::unique_ptr<QMimeData> mimeDataForItems(const std::vector<std::string> &paths, bool cut)
{
    std::unique_ptr<QMimeData> data = dragDataForItems(paths);
    QByteArray copied = cut ? QByteArrayLiteral("cut") : QByteArrayLiteral("copy");
    for (const std::string &path : paths)
        copied += '\n' + fileUrl(path);
    data->setData(kGnomeCopied, copied);
    return data;
}

ClipboardItems itemsFromMimeData(const QMimeData &data)
{
    ClipboardItems items;
    QByteArrayList lines = data.data(kGnomeCopied).split('\n');
    const QByteArray verb = lines.takeFirst().trimmed();
    if (verb == "copy" || verb == "cut") {
        items.cut = verb == "cut";
        items.paths = pathsOfUrlLines(lines);
        return items;
    }
    items.paths = pathsOfUrlLines(data.data(kUriList).split('\n'));
    return items;
}

std::vector<TrashResult> moveItemsToTrash(const std::vector<std::string> &paths)
{
    const std::string dataHome = prepareDataHome();
    std::vector<TrashResult> results;
    results.reserve(paths.size());
    for (const std::string &path : paths)
        results.push_back(trashOne(path, dataHome));
    return results;
}

bool onNetworkDrive(const std::vector<Drive> &drives, const std::string &folder)
{
    const Drive *drive = driveOf(drives, folder);
    return drive && drive->type == DriveType::Network;
}

} // namespace nomaro::platform
