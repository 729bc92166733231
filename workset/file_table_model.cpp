#include "workset/file_table_model.h"

#include <QLocale>
#include <algorithm>
#include <functional>
#include <string_view>

namespace nomaro {
namespace {

std::size_t hashOf(std::string_view bytes)
{
    return std::hash<std::string_view>{}(bytes);
}

} // namespace

FileTableModel::FileTableModel(const FileTable &table, std::vector<Column> columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
    , m_columns(std::move(columns))
    , m_formats(platform::LocaleFormats::fromLocale(QLocale()))
{
}

int FileTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int FileTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

std::string FileTableModel::cellBytes(int row, Content content) const
{
    const nm &shown = m_table.row(row);
    switch (content) {
    case Content::DisplayName:
        return displayName(shown);
    case Content::DisplayNewName:
        return displayNewName(shown);
    case Content::SizeKB:
        return sizeKBText(shown, m_formats);
    case Content::Date:
        return dateText(shown, m_formats);
    case Content::Extension:
        return shown.extension;
    case Content::Folder:
        return shown.folder;
    }
    return {};
}

QVariant FileTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Content content = m_columns[static_cast<std::size_t>(index.column())].content;
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(cellBytes(index.row(), content));
    case Qt::TextAlignmentRole:
        return int((content == Content::SizeKB ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < columnCount())
        return m_columns[static_cast<std::size_t>(section)].caption;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void FileTableModel::rebuild()
{
    showRows(m_table.rowCount());
}

void FileTableModel::clear()
{
    showRows(0);
}

void FileTableModel::showRows(int count)
{
    beginResetModel();
    m_shownRows = count;
    m_formats = platform::LocaleFormats::fromLocale(QLocale());
    m_nameIndex.clear();
    m_nameIndexValid = false;
    endResetModel();
}

int FileTableModel::indexOfDisplayName(const std::string &name) const
{
    if (!m_nameIndexValid) {
        m_nameIndex.clear();
        m_nameIndex.reserve(static_cast<std::size_t>(m_shownRows));
        for (int row = 0; row < m_shownRows; ++row)
            m_nameIndex.emplace_back(hashOf(displayName(m_table.row(row))), row);
        std::sort(m_nameIndex.begin(), m_nameIndex.end());
        m_nameIndexValid = true;
    }
    const std::size_t hash = hashOf(name);
    auto it = std::lower_bound(m_nameIndex.begin(), m_nameIndex.end(), std::make_pair(hash, 0));
    for (; it != m_nameIndex.end() && it->first == hash; ++it)
        if (displayName(m_table.row(it->second)) == name)
            return it->second;
    return -1;
}

} // namespace nomaro
