#include "platform/file_verbs.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QString>

namespace nomaro::platform {
namespace {

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

bool onNetworkDrive(const std::vector<Drive> &drives, const std::string &folder)
{
    const Drive *drive = driveOf(drives, folder);
    return drive && drive->type == DriveType::Network;
}

} // namespace nomaro::platform
