#pragma once

#include <QString>

class QWidget;

namespace nomaro {

// The program's modal message boxes: Italian captions and buttons, application-modal.
void showError(QWidget *parent, const QString &text);     // "Errore", OK
void showWarning(QWidget *parent, const QString &text);   // "Attenzione", OK
bool confirm(QWidget *parent, const QString &text);       // "Conferma", Sì / No; true on Sì

} // namespace nomaro
