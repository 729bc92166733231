#include "app/tform1.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <optional>

#include "listing/file_list.h"
#include "listing/list_output.h"
#include "platform/hourglass.h"
#include "platform/locale_formats.h"
#include "platform/print_queue.h"
#include "platform/save_file.h"
#include "widgets/messages.h"

namespace nomaro {
namespace {

std::unique_ptr<QPrinter> defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

// What the field holds now. While the user has not edited it, that is the listing as built, from
// the names' own bytes (a name that is not UTF-8 is shown with replacement characters but saved
// as it is); after an edit it is the field's text.
std::vector<std::string> shownLines(const QTextEdit *field, const std::vector<std::string> &built)
{
    if (!field->document()->isModified())
        return built;
    return splitLines(field->toPlainText().toStdString());
}

// Prints a document laid out in pages of the printer's size. Each line was laid out on one page
// only, but the first line of a page starts exactly on the foot of the page before, and a clip
// that includes its own bottom edge would draw that line there too, cut off: the clip that
// decides what is drawn stops one device pixel short of either edge.
void printPages(const QTextDocument &document, QPrinter &printer)
{
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    const QSizeF page = document.pageSize();
    for (int index = 0; index < document.pageCount(); ++index) {
        if (index > 0)
            printer.newPage();
        const QRectF view(0, index * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view.adjusted(0, 1, 0, -1);
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
}

// Laid out on a copy sized to the printable area: a document without a page size of its own
// would be printed with margins and page numbers added.
void printDocument(const QTextDocument &listing, QPrinter &printer)
{
    const std::unique_ptr<QTextDocument> pages(listing.clone());
    pages->documentLayout()->setPaintDevice(&printer);
    pages->setDocumentMargin(0);
    pages->setPageSize(QSizeF(printer.width(), printer.height()));
    printPages(*pages, printer);
}

// A print service may take the document and make no job of it (a queue that refuses jobs, a user
// over the queue's quota) while the toolkit's printer shows no error, so a print to a queue asks
// the queue before whether it takes jobs and after whether the job is there.
bool printListing(const QTextDocument &listing, QPrinter &printer)
{
    const QString title = QStringLiteral("Nomaro - Stampa lista files");
    std::unique_ptr<platform::PrintQueue> queue;
    std::optional<int> mark;
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        queue = platform::systemPrintQueue(printer.printerName().toStdString());
        if (queue->state() != platform::QueueState::Ready || !(mark = queue->newestJob()))
            return false;
    }
    printer.setDocName(title);
    printDocument(listing, printer);
    if (printer.printerState() == QPrinter::Error)
        return false;
    return !queue || queue->hasJobSince(*mark, title.toStdString());
}

// The name field's completion list is a window of its own: closing the dialog with Enter while
// it shows would leave it over the main window, where it swallows the next click.
void closePopupsWithTheDialog(QFileDialog *dialog)
{
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog] {
        for (QCompleter *completer : dialog->findChildren<QCompleter *>())
            if (QWidget *popup = completer->popup())
                popup->hide();
    });
}

void setAllEnabled(std::initializer_list<QWidget *> controls, bool enabled)
{
    for (QWidget *control : controls)
        control->setEnabled(enabled);
}

} // namespace

void TForm1::BuildFileList()
{
    ListOptions options;
    options.markFolders = MARKDIR->isChecked();
    options.marker = EDMARKDIR->text().toStdString();
    options.path = CBPATH->isChecked();
    options.extension = CBEXT->isChecked();
    options.size = CBDIM->isChecked();
    options.sizeUnit = RBKB->isChecked() ? SizeUnit::KB : SizeUnit::MB;
    options.date = CBDATAF->isChecked();
    options.time = CBORA->isChecked();
    if (RBSEPSPAZIO->isChecked())
        options.separator = " ";
    else if (RBSEPPV->isChecked())
        options.separator = ";";
    else if (RBSEPTAB->isChecked())
        options.separator = "\t";
    else
        options.separator = EDSEP->text().toStdString();
    options.letterCase = RBCOSI->isChecked()    ? LetterCase::AsIs
                         : RBUPPER->isChecked() ? LetterCase::Upper
                                                : LetterCase::Lower;
    options.csvQuoting = m_listFormat == QLatin1String("CSV");

    const auto formats = platform::LocaleFormats::fromLocale(QLocale());
    m_builtLines = nomaro::BuildFileList(m_table, options, formats);
    LISTADOC->setPlainText(QString::fromStdString(joinLines(m_builtLines)));
    LISTADOC->document()->setModified(false);
}

QFileDialog *TForm1::saveDialog()
{
    if (!SD1) {
        SD1 = new QFileDialog(this);
        SD1->setObjectName(QStringLiteral("SD1"));
        SD1->setAcceptMode(QFileDialog::AcceptSave);
        SD1->setOption(QFileDialog::DontUseNativeDialog);
        SD1->setOption(QFileDialog::DontConfirmOverwrite);
        closePopupsWithTheDialog(SD1);
    }
    return SD1;
}

void TForm1::TabSheet7Show()
{
    BuildFileList();
}

void TForm1::SBAGGLISTAClick()
{
    // The clicks on the other separators arrive here too; EDSEP is usable only with "altro".
    EDSEP->setEnabled(RBSEPALTRO->isChecked());
    BuildFileList();
}

void TForm1::MARKDIRClick()
{
    EDMARKDIR->setEnabled(MARKDIR->isChecked());
    BuildFileList();
}

void TForm1::RBSEPALTROClick()
{
    EDSEP->setEnabled(RBSEPALTRO->isChecked());
    BuildFileList();
}

void TForm1::RBRTFClick()
{
    setAllEnabled({RBSEPSPAZIO, RBSEPPV, RBSEPTAB, RBSEPALTRO}, true);
    m_listFormat = QStringLiteral("RTF");
    BuildFileList();
}

void TForm1::RBTXTClick()
{
    setAllEnabled({RBSEPSPAZIO, RBSEPPV, RBSEPTAB, RBSEPALTRO}, true);
    m_listFormat = QStringLiteral("TXT");
    BuildFileList();
}

void TForm1::RBCSVClick()
{
    RBSEPPV->setChecked(true);
    setAllEnabled({RBSEPSPAZIO, RBSEPTAB, RBSEPALTRO, EDSEP}, false);
    RBSEPPV->setEnabled(true);
    m_listFormat = QStringLiteral("CSV");
    BuildFileList();
}

void TForm1::SBSAVELISTAClick()
{
    const bool rtf = m_listFormat == QLatin1String("RTF");
    QFileDialog *const dialog = saveDialog();
    dialog->setDirectory(QFile::decodeName(m_programFolder.c_str()));
    if (rtf) {
        dialog->setNameFilter(QStringLiteral("Files RTF di Word (*.RTF)"));
        dialog->setDefaultSuffix(QStringLiteral("RTF"));
    } else if (m_listFormat == QLatin1String("TXT")) {
        dialog->setNameFilter(QStringLiteral("Files TXT (*.TXT)"));
        dialog->setDefaultSuffix(QStringLiteral("TXT"));
    } else {
        dialog->setNameFilter(QStringLiteral("Files CSV di Excell (*.CSV)"));
        dialog->setDefaultSuffix(QStringLiteral("CSV"));
    }
    dialog->selectFile(m_lastListFileName);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString file = dialog->selectedFiles().constFirst();
    m_lastListFileName = QFileInfo(file).fileName();

    const std::vector<std::string> lines = shownLines(LISTADOC, m_builtLines);
    platform::SaveResult result;
    {
        platform::HourglassGuard hourglass;
        result = platform::saveFileReplacing(QFile::encodeName(file).toStdString(),
                                   rtf ? rtfDocument(lines) : plainTextDocument(lines));
    }
    if (!result.saved) {
        showError(this, QStringLiteral("Impossibile salvare la lista nel file %1:\n%2")
                            .arg(file, QString::fromStdString(result.error)));
        return;
    }
    setStatusText(3, QStringLiteral("Lista salvata nel file ") + file);
}

void TForm1::SBCOPYCBClick()
{
    const QString selected = LISTADOC->textCursor().selection().toPlainText();
    if (selected.isEmpty()) {
        showWarning(this, QStringLiteral("Nessun testo selezionato."));
        return;
    }
    QGuiApplication::clipboard()->setText(selected);
    setStatusText(3, QStringLiteral("Lista copiata in ClipBoard"));
}

void TForm1::SBSELALLClick()
{
    LISTADOC->selectAll();
}

void TForm1::SBDESELALLClick()
{
    QTextCursor cursor = LISTADOC->textCursor();
    cursor.setPosition(cursor.selectionStart());
    LISTADOC->setTextCursor(cursor);
}

void TForm1::SBSTAMPAClick()
{
    if (!confirm(this, QStringLiteral("Stampo lista ?")))
        return;
    const std::unique_ptr<QPrinter> printer = m_printerProvider ? m_printerProvider() : defaultPrinter();
    if (!printer) {
        showError(this, QStringLiteral("Nessuna stampante predefinita."));
        return;
    }
    bool printed = false;
    {
        platform::HourglassGuard hourglass;
        printed = printListing(*LISTADOC->document(), *printer);
    }
    if (!printed)
        showError(this, QStringLiteral("Stampa non riuscita."));
}

} // namespace nomaro
