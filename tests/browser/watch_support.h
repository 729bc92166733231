#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>

namespace nomaro::test {

// The application of the watch tests: like the program's, it reports an exception that leaves an
// event handler and goes on; here the report is kept for the test to read.
class RecordingApplication : public QCoreApplication
{
public:
    using QCoreApplication::QCoreApplication;
    bool notify(QObject *receiver, QEvent *event) override;

    static QStringList takeReports();
};

// Runs the event loop until `done` holds or `timeoutMs` passed; the last answer of `done`.
bool processEventsUntil(const std::function<bool()> &done, int timeoutMs);

// Runs the event loop for `ms` milliseconds.
void processEventsFor(int ms);

// The descriptors this process has open now.
int openDescriptorCount();

} // namespace nomaro::test
