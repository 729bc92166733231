#include "browser/shelllistmodel.h"

#include <QFile>
#include <algorithm>
#include <cstdlib>

#include "browser/shellicons.h"
#include "platform/shell_compare.h"
#include "platform/shell_namespace.h"

namespace nomaro {

ShellListModel::ShellListModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_context(std::make_unique<FolderContext>())
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
    ShellListItemData &item = m_rows[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return column == 0 ? item.displayName() : item.detailText(column);
    case Qt::EditRole:
        if (column != 0 || !m_context->folder())
            return {};
        return QFile::decodeName(QByteArray::fromStdString(
            m_context->folder()->displayName(item.element(), platform::DisplayNameKind::ForEditing)));
    case Qt::DecorationRole: {
        const platform::ShellFolder *folder = m_context->folder();
        if (column != 0 || !folder)
            return {};
        const std::uint32_t attributes = item.attributes(platform::AttrHidden | platform::AttrLink);
        return shellIcon(folder->iconName(item.element()), attributes & platform::AttrHidden,
                         attributes & platform::AttrLink);
    }
    case Qt::ForegroundRole:
        if (item.attributes(platform::AttrHidden))
            return m_ghosted;
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

Qt::ItemFlags ShellListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void ShellListModel::setColumns(std::vector<Column> columns)
{
    // Most folders bring the same four columns again: a reset then would only make the view lay
    // out its header and rows once more for nothing.
    const auto sameHeader = [](const Column &a, const Column &b) { return a.caption == b.caption && a.alignment == b.alignment; };
    if (std::equal(columns.begin(), columns.end(), m_columns.begin(), m_columns.end(), sameHeader)) {
        m_columns = std::move(columns);
        return;
    }
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

ShellListItemData *ShellListModel::item(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return &m_rows[static_cast<std::size_t>(row)];
}

void ShellListModel::setRows(std::unique_ptr<FolderContext> context, std::vector<platform::ItemIdList> relatives)
{
    beginResetModel();
    std::vector<ShellListItemData>().swap(m_rows);
    m_context = std::move(context);
    std::size_t bytes = 0;
    for (const platform::ItemIdList &relative : relatives)
        bytes += relative.bytes().size();
    m_context->reserveIdentifiers(bytes);
    m_rows.reserve(relatives.size());
    for (platform::ItemIdList &relative : relatives) {
        m_rows.emplace_back(m_context.get(), std::move(relative));
        relative = platform::ItemIdList();
    }
    endResetModel();
}

void ShellListModel::clear(const RowLeaving &leaving)
{
    if (m_rows.empty())
        return;
    beginResetModel();
    if (leaving) {
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            leaving(static_cast<int>(row), m_rows[row]);
    }
    std::vector<ShellListItemData>().swap(m_rows);
    m_context->compactIdentifiers({});
    endResetModel();
}

void ShellListModel::appendRows(std::vector<platform::ItemIdList> relatives)
{
    if (relatives.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(relatives.size()) - 1);
    m_rows.reserve(m_rows.size() + relatives.size());
    for (platform::ItemIdList &relative : relatives)
        m_rows.emplace_back(m_context.get(), std::move(relative));
    endInsertRows();
}

void ShellListModel::setRelativeId(int row, platform::ItemIdList relative)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows[static_cast<std::size_t>(row)].setRelativeId(std::move(relative));
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ShellListModel::removeRowsAt(std::vector<int> rows, const RowLeaving &leaving)
{
    const int count = rowCount();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }), rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the back, so the row numbers of the runs still to go stay what they were.
    std::size_t end = rows.size();
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && rows[start - 1] == rows[start] - 1)
            --start;
        const int first = rows[start];
        const int last = rows[end - 1];
        beginRemoveRows({}, first, last);
        if (leaving) {
            for (int row = first; row <= last; ++row)
                leaving(row, m_rows[static_cast<std::size_t>(row)]);
        }
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
        end = start;
    }
    compactIdentifiers();
}

void ShellListModel::compactIdentifiers()
{
    // Identifiers of removed rows stay in the block until they outweigh the live ones, so a file
    // rewritten again and again does not grow it without end.
    std::size_t live = 0;
    for (const ShellListItemData &row : m_rows)
        live += row.m_relative.length;
    if (m_context->identifierBytes() <= 2 * live + 4096)
        return;
    std::vector<FolderContext::IdentifierPlace *> places;
    places.reserve(m_rows.size());
    for (ShellListItemData &row : m_rows)
        places.push_back(&row.m_relative);
    m_context->compactIdentifiers(places);
}

void ShellListModel::sortRows(int key)
{
    const platform::ShellFolder *folder = m_context->folder();
    if (!folder || m_rows.size() < 2)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    // A row as sorting sees it: most comparisons are settled by the keys, side by side in one
    // array, without reaching the rows.
    struct Entry
    {
        platform::SortKey key;
        std::uint32_t row;
    };
    std::vector<Entry> entries(m_rows.size());
    const int column = std::abs(key) - 1;
    std::vector<platform::SortKey> keys;
    if (key != 0) {
        std::vector<platform::ItemElement> elements;
        std::vector<platform::SortKey> byName;
        elements.reserve(m_rows.size());
        byName.reserve(m_rows.size());
        for (const ShellListItemData &row : m_rows) {
            elements.push_back(row.element());
            byName.push_back(row.m_nameKey);
        }
        keys = folder->sortKeys(column, elements, byName);
    }
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        entries[row] = {key == 0 ? platform::SortKey{} : keys[row], static_cast<std::uint32_t>(row)};
    std::vector<platform::SortKey>().swap(keys);
    if (key == 0) {
        std::sort(entries.begin(), entries.end(), [this](const Entry &a, const Entry &b) {
            return m_rows[a.row].displayName().compare(m_rows[b.row].displayName(), Qt::CaseInsensitive) < 0;
        });
    } else {
        std::sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
            const auto byKey = a.key <=> b.key;
            if (byKey != 0)
                return key > 0 ? byKey < 0 : byKey > 0;
            const int order = folder->compare(column, m_rows[a.row].element(), m_rows[b.row].element());
            return key > 0 ? order < 0 : order > 0;
        });
    }

    std::vector<ShellListItemData> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (std::size_t row = 0; row < entries.size(); ++row) {
        sorted.push_back(std::move(m_rows[entries[row].row]));
        newRowOf[entries[row].row] = static_cast<int>(row);
    }
    m_rows.swap(sorted);

    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before)
            after.append(this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column()));
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

PidlList ShellListModel::snapshot() const
{
    PidlList list(m_context->folder());
    list.reserve(m_rows.size());
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        list.add(m_rows[row].relativeId(), row);
    list.sort();
    return list;
}

FolderMerge ShellListModel::merge(std::vector<platform::ItemIdList> reading) const
{
    const platform::ShellFolder *folder = m_context->folder();
    PidlList fresh(folder);
    if (fresh.isByteWise()) {
        std::vector<std::string_view> shown;
        shown.reserve(m_rows.size());
        for (const ShellListItemData &row : m_rows)
            shown.push_back(m_context->identifier(row.m_relative));
        return mergeFolder(shown, std::move(reading));
    }
    fresh.reserve(reading.size());
    for (platform::ItemIdList &id : reading)
        fresh.add(std::move(id), 0);
    return mergeFolder(snapshot(), std::move(fresh));
}

std::string ShellListModel::consistencyProblem() const
{
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (&m_rows[row].context() != m_context.get())
            return "row " + std::to_string(row) + " belongs to another folder context";
    }
    const PidlList sorted = snapshot();
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        if (sorted.compare(sorted[i - 1].id, sorted[i].id) == 0)
            return "rows " + std::to_string(sorted[i - 1].tag) + " and " + std::to_string(sorted[i].tag)
                + " show the same item";
    }
    for (const QModelIndex &index : persistentIndexList()) {
        if (index.isValid() && (index.row() >= rowCount() || index.column() >= columnCount()))
            return "a persistent index points at row " + std::to_string(index.row()) + ", column "
                + std::to_string(index.column()) + " outside the model";
    }
    return {};
}

} // namespace nomaro
