#include "browser/foldercontext.h"

#include <QLocale>

namespace nomaro {

FolderContext::FolderContext() = default;

FolderContext::FolderContext(std::unique_ptr<platform::ShellFolder> folder, ShellListOptions options)
    : m_folder(std::move(folder))
    , m_formats(platform::LocaleFormats::system())
    , m_shortTimeFormat(QLocale::system().timeFormat(QLocale::ShortFormat))
    , m_options(options)
{
}

FolderContext::IdentifierPlace FolderContext::keepIdentifier(std::string_view bytes) const
{
    const IdentifierPlace place{static_cast<std::uint32_t>(m_identifiers.size()), static_cast<std::uint32_t>(bytes.size())};
    m_identifiers.append(bytes);
    return place;
}

void FolderContext::compactIdentifiers(const std::vector<IdentifierPlace *> &places) const
{
    std::string kept;
    std::size_t live = 0;
    for (const IdentifierPlace *place : places)
        live += place->length;
    kept.reserve(live);
    for (IdentifierPlace *place : places) {
        const std::string_view bytes = identifier(*place);
        place->offset = static_cast<std::uint32_t>(kept.size());
        kept.append(bytes);
    }
    m_identifiers.swap(kept);
}

const platform::ItemIdList &FolderContext::folderId() const
{
    static const platform::ItemIdList desktop;
    return m_folder ? m_folder->absoluteId() : desktop;
}

const std::string &FolderContext::folderPath() const
{
    static const std::string none;
    return m_folder ? m_folder->path() : none;
}

} // namespace nomaro
