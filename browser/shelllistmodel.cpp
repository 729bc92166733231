#include "browser/shelllistmodel.h"

#include <QPalette>
#include <algorithm>
#include <unordered_map>

#include "browser/shellicons.h"
#include "browser/shelllist.h"
#include "platform/shell_namespace.h"

namespace nomaro {

ShellListModel::ShellListModel(ShellList *list)
    : QAbstractTableModel(list)
    , m_list(list)
{
}

ShellListModel::~ShellListModel() = default;

int ShellListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ShellListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ShellListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    ShellListItemData &item = *m_rows[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return column == 0 ? item.displayName() : item.detailText(column);
    case Qt::DecorationRole: {
        if (column != 0 || !m_list->boundFolder())
            return {};
        const std::uint32_t attributes = item.attributes(platform::AttrHidden | platform::AttrLink);
        return shellIcon(m_list->boundFolder()->iconName(item.relativeId()), attributes & platform::AttrHidden,
                         attributes & platform::AttrLink);
    }
    case Qt::ForegroundRole:
        // Hidden items are drawn ghosted, as items cut to the clipboard are.
        if (item.attributes(platform::AttrHidden))
            return m_list->palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::TextAlignmentRole:
        if (column < columnCount())
            return QVariant::fromValue(m_columns[static_cast<std::size_t>(column)].alignment | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ShellListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const Column &column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return column.caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
    return {};
}

void ShellListModel::setColumns(std::vector<Column> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

ShellListItemData *ShellListModel::item(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return m_rows[static_cast<std::size_t>(row)].get();
}

void ShellListModel::setRows(Rows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ShellListModel::clear(const std::function<void(int, ShellListItemData &)> &leaving)
{
    if (m_rows.empty())
        return;
    beginResetModel();
    if (leaving) {
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            leaving(static_cast<int>(row), *m_rows[row]);
    }
    Rows().swap(m_rows);
    endResetModel();
}

void ShellListModel::sortRows(const std::function<platform::SortKey(const platform::ItemElement &)> &keyOf,
                              const std::function<bool(const SortEntry &, const SortEntry &)> &less)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<ShellListItemData *> items;
    items.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex &index : before)
        items.push_back(item(index.row()));

    std::vector<SortEntry> entries;
    entries.reserve(m_rows.size());
    for (std::unique_ptr<ShellListItemData> &row : m_rows) {
        const platform::SortKey key = keyOf ? keyOf(row->relativeId().firstElement()) : platform::SortKey{};
        entries.push_back({key, row.release()});
    }
    std::sort(entries.begin(), entries.end(), less);
    for (std::size_t row = 0; row < entries.size(); ++row)
        m_rows[row].reset(entries[row].item);
    std::vector<SortEntry>().swap(entries);

    if (!before.isEmpty()) {
        std::unordered_map<const ShellListItemData *, int> rowOf;
        rowOf.reserve(m_rows.size());
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            rowOf.emplace(m_rows[row].get(), static_cast<int>(row));
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(rowOf.at(items[static_cast<std::size_t>(i)]), before[i].column()));
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace nomaro
