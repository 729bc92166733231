#include "tests/app/cups_server.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <cups/cups.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace nomaro::test {
namespace {

constexpr const char *kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
constexpr const char *kBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char *kCupsPdfConfiguration = "/etc/cups/cups-pdf.conf";

// Bounds on every wait, so that a daemon that hangs fails the test instead of holding the run.
constexpr int kStartMilliseconds = 20000;
constexpr int kToolMilliseconds = 20000;
constexpr int kStopMilliseconds = 5000;

QString findTool(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty())
        return found;
    return QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
}

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The daemon and everything it runs die with the test program, however that ends.
void dieWithParent(QProcess &process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
}

bool socketAccepts(const std::string &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool accepted = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return accepted;
}

} // namespace

CupsServer::CupsServer() : m_socket(m_dir.pathOf("cups.sock"))
{
    if (findTool(QStringLiteral("cupsd")).isEmpty()) {
        m_failure = QStringLiteral("cupsd is not installed (package cups, installed by scripts/install-deps)");
        return;
    }
    if (!std::filesystem::exists(kPpd) || !std::filesystem::exists(kBackend)) {
        m_failure = QStringLiteral("cups-pdf is not installed (package printer-driver-cups-pdf, installed by "
                                   "scripts/install-deps)");
        ADD_FAILURE() << m_failure.toStdString();
        return;
    }
    // The daemon's own user (lp, when it runs as root) must reach its spool inside the folder.
    ::chmod(m_dir.path().c_str(), 0755);
    for (const char *folder : {"etc/ppd", "spool/tmp", "log", "cache", "state", "pdf", "cups-pdf-spool"})
        std::filesystem::create_directories(m_dir.pathOf(folder));
    std::filesystem::copy_file(kPpd, m_dir.pathOf(std::string("etc/ppd/") + kQueue + ".ppd"));
    writeText(m_dir.pathOf("cups-pdf.conf"), "Out " + pdfFolder() + "\nAnonDirName " + pdfFolder() +
                                                 "\nSpool " + m_dir.pathOf("cups-pdf-spool") + "\nLog " +
                                                 m_dir.pathOf("log") + "\nGrp root\n");

    const bool ownNamespace = ::getuid() == 0 && std::filesystem::exists(kCupsPdfConfiguration) &&
                              run(QStringLiteral("unshare"),
                                  {QStringLiteral("--mount"), QStringLiteral("--"), QStringLiteral("mount"),
                                   QStringLiteral("--bind"), QString::fromStdString(m_dir.pathOf("cups-pdf.conf")),
                                   QString::fromLatin1(kCupsPdfConfiguration)})
                                  .isEmpty();
    writeConfiguration(!ownNamespace);
    if (!start(ownNamespace))
        return;
    m_printsPdf = ownNamespace;
    // Jobs and queries of this thread (the toolkit's too) and of the tools started go here.
    qputenv("CUPS_SERVER", QByteArray::fromStdString(m_socket));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    cupsSetServer(m_socket.c_str());
}

CupsServer::~CupsServer()
{
    stop();
    cupsSetServer(nullptr);
    qunsetenv("CUPS_SERVER");
}

void CupsServer::writeConfiguration(bool holdJobs) const
{
    const std::string etc = m_dir.pathOf("etc");
    writeText(etc + "/cups-files.conf", "ServerRoot " + etc + "\nRequestRoot " + m_dir.pathOf("spool") +
                                            "\nTempDir " + m_dir.pathOf("spool/tmp") + "\nCacheDir " +
                                            m_dir.pathOf("cache") + "\nStateDir " + m_dir.pathOf("state") +
                                            "\nErrorLog " + m_dir.pathOf("log/error_log") + "\nAccessLog " +
                                            m_dir.pathOf("log/access_log") + "\nPageLog " +
                                            m_dir.pathOf("log/page_log") + "\n");
    // Only the socket, no port: the machine's own print server may run beside this one. Anyone
    // may do anything here, and every job's title is visible to the test.
    writeText(etc + "/cupsd.conf", "Listen " + m_socket +
                                       "\nBrowsing Off\nLogLevel info\nMaxLogSize 0\nPreserveJobHistory Yes\n"
                                       "DefaultPolicy default\n<Policy default>\n"
                                       "JobPrivateAccess all\nJobPrivateValues none\n"
                                       "SubscriptionPrivateAccess all\nSubscriptionPrivateValues none\n"
                                       "<Limit All>\nOrder Allow,Deny\nAllow all\n</Limit>\n</Policy>\n");
    writeText(etc + "/printers.conf", std::string("<DefaultPrinter ") + kQueue +
                                          ">\nInfo Nomaro\nDeviceURI cups-pdf:/\nState Idle\nAccepting Yes\n"
                                          "Shared No\nErrorPolicy abort-job\n" +
                                          (holdJobs ? "Option job-hold-until indefinite\n" : "") +
                                          "</DefaultPrinter>\n");
}

bool CupsServer::start(bool inOwnNamespace)
{
    const std::string etc = m_dir.pathOf("etc");
    QStringList daemon{findTool(QStringLiteral("cupsd")), QStringLiteral("-f"), QStringLiteral("-c"),
                       QString::fromStdString(etc + "/cupsd.conf"), QStringLiteral("-s"),
                       QString::fromStdString(etc + "/cups-files.conf")};
    if (inOwnNamespace) {
        // The bind mount lives in the daemon's namespace alone and ends with it.
        daemon = QStringList{findTool(QStringLiteral("unshare")),
                             QStringLiteral("--mount"),
                             QStringLiteral("--"),
                             QStringLiteral("/bin/sh"),
                             QStringLiteral("-c"),
                             QStringLiteral("mount --bind \"$0\" %1 && exec \"$@\"")
                                 .arg(QString::fromLatin1(kCupsPdfConfiguration)),
                             QString::fromStdString(m_dir.pathOf("cups-pdf.conf"))} +
                 daemon;
    }
    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    m_daemon.setStandardOutputFile(QString::fromStdString(m_dir.pathOf("log/daemon_output")));
    dieWithParent(m_daemon);
    m_daemon.start(daemon.takeFirst(), daemon);
    if (!m_daemon.waitForStarted(kStartMilliseconds)) {
        m_failure = QStringLiteral("cupsd could not be started: ") + m_daemon.errorString();
        return false;
    }
    if (!waitUntilListening()) {
        m_failure = QStringLiteral("cupsd did not come up:\n") + QString::fromStdString(log());
        stop();
        return false;
    }
    return true;
}

bool CupsServer::waitUntilListening()
{
    const QDeadlineTimer deadline(kStartMilliseconds);
    while (!deadline.hasExpired()) {
        if (m_daemon.state() != QProcess::Running)
            return false;
        if (socketAccepts(m_socket))
            return true;
        QThread::msleep(20);
    }
    return false;
}

void CupsServer::stop()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(kStopMilliseconds)) {
        m_daemon.kill();
        m_daemon.waitForFinished(kStopMilliseconds);
    }
}

QString CupsServer::run(const QString &tool, const QStringList &arguments) const
{
    const QString program = findTool(tool);
    if (program.isEmpty())
        return tool + QStringLiteral(" is not installed");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    dieWithParent(process);
    process.start(program, arguments);
    if (!process.waitForFinished(kToolMilliseconds)) {
        process.kill();
        process.waitForFinished(kStopMilliseconds);
        return tool + QStringLiteral(" did not finish");
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return QString();
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
    return tool + QStringLiteral(" failed: ") + (output.isEmpty() ? QStringLiteral("(no output)") : output);
}

std::vector<CupsServer::Job> CupsServer::jobs() const
{
    cups_job_t *list = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, kQueue, 0, CUPS_WHICHJOBS_ALL);
    std::vector<Job> jobs;
    for (int i = 0; i < count; ++i)
        jobs.push_back({list[i].id, list[i].title ? list[i].title : "", list[i].user ? list[i].user : "",
                        list[i].state});
    cupsFreeJobs(count, list);
    return jobs;
}

std::string CupsServer::log() const
{
    std::string text;
    for (const char *name : {"log/daemon_output", "log/error_log"}) {
        QFile file(QString::fromStdString(m_dir.pathOf(name)));
        if (file.open(QIODevice::ReadOnly))
            text += file.readAll().right(4000).toStdString();
    }
    return text;
}

} // namespace nomaro::test
