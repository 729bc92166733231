#include "platform/file_verbs_open.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMimeDatabase>
#include <QMimeType>
#include <QSet>
#include <QString>
#include <QStringList>

namespace nomaro::platform {
namespace {

QString environmentFolder(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.startsWith(QLatin1Char('/')) ? value : fallback;
}

QStringList environmentFolders(const char *name, const QString &fallback)
{
    QStringList folders;
    for (const QString &folder : environmentFolder(name, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (folder.startsWith(QLatin1Char('/')))
            folders << folder;
    }
    return folders;
}

// The folders that hold desktop files, the user's first.
QStringList applicationFolders()
{
    QStringList folders{environmentFolder("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"))};
    folders << environmentFolders("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (QString &folder : folders)
        folder += QStringLiteral("/applications");
    return folders;
}

// The folders where mimeapps.list files are read, the user's first.
QStringList listFolders()
{
    QStringList folders{environmentFolder("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"))};
    folders << environmentFolders("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    return folders + applicationFolders();
}

// The desktop files of one group of a key file, for any of `types`: "type=a.desktop;b.desktop;".
QStringList listedFor(const QString &file, const QString &group, const QStringList &types)
{
    QFile list(file);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList ids;
    bool inGroup = false;
    while (!list.atEnd()) {
        const QString line = QString::fromUtf8(list.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && types.contains(line.left(equals).trimmed()))
            ids << line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    return ids;
}

// The desktop file with `id` ("vendor-app.desktop" may live in applications/vendor/app.desktop).
QString desktopFile(const QStringList &folders, const QString &id)
{
    for (const QString &folder : folders) {
        QString relative = id;
        for (;;) {
            if (QFile::exists(folder + QLatin1Char('/') + relative))
                return folder + QLatin1Char('/') + relative;
            const qsizetype dash = relative.indexOf(QLatin1Char('-'));
            if (dash < 0)
                break;
            relative[dash] = QLatin1Char('/');
        }
    }
    return {};
}

// Whether a desktop file is an application that the user has not hidden.
bool usable(const QString &file)
{
    QFile desktop(file);
    if (!desktop.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString text = QString::fromUtf8(desktop.readAll());
    return !text.contains(QStringLiteral("\nHidden=true")) && !text.contains(QStringLiteral("\nType=Link"));
}

bool declaresType(const QString &file, const QStringList &types)
{
    const QStringList declared = listedFor(file, QStringLiteral("Desktop Entry"), {QStringLiteral("MimeType")});
    for (const QString &type : declared) {
        if (types.contains(type))
            return true;
    }
    return false;
}

QMimeType typeOf(const std::string &path)
{
    return QMimeDatabase().mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

} // namespace

bool hasApplicationFor(const std::string &path)
{
    const QMimeType type = typeOf(path);
    const QStringList types = QStringList{type.name()} + type.aliases() + type.allAncestors();
    const QStringList applications = applicationFolders();

    QSet<QString> removed;
    for (const QString &folder : listFolders()) {
        const QString list = folder + QStringLiteral("/mimeapps.list");
        for (const QString &id : listedFor(list, QStringLiteral("Removed Associations"), types))
            removed.insert(id);
        for (const QString &group : {QStringLiteral("Default Applications"), QStringLiteral("Added Associations")}) {
            for (const QString &id : listedFor(list, group, types)) {
                const QString file = desktopFile(applications, id);
                if (!removed.contains(id) && !file.isEmpty() && usable(file))
                    return true;
            }
        }
    }
    // Desktop files are read themselves rather than through a cache that may be stale.
    for (const QString &folder : applications) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString id = it.filePath().mid(folder.size() + 1).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (!removed.contains(id) && declaresType(file, types) && usable(file))
                return true;
        }
    }
    return false;
}

std::string openedTypeOf(const std::string &path)
{
    return typeOf(path).name().toStdString();
}

} // namespace nomaro::platform
