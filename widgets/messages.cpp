#include "widgets/messages.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "widgets/messages_text.h"

namespace nomaro {
namespace {

// The box shows its text as written (a file name such as "<b>.txt" is not markup) and wraps a
// name too long for one line instead of cutting it. What the user copies out of the box, by
// selecting in it or with the box's own copy, is put back to the real text on the clipboard.
class MessageBox : public QMessageBox
{
public:
    MessageBox(Icon icon, const QString &caption, const QString &text, QWidget *parent)
        : QMessageBox(icon, caption, QString(), NoButton, parent)
        , m_text(text, runTooWide(parent))
    {
        setWindowModality(Qt::ApplicationModal);
        setTextFormat(Qt::PlainText);
        setText(m_text.shown());
        if (m_text.shown() == text)
            return;
        QClipboard *clipboard = QGuiApplication::clipboard();
        connect(clipboard, &QClipboard::dataChanged, this, [this] { restoreClipboard(QClipboard::Clipboard); });
        connect(clipboard, &QClipboard::selectionChanged, this, [this] { restoreClipboard(QClipboard::Selection); });
    }

private:
    // A run wider than half the screen could not share a line with the icon and the margins on a
    // box the toolkit keeps within the screen.
    std::function<bool(QStringView)> runTooWide(QWidget *parent) const
    {
        const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return [](QStringView) { return false; };
        const int limit = screen->availableGeometry().width() / 2;
        return [metrics = fontMetrics(), limit](QStringView run) {
            return metrics.horizontalAdvance(run.toString()) > limit;
        };
    }

    void restoreClipboard(QClipboard::Mode mode)
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        const QString copied = clipboard->text(mode);
        const QString restored = m_text.restored(copied);
        if (restored != copied)
            clipboard->setText(restored, mode);
    }

    BreakableText m_text;
};

bool showBox(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text, bool yesNo)
{
    MessageBox box(icon, caption, text, parent);
    if (yesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return true;
}

} // namespace

void showError(QWidget *parent, const QString &text)
{
    showBox(parent, QMessageBox::Critical, QStringLiteral("Errore"), text, false);
}

void showWarning(QWidget *parent, const QString &text)
{
    showBox(parent, QMessageBox::Warning, QStringLiteral("Attenzione"), text, false);
}

bool confirm(QWidget *parent, const QString &text)
{
    return showBox(parent, QMessageBox::Question, QStringLiteral("Conferma"), text, true);
}

} // namespace nomaro
