#pragma once

#include <QApplication>

namespace nomaro {

// The application object. An exception that escapes an event handler is shown in a modal
// error box with its message, and the event loop goes on.
class NomaroApplication : public QApplication
{
    Q_OBJECT

public:
    NomaroApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace nomaro
