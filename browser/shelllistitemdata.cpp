#include "browser/shelllistitemdata.h"

#include <QDateTime>
#include <QFile>
#include <cmath>

#include "browser/foldercontext.h"
#include "platform/shell_namespace.h"
#include "platform/shell_types.h"

namespace nomaro {
namespace {

QString fromBytes(const std::string &bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace

struct ShellListItemData::Cache
{
    std::optional<platform::ItemIdList> absolute;
    std::optional<QString> displayName;
    bool detailsMade = false;
    QString size;
    QString type;
    QString modified;
};

ShellListItemData::ShellListItemData(const FolderContext *context, platform::ItemIdList relative)
    : m_context(context)
    , m_relative(context->keepIdentifier(relative.bytes()))
    , m_nameKey(nameKeyOf())
{
}

platform::SortKey ShellListItemData::nameKeyOf() const
{
    const platform::ShellFolder *folder = m_context->folder();
    return folder ? folder->sortKey(0, element()) : platform::SortKey{};
}

platform::ItemIdList ShellListItemData::relativeId() const
{
    return *platform::ItemIdList::fromBytes(m_context->identifier(m_relative));
}

platform::ItemElement ShellListItemData::element() const
{
    return platform::ItemIdList::decodeFirst(m_context->identifier(m_relative));
}

ShellListItemData::~ShellListItemData() = default;
ShellListItemData::ShellListItemData(ShellListItemData &&) noexcept = default;
ShellListItemData &ShellListItemData::operator=(ShellListItemData &&) noexcept = default;

void ShellListItemData::setRelativeId(platform::ItemIdList relative)
{
    m_relative = m_context->keepIdentifier(relative.bytes());
    m_nameKey = nameKeyOf();
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
        made.absolute = m_context->folderId() + relativeId();
    return *made.absolute;
}

std::uint32_t ShellListItemData::attributes(std::uint32_t wanted) const
{
    const platform::ShellFolder *folder = m_context->folder();
    return folder ? folder->attributes(element(), wanted) : 0;
}

bool ShellListItemData::isFolder() const
{
    const std::uint32_t attributes = this->attributes(platform::AttrFolder | platform::AttrStream);
    if (!(attributes & platform::AttrFolder))
        return false;
    return m_context->hasOption(sloFilesCanBeFolders) || !(attributes & platform::AttrStream);
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
        const platform::ShellFolder *folder = m_context->folder();
        made.displayName = folder ? fromBytes(folder->displayName(element(), platform::DisplayNameKind::Normal)) : QString();
    }
    return *made.displayName;
}

std::string ShellListItemData::fileSystemName() const
{
    const platform::ShellFolder *folder = m_context->folder();
    return folder ? folder->displayName(element(), platform::DisplayNameKind::InFolder) : std::string();
}

std::string ShellListItemData::path() const
{
    const platform::ShellFolder *folder = m_context->folder();
    return folder ? folder->childPath(element()) : std::string();
}

QString ShellListItemData::detailText(int column)
{
    const platform::ShellFolder *folder = m_context->folder();
    if (!folder || column < 1)
        return {};
    if (m_context->isDetailsMode())
        return QString::fromStdString(folder->detailText(relativeId(), column, m_context->formats()));

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
    const platform::ShellFolder &folder = *m_context->folder();
    const platform::LocaleFormats &formats = m_context->formats();
    const platform::ItemElement item = element();

    // The size and time are the ones the listing read; a bare drive root shows neither.
    const std::string itemPath = path();
    if (!itemPath.empty() && itemPath != "/" && (item.flags & platform::ElementStatKnown)) {
        if (!item.isDirectory()) {
            const double kilobytes = std::ceil(static_cast<double>(item.size) / 1024.0);
            made.size = QString::fromStdString(platform::formatWholeNumber(kilobytes, 0, formats) + " KB");
        }
        const QDateTime local = QDateTime::fromSecsSinceEpoch(item.mtimeSeconds);
        made.modified = local.date().toString(formats.shortDateFormat) + u' '
            + local.time().toString(m_context->shortTimeFormat());
    }
    if (attributes(platform::AttrFileSystem))
        made.type = QString::fromStdString(folder.typeName(item));
    else
        made.type = QString::fromUtf8(platform::kSystemFolderTypeName);
}

} // namespace nomaro
