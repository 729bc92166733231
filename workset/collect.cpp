#include "workset/collect.h"

#include "platform/paths.h"

#include <QItemSelectionModel>
#include <algorithm>

namespace nomaro {

RowSelection::RowSelection(const QItemSelectionModel &selection)
{
    const QAbstractItemModel *model = selection.model();
    if (!model)
        return;
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    m_selected.assign(static_cast<std::size_t>(rows), false);
    if (columns <= 0)
        return;

    // Ranges spanning every column settle their rows at once; the others leave, per row, the
    // columns they cover, to be put together below.
    std::vector<bool> whole(static_cast<std::size_t>(rows), false);
    std::vector<std::pair<int, std::pair<int, int>>> pieces; // row, first and last column
    for (const QItemSelectionRange &range : selection.selection()) {
        if (range.parent().isValid())
            continue;
        const int top = std::max(range.top(), 0);
        const int bottom = std::min(range.bottom(), rows - 1);
        const bool spansAll = range.left() <= 0 && range.right() >= columns - 1;
        for (int row = top; row <= bottom; ++row) {
            if (spansAll)
                whole[static_cast<std::size_t>(row)] = true;
            else
                pieces.push_back({row, {range.left(), range.right()}});
        }
    }
    std::sort(pieces.begin(), pieces.end());

    const auto selectable = [model](int row, int column) {
        return bool(model->flags(model->index(row, column)) & Qt::ItemIsSelectable);
    };
    // A row with a selectable column left uncovered is not selected, nor is one with none at all.
    const auto wholeRowSelected = [&](int row) {
        for (int column = 0; column < columns; ++column)
            if (selectable(row, column))
                return true;
        return false;
    };
    const auto piecesCoverRow = [&](int row, std::size_t first, std::size_t end) {
        bool anySelectable = false;
        int covered = -1; // the last column covered so far, pieces being sorted by first column
        std::size_t piece = first;
        for (int column = 0; column < columns; ++column) {
            while (piece < end && pieces[piece].second.first <= column) {
                covered = std::max(covered, pieces[piece].second.second);
                ++piece;
            }
            if (!selectable(row, column))
                continue;
            if (column > covered)
                return false;
            anySelectable = true;
        }
        return anySelectable;
    };

    std::size_t piece = 0;
    for (int row = 0; row < rows; ++row) {
        const std::size_t first = piece;
        while (piece < pieces.size() && pieces[piece].first == row)
            ++piece;
        const bool selected = whole[static_cast<std::size_t>(row)] ? wholeRowSelected(row)
                              : piece > first                      ? piecesCoverRow(row, first, piece)
                                                                   : false;
        if (selected) {
            m_selected[static_cast<std::size_t>(row)] = true;
            ++m_selectedCount;
        }
    }
}

AddOutcome AddSelectedItems(FileTable &table, const FolderItems &items, const ListedNameTest &isListed,
                            const EntryLookup &lookUp)
{
    AddOutcome outcome;
    const std::string folder = items.folderPath();
    const int count = items.itemCount();
    for (int index = 0; index < count; ++index) {
        if (!items.isItemSelected(index))
            continue;
        if (folder.empty())
            continue;
        const std::string name = items.itemName(index);
        const platform::EntryInfo entry = lookUp(platform::joinPath(folder, name));
        if (entry.status != platform::EntryInfo::Status::Found)
            continue;

        nm row;
        row.name = name;
        row.newName = name;
        row.folder = folder;
        row.dateTime = entry.lastWrite;
        row.size = static_cast<double>(entry.size);
        row.folderFlag = entry.isFolder ? kFolderFlag : 0;
        row.extension = extensionOf(name);
        if (isListed(displayName(row)))
            continue;
        if (!table.append(row)) {
            ++outcome.refused;
            continue;
        }
        ++outcome.added;
    }
    table.currentRenameRow = 0;
    return outcome;
}

} // namespace nomaro
