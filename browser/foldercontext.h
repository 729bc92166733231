#pragma once

// What every row of one fill shares: the bound folder, its absolute identifier, the locale
// formats that the row texts are written with and the options that decide how a row behaves.
// The list model owns the context of its rows; the folder tree keeps one per filled folder.
// Rows and nodes point to their context, so it outlives them.

#include <QString>
#include <memory>

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
    bool hasOption(ShellListOption option) const { return m_options & optionBit(option); }
    // Options act on the rows at once (for example whether a file can be a folder).
    void setOptions(ShellListOptions options) { m_options = options; }

private:
    std::unique_ptr<platform::ShellFolder> m_folder;
    platform::LocaleFormats m_formats;
    QString m_shortTimeFormat;
    ShellListOptions m_options = 0;
};

} // namespace nomaro
