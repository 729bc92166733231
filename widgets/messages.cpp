#include "widgets/messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace nomaro {
namespace {

int showBox(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
            bool yesNo)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::ApplicationModal);
    if (yesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? QMessageBox::Yes : QMessageBox::No;
    }
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return QMessageBox::Ok;
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
    return showBox(parent, QMessageBox::Question, QStringLiteral("Conferma"), text, true)
        == QMessageBox::Yes;
}

} // namespace nomaro
