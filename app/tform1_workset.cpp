#include "app/tform1.h"

#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>

#include "app/messages.h"
#include "browser/shelllist.h"
#include "platform/beep.h"
#include "workset/collect.h"
#include "workset/tform2.h"

namespace nomaro {
namespace {

QString shown(const std::string &bytes)
{
    return QString::fromStdString(bytes);
}

// Each cell keeps the bytes it shows: names that are not valid UTF-8 all turn into the same
// replacement characters on screen, so captions are compared by these bytes.
constexpr int kCaptionBytesRole = Qt::UserRole + 1;

QStandardItem *cell(const std::string &bytes, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto *item = new QStandardItem(shown(bytes));
    item->setData(QByteArray::fromStdString(bytes), kCaptionBytesRole);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

// The folder list's rows as the working set reads them.
class ShellListItems : public FolderItems
{
public:
    explicit ShellListItems(ShellList &list)
        : m_list(list)
    {
    }
    std::string folderPath() const override { return m_list.Folder().Path(); }
    int itemCount() const override { return m_list.itemCount(); }
    bool isItemSelected(int index) const override { return m_list.isItemSelected(index); }
    std::string itemName(int index) const override { return m_list.itemName(index); }

private:
    ShellList &m_list;
};

} // namespace

int TForm1::IndexOfListedName(const std::string &displayName) const
{
    const QByteArray caption = QByteArray::fromStdString(displayName);
    const int count = m_listaNomiModel->rowCount();
    for (int i = 0; i < count; ++i)
        if (m_listaNomiModel->item(i, 0)->data(kCaptionBytesRole).toByteArray() == caption)
            return i;
    return -1;
}

void TForm1::ADDNAMESClick()
{
    AddSelectedItems();
}

void TForm1::AddSelectedItems()
{
    const ShellListItems items(*SLV1);
    const AddOutcome outcome = nomaro::AddSelectedItems(
        m_table, items, [this](const std::string &name) { return IndexOfListedName(name) != -1; });
    if (outcome.added == 0)
        platform::beep();
    else
        RefreshViews();
    if (outcome.refused > 0)
        showWarning(this, QStringLiteral("Lista piena: %1 files non aggiunti (massimo %2).")
                              .arg(outcome.refused)
                              .arg(FileTable::Capacity));
}

void TForm1::RefreshViews()
{
    const platform::LocaleFormats formats = platform::LocaleFormats::fromLocale(QLocale());
    m_listaNomiModel->removeRows(0, m_listaNomiModel->rowCount());
    m_listaRenModel->removeRows(0, m_listaRenModel->rowCount());

    const int rowCount = m_table.rowCount();
    for (int i = 0; i < rowCount; ++i) {
        const nm &row = m_table.row(i);
        const std::string listed = displayName(row);
        m_listaNomiModel->appendRow(cell(listed));
        m_listaRenModel->appendRow({cell(listed), cell(displayNewName(row)),
                                    cell(sizeKBText(row, formats), Qt::AlignRight), cell(dateText(row, formats)),
                                    cell(row.extension), cell(row.folder)});
    }

    if (rowCount > 0)
        LISTANOMI->selectionModel()->select(
            m_listaNomiModel->index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    for (QToolButton *button : {CLEARNAMES, SBREMOVE, SBUP, SBDOWN, SBTRYREN, SBUNDO, SBREN})
        button->setEnabled(rowCount > 0);

    const int current = m_table.currentRenameRow;
    if (current >= 0 && current < rowCount) {
        const QModelIndex index = m_listaRenModel->index(current, 0);
        LISTAREN->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        LISTAREN->scrollTo(index);
    }

    UpdateStatusCounts();
}

void TForm1::UpdateStatusCounts()
{
    setStatusText(0, QStringLiteral("Files nella cartella : %1").arg(SLV1->itemCount()));
    setStatusText(1, QStringLiteral("Files Selezionati : %1").arg(SLV1->selectedCount()));
    setStatusText(2, QStringLiteral("Files da Rinominare : %1").arg(m_listaNomiModel->rowCount()));
}

void TForm1::SBREMOVEClick()
{
    auto &scratch = m_table.scratch();
    scratch = m_table.rows();
    const QItemSelectionModel *selection = LISTANOMI->selectionModel();
    int kept = 0;
    const int listed = m_listaNomiModel->rowCount();
    for (int i = 0; i < listed; ++i) {
        if (selection->isRowSelected(i, QModelIndex()))
            continue;
        m_table.row(kept) = std::move(scratch[static_cast<std::size_t>(i)]);
        ++kept;
    }
    m_table.setRowCount(kept);
    RefreshViews();
}

void TForm1::CLEARNAMESClick()
{
    m_listaNomiModel->removeRows(0, m_listaNomiModel->rowCount());
    m_listaRenModel->removeRows(0, m_listaRenModel->rowCount());
    m_table.setRowCount(0);
}

void TForm1::SBUP1LClick()
{
    SLV1->GoUp(1);
}

void TForm1::SBFILTRIClick()
{
    if (m_filterDialog)
        m_filterDialog->exec();
}

void TForm1::setFilterDialog(TForm2 *dialog)
{
    m_filterDialog = dialog;
    dialog->setWindowIcon(windowIcon());
    connect(dialog, &TForm2::fileMaskChosen, this,
            [this](const std::string &mask) { SLV1->SetFileFilter(mask); });
}

} // namespace nomaro
