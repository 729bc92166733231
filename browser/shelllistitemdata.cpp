#include "browser/shelllistitemdata.h"

#include <QDateTime>
#include <QFile>
#include <cmath>
#include <sys/stat.h>

#include "browser/shelllist.h"
#include "platform/shell_namespace.h"

namespace nomaro {
namespace {

QString fromBytes(const std::string &bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace

ShellListItemData::ShellListItemData(const ShellList *owner, platform::ItemIdList relative)
    : m_owner(owner)
    , m_relative(std::move(relative))
{
}

void ShellListItemData::setRelativeId(platform::ItemIdList relative)
{
    m_relative = std::move(relative);
    m_cache.reset();
}

ShellListItemData::Cache &ShellListItemData::cache()
{
    if (!m_cache)
        m_cache = std::make_unique<Cache>();
    return *m_cache;
}

const platform::ItemIdList &ShellListItemData::absoluteId()
{
    Cache &made = cache();
    if (!made.absolute)
        made.absolute = m_owner->currentFolderId() + m_relative;
    return *made.absolute;
}

std::uint32_t ShellListItemData::attributes(std::uint32_t wanted) const
{
    const platform::ShellFolder *folder = m_owner->boundFolder();
    return folder ? folder->attributes(m_relative, wanted) : 0;
}

bool ShellListItemData::isFolder() const
{
    const std::uint32_t attributes = this->attributes(platform::AttrFolder | platform::AttrStream);
    if (!(attributes & platform::AttrFolder))
        return false;
    return m_owner->hasOption(sloFilesCanBeFolders) || !(attributes & platform::AttrStream);
}

bool ShellListItemData::isLink() const
{
    return attributes(platform::AttrLink) != 0;
}

bool ShellListItemData::canRename() const
{
    return attributes(platform::AttrCanRename) != 0;
}

const QString &ShellListItemData::displayName()
{
    Cache &made = cache();
    if (!made.displayName) {
        const platform::ShellFolder *folder = m_owner->boundFolder();
        made.displayName = folder ? fromBytes(folder->displayName(m_relative, platform::DisplayNameKind::Normal)) : QString();
    }
    return *made.displayName;
}

std::string ShellListItemData::fileSystemName() const
{
    const platform::ShellFolder *folder = m_owner->boundFolder();
    return folder ? folder->displayName(m_relative, platform::DisplayNameKind::InFolder) : std::string();
}

std::string ShellListItemData::path() const
{
    const platform::ShellFolder *folder = m_owner->boundFolder();
    return folder ? folder->childPath(m_relative) : std::string();
}

QString ShellListItemData::detailText(int column)
{
    const platform::ShellFolder *folder = m_owner->boundFolder();
    if (!folder || column < 1)
        return {};
    if (m_owner->isDetailsMode())
        return QString::fromStdString(folder->detailText(m_relative, column, m_owner->localeFormats()));

    Cache &made = cache();
    if (!made.detailsMade) {
        makeFixedDetails(made);
        made.detailsMade = true;
    }
    switch (column) {
    case 1:
        return made.size;
    case 2:
        return made.type;
    case 3:
        return made.modified;
    default:
        return {};
    }
}

void ShellListItemData::makeFixedDetails(Cache &made) const
{
    const platform::ShellFolder &folder = *m_owner->boundFolder();
    const platform::LocaleFormats &formats = m_owner->localeFormats();

    const std::string itemPath = path();
    if (!itemPath.empty() && itemPath != "/") {
        platform::ErrorModeGuard quiet;
        struct stat info;
        bool found = ::lstat(itemPath.c_str(), &info) == 0;
        if (found && S_ISLNK(info.st_mode)) {
            // A link counts by its target; a link that leads nowhere by itself.
            struct stat target;
            if (::stat(itemPath.c_str(), &target) == 0)
                info = target;
        }
        if (found) {
            if (!S_ISDIR(info.st_mode)) {
                const double kilobytes = std::ceil(static_cast<double>(info.st_size) / 1024.0);
                made.size = QString::fromStdString(platform::formatWholeNumber(kilobytes, 0, formats) + " KB");
            }
            const timespec &when = info.st_mtim.tv_sec != 0 ? info.st_mtim : info.st_ctim;
            const QDateTime local = QDateTime::fromSecsSinceEpoch(when.tv_sec);
            made.modified = local.date().toString(formats.shortDateFormat) + u' '
                + local.time().toString(m_owner->shortTimeFormat());
        }
    }
    if (attributes(platform::AttrFileSystem))
        made.type = QString::fromStdString(folder.typeName(m_relative));
    else
        made.type = QStringLiteral("Cartella di sistema");
}

} // namespace nomaro
