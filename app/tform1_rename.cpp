#include "app/tform1.h"

#include "platform/beep.h"
#include "platform/hourglass.h"
#include "rename/naming_rules.h"
#include "rename/ordering.h"
#include "rename/renaming.h"
#include "widgets/messages.h"
#include "widgets/superspin.h"

#include <QCheckBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

namespace nomaro {
namespace {

std::string textOf(const QLineEdit *field)
{
    return field->text().toStdString();
}

// The selected row of a single-selection list, -1 when none.
int selectedRow(const QTableView *view)
{
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// One line per item that a failed rename left under a hidden temporary name, which the user
// could not find otherwise.
QString strandedItemsText(const std::vector<StrandedItem> &stranded)
{
    QString text;
    for (const StrandedItem &item : stranded)
        text += QStringLiteral("\nL'elemento \"%1\" ora si chiama \"%2\" (nella cartella %3): "
                               "non è stato possibile ridargli il suo nome.")
                    .arg(QFile::decodeName(item.oldName.c_str()),
                         QFile::decodeName(item.currentName.c_str()),
                         QFile::decodeName(item.folder.c_str()));
    return text;
}

// One line per item whose rename the file system answered with an error that leaves open what
// happened, and after which the folder shows both names of the move or neither.
QString unsettledItemsText(const std::vector<UnsettledItem> &unsettled)
{
    QString text;
    for (const UnsettledItem &item : unsettled) {
        const QString what = item.bothNames ? QStringLiteral("ora ci sono sia \"%4\" sia \"%5\"")
                                            : QStringLiteral("ora non c'è né \"%4\" né \"%5\"");
        text += (QStringLiteral("\nRinominando \"%1\" in \"%2\" (nella cartella %3) il file system "
                                "ha dato errore: ")
                 + what + QStringLiteral(". Controllare la cartella."))
                    .arg(QFile::decodeName(item.oldName.c_str()),
                         QFile::decodeName(item.newName.c_str()),
                         QFile::decodeName(item.folder.c_str()),
                         QFile::decodeName(item.fromName.c_str()),
                         QFile::decodeName(item.toName.c_str()));
    }
    return text;
}

} // namespace

void TForm1::SBTRYRENClick()
{
    RuleOutcome outcome;
    switch (PageControl2->currentIndex()) {
    case 0: {
        SequentialInput input;
        input.baseName = textOf(BASENAME);
        input.separator = SC1->isChecked()   ? SeparatorChoice::Underscore
                          : SC2->isChecked() ? SeparatorChoice::Dash
                          : SC3->isChecked() ? SeparatorChoice::Space
                                             : SeparatorChoice::User;
        input.userSeparator = textOf(SCU);
        input.digits = ED1->isChecked() ? 2 : ED2->isChecked() ? 3 : 4;
        input.startFrom = STARTFROM->Value();
        input.increment = INCREM->Value();
        outcome = ApplySequentialRule(m_table, input);
        break;
    }
    case 1:
        outcome = ApplySearchReplaceRule(m_table,
                                         {textOf(CERCA), textOf(SOSTI), CBUPPER->isChecked()});
        break;
    case 2:
        outcome = ApplyExtensionRule(m_table, {textOf(ESTEN), CBUPPEREX->isChecked()});
        break;
    case 3:
        outcome = ApplyCleanNameRule(m_table, {textOf(CARLIST), UPLOW->isChecked()});
        break;
    case 4:
        outcome = ApplyCharReplaceRule(m_table, {textOf(EDCERCACAR), textOf(EDSOSTCAR)});
        break;
    default:
        return;
    }
    if (!outcome.message.empty())
        showError(this, QString::fromStdString(outcome.message));
    if (outcome.applied)
        RefreshViews();
}

void TForm1::SBUPClick()
{
    if (moveRowUp(m_table, selectedRow(LISTAREN)))
        RefreshViews();
}

void TForm1::SBDOWNClick()
{
    if (moveRowDown(m_table, selectedRow(LISTAREN)))
        RefreshViews();
}

void TForm1::LISTARENColumnClick(int column)
{
    switch (sortByColumn(m_table, column)) {
    case SortResult::Sorted:
        RefreshViews();
        break;
    case SortResult::NotSortable:
        platform::beep();
        RefreshViews();
        break;
    case SortResult::NoSuchColumn:
        break;
    }
}

void TForm1::SBRENClick()
{
    if (!confirm(this, QStringLiteral("Effettuo la rinomina reale dei files ?")))
        return;
    RenameCounts counts;
    {
        platform::HourglassGuard hourglass;
        counts = renameRows(m_table);
    }
    setStatusText(3, QString::number(counts.renamed) + QStringLiteral(" files rinominati"));
    if (counts.failed > 0)
        showError(this, QString::number(counts.failed)
                            + QStringLiteral(" files non sono stati rinominati.")
                            + strandedItemsText(counts.stranded)
                            + unsettledItemsText(counts.unsettled));
    RefreshViews();
}

void TForm1::SBUNDOClick()
{
    resetNewNames(m_table);
    RefreshViews();
}

void TForm1::EDCERCACARChange()
{
    LBCERCACAR->setText(QString::fromStdString(echoLabelText(textOf(EDCERCACAR))));
    LBCERCACAR->adjustSize(); // the echo is as wide as the character shown
}

void TForm1::EDSOSTCARChange()
{
    LBSOSTCAR->setText(QString::fromStdString(echoLabelText(textOf(EDSOSTCAR))));
    LBSOSTCAR->adjustSize(); // the echo is as wide as the character shown
}

} // namespace nomaro
