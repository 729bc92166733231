#pragma once

// What every row of one fill of the folder list shares: the bound folder, its absolute
// identifier, the locale formats that the row texts are written with and the options that decide
// how a row behaves. The list model owns the context of its rows; rows point to their context,
// so it outlives them.

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "browser/shelllistoptions.h"
#include "platform/itemidlist.h"
#include "platform/locale_formats.h"
#include "platform/shell_namespace.h"

namespace nomaro {

class FolderContext
{
public:
    // No folder bound: rows of such a context answer with empty texts.
    FolderContext();
    // The context of a fill of `folder`, with the system's formats of this moment.
    FolderContext(std::unique_ptr<platform::ShellFolder> folder, ShellListOptions options);
    FolderContext(const FolderContext &) = delete;
    FolderContext &operator=(const FolderContext &) = delete;

    // The bound folder; nullptr before the first fill.
    const platform::ShellFolder *folder() const { return m_folder.get(); }
    // The folder's absolute identifier (the desktop's before the first fill).
    const platform::ItemIdList &folderId() const;
    // The folder's file-system path; empty for a virtual folder or none.
    const std::string &folderPath() const;

    const platform::LocaleFormats &formats() const { return m_formats; }
    const QString &shortTimeFormat() const { return m_shortTimeFormat; }

    // Whether the folder gives the columns and their texts (details mode) or the list's own
    // four fixed columns are shown.
    bool isDetailsMode() const { return m_folder && m_folder->hasColumnDetails(); }

    ShellListOptions options() const { return m_options; }
    bool hasOption(ShellListOption option) const { return m_options.testFlag(option); }
    // Options act on the rows at once (for example whether a file can be a folder).
    void setOptions(ShellListOptions options) { m_options = options; }

    // The identifiers of the rows of this context lie one after another in one block, so a
    // folder of many entries costs no allocation per row. A row keeps its identifier's place.
    struct IdentifierPlace
    {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    IdentifierPlace keepIdentifier(std::string_view bytes) const;
    std::string_view identifier(IdentifierPlace place) const
    {
        return std::string_view(m_identifiers).substr(place.offset, place.length);
    }
    void reserveIdentifiers(std::size_t bytes) const { m_identifiers.reserve(bytes); }
    // Bytes in the block, and the block kept to the identifiers in `places` (whose places are
    // updated), dropping those of rows gone.
    std::size_t identifierBytes() const { return m_identifiers.size(); }
    void compactIdentifiers(const std::vector<IdentifierPlace *> &places) const;

private:
    std::unique_ptr<platform::ShellFolder> m_folder;
    platform::LocaleFormats m_formats;
    QString m_shortTimeFormat;
    ShellListOptions m_options;
    // Grows as rows of this context are made, which happens on the user-interface thread only.
    mutable std::string m_identifiers;
};

} // namespace nomaro
