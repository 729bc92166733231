// The folder list's columns (the folder's own or the four fixed ones, with widths carried from
// folder to folder) and the sorting of its rows by a column.

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "browser/shelllist.h"
#include "browser/shelllistmodel.h"
#include "platform/hourglass.h"
#include "platform/shell_namespace.h"

namespace nomaro {
namespace {

// Column widths shared by every folder list of the process, kept in memory only.
struct ColumnStore
{
    // The widths of the last fixed-mode folder shown; details-mode folders without a path
    // (the drive list) keep theirs to themselves.
    std::vector<std::int32_t> widths;
};

ColumnStore &columnStore()
{
    static ColumnStore store;
    return store;
}

// Holds the widget's painting back until the guard goes, then restores what it was.
Qt::Alignment toAlignment(platform::Alignment alignment)
{
    switch (alignment) {
    case platform::Alignment::Right:
        return Qt::AlignRight;
    case platform::Alignment::Centre:
        return Qt::AlignHCenter;
    case platform::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

} // namespace

void ShellList::setHeaderSortDisplayMode(HeaderSortDisplayMode mode)
{
    m_headerSortDisplayMode = mode;
    showSortIndicator();
}

void ShellList::saveColumnWidths() const
{
    const int count = m_model->columnCount();
    if (count == 0 || !m_rememberWidths)
        return;
    ColumnStore &store = columnStore();
    store.widths.clear();
    for (int column = 0; column < count; ++column)
        store.widths.push_back(header()->sectionSize(column));
}

void ShellList::rebuildColumns(const platform::ShellFolder &folder)
{
    saveColumnWidths();
    ColumnStore &store = columnStore();
    std::vector<ShellListModel::Column> columns;
    if (folder.hasColumnDetails()) {
        for (int index = 0;; ++index) {
            const std::optional<platform::ColumnDetail> detail = folder.columnDetail(index);
            if (!detail)
                break;
            columns.push_back({QString::fromStdString(detail->caption), toAlignment(detail->alignment),
                               detail->widthInCharacters * 7});
        }
        m_rememberWidths = !folder.path().empty();
        if (m_rememberWidths) {
            for (std::size_t i = 0; i < std::min(columns.size(), store.widths.size()); ++i)
                columns[i].width = store.widths[i];
        }
    } else {
        columns = {{QStringLiteral("Nome"), Qt::AlignLeft, kDefaultWidths[0]},
                   {QStringLiteral("Dimensione"), Qt::AlignRight, kDefaultWidths[1]},
                   {QStringLiteral("Tipo"), Qt::AlignLeft, kDefaultWidths[2]},
                   {QStringLiteral("Modificato"), Qt::AlignLeft, kDefaultWidths[3]}};
        for (std::size_t i = 0; i < std::min(columns.size(), store.widths.size()); ++i)
            columns[i].width = store.widths[i];
        m_rememberWidths = true;
    }

    m_model->setColumns(columns);
    for (std::size_t i = 0; i < columns.size(); ++i)
        header()->resizeSection(static_cast<int>(i), std::max(columns[i].width, captionWidth(columns[i].caption)));
    if (std::abs(m_sortKey) > static_cast<int>(columns.size()))
        m_sortKey = 1;
    showSortIndicator();
}

int ShellList::captionWidth(const QString &caption) const
{
    // A font wider than the designed one would clip a caption ("Dimensione") in its column.
    QStyleOptionHeader option;
    option.initFrom(header());
    option.text = caption;
    return header()->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header()).width();
}

void ShellList::setSortKey(int key)
{
    const bool changed = key != m_sortKey;
    m_sortKey = key;
    showSortIndicator();
    if (changed)
        sortItems();
}

void ShellList::columnClick(int column)
{
    if (std::abs(m_sortKey) - 1 == column)
        setSortKey(-m_sortKey);
    else
        setSortKey(column + 1);
}

void ShellList::showSortIndicator()
{
    header()->setSortIndicatorShown(m_headerSortDisplayMode != HeaderSortDisplayMode::lvNone);
    if (m_sortKey == 0)
        header()->setSortIndicator(-1, Qt::AscendingOrder);
    else
        header()->setSortIndicator(std::abs(m_sortKey) - 1, m_sortKey > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void ShellList::sortItems()
{
    if (!boundFolder() || itemCount() < 2)
        return;
    // A large folder sorted by a column that the keys do not settle (the type) takes seconds.
    platform::HourglassGuard hourglass;
    m_model->sortRows(m_sortKey);
}

} // namespace nomaro
