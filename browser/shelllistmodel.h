#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "browser/shelllistitemdata.h"
#include "platform/shell_compare.h"

namespace nomaro {

class ShellList;

// The rows of the folder list in display order. Texts and icons come from the item data when
// the view asks for them, that is for the rows it draws.
class ShellListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString caption;
        Qt::Alignment alignment = Qt::AlignLeft;
        int width = 0;
    };

    using Rows = std::vector<std::unique_ptr<ShellListItemData>>;

    // A row as sorting sees it: most comparisons are settled by the keys, side by side in one
    // array, without reaching the rows.
    struct SortEntry
    {
        platform::SortKey key; // see ShellFolder::sortKey
        ShellListItemData *item;
    };

    explicit ShellListModel(ShellList *list);
    ~ShellListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const std::vector<Column> &columns() const { return m_columns; }
    void setColumns(std::vector<Column> columns);

    ShellListItemData *item(int row) const;
    const Rows &rows() const { return m_rows; }
    void setRows(Rows rows);
    // Removes every row, handing each to `leaving` first.
    void clear(const std::function<void(int row, ShellListItemData &item)> &leaving);
    // Puts the rows in the order of `less`; selection and focus stay with their items.
    // `keyOf` gives each row's key once before the sort.
    void sortRows(const std::function<platform::SortKey(const platform::ItemElement &)> &keyOf,
                  const std::function<bool(const SortEntry &a, const SortEntry &b)> &less);

private:
    ShellList *m_list;
    std::vector<Column> m_columns;
    Rows m_rows;
};

} // namespace nomaro
