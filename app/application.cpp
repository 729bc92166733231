#include "app/application.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "app/tform1.h"
#include "platform/beep.h"
#include "widgets/messages.h"

namespace nomaro {

NomaroApplication::NomaroApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    platform::setBeepSound([] { QApplication::beep(); });
    // Controls under a style sheet (the group boxes') take the application's font, not their parent's.
    setFont(TForm1::designedFont());

    // Qt's own texts (file dialog, standard buttons) in Italian.
    auto *translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool NomaroApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showError(activeWindow(), QString::fromUtf8(error.what()));
    } catch (...) {
        showError(activeWindow(), QStringLiteral("Errore imprevisto."));
    }
    return false;
}

} // namespace nomaro
