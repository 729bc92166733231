#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "tests/support/tempdir.h"

namespace nomaro::test {

// A print server of the test's own: a CUPS daemon with its configuration, spool, logs and socket
// in a temporary folder, serving one cups-pdf queue "PDF" that is the default destination. While
// it runs, this process and the programs it starts print to it alone. The daemon is ended with
// this object, and killed with the test program if that dies first.
//
// cups-pdf reads its output folder from a fixed file under /etc. Where the daemon may run in a
// mount namespace of its own (as root, with the right to mount), that file is replaced there by
// one naming a folder of the test and the queue prints; elsewhere the queue holds every job it
// takes, so that nothing is written outside the test's folder.
class CupsServer
{
public:
    CupsServer();
    ~CupsServer();
    CupsServer(const CupsServer &) = delete;
    CupsServer &operator=(const CupsServer &) = delete;

    // Empty when the daemon runs; otherwise why it could not be started.
    const QString &failure() const { return m_failure; }

    static constexpr const char *kQueue = "PDF";

    // Whether the queue's jobs are printed into pdfFolder() rather than held.
    bool printsPdf() const { return m_printsPdf; }
    std::string pdfFolder() const { return m_dir.pathOf("pdf"); }

    // Runs one of CUPS's command-line tools (lpadmin, cupsreject, lp...) against this server.
    // Returns its standard error and output when it fails, an empty text when it succeeds.
    QString run(const QString &tool, const QStringList &arguments) const;

    struct Job
    {
        int id;
        std::string title;
        std::string user;
        int state; // an ipp_jstate_t
    };
    // Every job of the queue the server remembers, finished or not, of every user.
    std::vector<Job> jobs() const;

    // The daemon's error log, for the message of a failed check.
    std::string log() const;

private:
    bool start(bool inOwnNamespace);
    void writeConfiguration(bool holdJobs) const;
    bool waitUntilListening();
    void stop();

    TempDir m_dir;
    std::string m_socket;
    QProcess m_daemon;
    QString m_failure;
    bool m_printsPdf = false;
};

} // namespace nomaro::test
