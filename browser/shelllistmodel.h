#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "browser/shelllistitemdata.h"

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
    void sortRows(const std::function<bool(ShellListItemData &a, ShellListItemData &b)> &less);

private:
    ShellList *m_list;
    std::vector<Column> m_columns;
    Rows m_rows;
};

} // namespace nomaro
