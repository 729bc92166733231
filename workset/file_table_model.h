#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "platform/locale_formats.h"
#include "workset/file_table.h"

namespace nomaro {

// A working-set view's rows, read from the file table when the view asks for them, so that a
// rebuild costs the same for one row as for 1001. The view shows the rows the table held at the
// last rebuild: rows appended since stay out of it until the next one, and its texts follow the
// locale formats of that moment.
class FileTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Content { DisplayName, DisplayNewName, SizeKB, Date, Extension, Folder };
    struct Column
    {
        QString caption;
        Content content;
    };

    FileTableModel(const FileTable &table, std::vector<Column> columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Shows the table's rows in use, as they are now.
    void rebuild();
    // Shows no row, whatever the table holds.
    void clear();

    // The bytes a cell shows; names that are not valid UTF-8 keep their own bytes here.
    std::string cellBytes(int row, Content content) const;

    // The first shown row whose display name has exactly these bytes, or -1. The index of the
    // shown names is made at the first question after a rebuild.
    int indexOfDisplayName(const std::string &name) const;

private:
    void showRows(int count);

    const FileTable &m_table;
    std::vector<Column> m_columns;
    int m_shownRows = 0;
    platform::LocaleFormats m_formats;
    // (hash of the display name, row), sorted: equal hashes stand together in row order.
    mutable std::vector<std::pair<std::size_t, int>> m_nameIndex;
    mutable bool m_nameIndexValid = false;
};

} // namespace nomaro
