#include "app/tform1.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <QToolButton>

#include "browser/shelllist.h"
#include "platform/beep.h"
#include "widgets/messages.h"
#include "workset/collect.h"
#include "workset/file_table_model.h"
#include "workset/tform2.h"

namespace nomaro {
namespace {

// The folder list's rows as the working set reads them; the selection is read once, when made.
class ShellListItems : public FolderItems
{
public:
    explicit ShellListItems(ShellList &list)
        : m_list(list)
        , m_selection(*list.selectionModel())
    {
    }
    std::string folderPath() const override { return m_list.Folder().Path(); }
    int itemCount() const override { return m_list.itemCount(); }
    bool isItemSelected(int index) const override { return m_selection.isSelected(index); }
    std::string itemName(int index) const override { return m_list.itemName(index); }
    int selectedCount() const { return m_selection.selectedCount(); }

private:
    ShellList &m_list;
    const RowSelection m_selection;
};

} // namespace

int TForm1::IndexOfListedName(const std::string &displayName) const
{
    return m_listaNomiModel->indexOfDisplayName(displayName);
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
        RefreshViews(items.selectedCount());
    if (outcome.refused > 0)
        showWarning(this, QStringLiteral("Lista piena: %1 files non aggiunti (massimo %2).")
                              .arg(outcome.refused)
                              .arg(FileTable::Capacity));
}

void TForm1::RefreshViews()
{
    RefreshViews(RowSelection(*SLV1->selectionModel()).selectedCount());
}

void TForm1::RefreshViews(int folderSelected)
{
    m_listaNomiModel->rebuild();
    m_listaRenModel->rebuild();

    const int rowCount = m_table.rowCount();
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

    UpdateStatusCounts(folderSelected);
}

void TForm1::UpdateStatusCounts()
{
    UpdateStatusCounts(RowSelection(*SLV1->selectionModel()).selectedCount());
}

void TForm1::UpdateStatusCounts(int folderSelected)
{
    setStatusText(0, QStringLiteral("Files nella cartella : %1").arg(SLV1->itemCount()));
    setStatusText(1, QStringLiteral("Files Selezionati : %1").arg(folderSelected));
    setStatusText(2, QStringLiteral("Files da Rinominare : %1").arg(m_listaNomiModel->rowCount()));
}

void TForm1::SBREMOVEClick()
{
    auto &scratch = m_table.scratch();
    scratch = m_table.rows();
    const RowSelection selection(*LISTANOMI->selectionModel());
    int kept = 0;
    const int listed = m_listaNomiModel->rowCount();
    for (int i = 0; i < listed; ++i) {
        if (selection.isSelected(i))
            continue;
        m_table.row(kept) = std::move(scratch[static_cast<std::size_t>(i)]);
        ++kept;
    }
    m_table.setRowCount(kept);
    RefreshViews();
}

void TForm1::CLEARNAMESClick()
{
    m_listaNomiModel->clear();
    m_listaRenModel->clear();
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
