#pragma once

// The rows of the folder list in display order, with the FolderContext of the fill they came
// from. The model changes by ranges (appends at the end, removes of runs of rows), so a view
// keeps its selection, current row and scroll position; only a full fill resets it. Texts and
// icons come from the row data when the view asks for them, that is for the rows it draws.
// It knows no widget and can be driven and checked without a view.

#include <QAbstractTableModel>
#include <QBrush>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/foldercontext.h"
#include "browser/folderlister.h"
#include "browser/foldermerge.h"
#include "browser/pidllist.h"
#include "browser/shelllistitemdata.h"

namespace nomaro {

class ShellListModel : public QAbstractTableModel, public FolderLister::Rows
{
    Q_OBJECT

public:
    struct Column
    {
        QString caption;
        Qt::Alignment alignment = Qt::AlignLeft;
        int width = 0;
    };

    // Called for each row that leaves the model, with its row number at that moment.
    using RowLeaving = FolderLister::RowLeaving;

    explicit ShellListModel(QObject *parent = nullptr);
    ~ShellListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Captions are editable; whether an item may be renamed is the list's to decide when an
    // edit starts, so drawing a row never asks the disk.
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const std::vector<Column> &columns() const { return m_columns; }
    void setColumns(std::vector<Column> columns);

    // The context of the rows shown; one without a folder before the first fill.
    const FolderContext &context() const { return *m_context; }
    FolderContext &context() { return *m_context; }

    // The row's data; nullptr outside the rows. Valid until the rows change.
    ShellListItemData *item(int row) const;

    // Replaces every row by those of a new fill, which belong to `context` (a reset).
    void setRows(std::unique_ptr<FolderContext> context, std::vector<platform::ItemIdList> relatives);
    // Removes every row (a reset), handing each to `leaving` first.
    void clear(const RowLeaving &leaving);
    // Adds rows of the current context after the last one, in one insertion.
    void appendRows(std::vector<platform::ItemIdList> relatives);
    // After a rename in place: the row stands for the item's new identifier.
    void setRelativeId(int row, platform::ItemIdList relative);
    // Removes the given rows (any order; duplicates and numbers outside the rows are ignored):
    // from the back to the front, one removal per run of neighbouring rows, handing each row to
    // `leaving` first.
    void removeRowsAt(std::vector<int> rows, const RowLeaving &leaving = {});

    // Puts the rows in the order of the signed, 1-based sort column `key` (see ShellList):
    // positive ascending, negative descending, 0 by caption without regard to case. Selection and
    // focus stay with their items.
    void sortRows(int key);

    // The relative identifiers of all rows, each tagged with its row number, sorted under the
    // identity rule of the shown folder: the snapshot an incremental refresh merges against.
    PidlList snapshot() const;
    // What a new reading of the shown folder (in its order; consumed) changes in the rows:
    // `vanished` gives row numbers. In a file-system folder the rows' identifiers are matched
    // where they lie, without a copy or a sort.
    FolderMerge merge(std::vector<platform::ItemIdList> reading) const;

    // The rows as the folder's lister changes them.
    int shownCount() const override { return rowCount(); }
    const FolderContext &shownContext() const override { return context(); }
    void setShownOptions(ShellListOptions options) override { m_context->setOptions(options); }
    void replaceShown(std::unique_ptr<FolderContext> context, std::vector<platform::ItemIdList> relatives) override
    {
        setRows(std::move(context), std::move(relatives));
    }
    void clearShown(const RowLeaving &leaving) override { clear(leaving); }
    FolderMerge mergeShown(std::vector<platform::ItemIdList> reading) const override { return merge(std::move(reading)); }
    void removeShown(std::vector<int> rows, const RowLeaving &leaving) override { removeRowsAt(std::move(rows), leaving); }
    void appendShown(std::vector<platform::ItemIdList> relatives) override { appendRows(std::move(relatives)); }

    // Empty when the model is consistent; otherwise what is wrong (rows of another context, two
    // rows of the same item, persistent indexes outside the rows). For tests.
    std::string consistencyProblem() const;

    // How hidden items are drawn (ghosted, as items cut to the clipboard are).
    void setGhostedBrush(const QBrush &brush) { m_ghosted = brush; }

private:
    void compactIdentifiers();

    std::unique_ptr<FolderContext> m_context;
    std::vector<Column> m_columns;
    // Rows make their texts when first drawn, which the const reading of the model asks for.
    mutable std::vector<ShellListItemData> m_rows;
    QBrush m_ghosted;
};

} // namespace nomaro
