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
