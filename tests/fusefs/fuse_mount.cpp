#include "tests/fusefs/fuse_mount.h"

#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nomaro::test {
namespace {

using namespace std::chrono_literals;

// Waits up to `limit` for the child to end; true when it has.
bool waitForExit(pid_t child, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno == ECHILD))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
}

// The mount itself failed for lack of a device or of the right to mount, not by our fault.
bool saysMountingIsDenied(const std::string &log)
{
    for (const char *words : {"Operation not permitted", "Permission denied", "/dev/fuse",
                              "fusermount3: not found", "No such device"}) {
        if (log.find(words) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

FuseMount::FuseMount(std::vector<std::string> switches)
    : m_backing(m_dir.makeFolder("backing")),
      m_mountPoint(m_dir.makeFolder("mnt")),
      m_log(m_dir.pathOf("fusefs.log")),
      m_holdControl(m_dir.pathOf("hold"))
{
    const int device = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (device < 0) {
        m_unavailable = true;
        m_whyNot = std::string("/dev/fuse non si apre (") + std::strerror(errno) + ")";
        return;
    }
    ::close(device);
    start(switches);
}

FuseMount::~FuseMount()
{
    unmount();
}

void FuseMount::start(const std::vector<std::string> &switches)
{
    std::vector<std::string> args = {NOMARO_FUSEFS_PATH, m_backing, m_mountPoint,
                                     "--hold-control=" + m_holdControl};
    args.insert(args.end(), switches.begin(), switches.end());
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    m_child = ::fork();
    if (m_child == 0) {
        // The file system ends (and unmounts) when the test process dies, even by a crash.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
        const int log = ::open(m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (m_child < 0) {
        m_whyNot = std::string("fork: ") + std::strerror(errno);
        return;
    }

    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!isMountPoint()) {
        int status = 0;
        if (::waitpid(m_child, &status, WNOHANG) == m_child
            || std::chrono::steady_clock::now() >= deadline) {
            const std::string log = readFile(m_log);
            m_unavailable = saysMountingIsDenied(log);
            m_whyNot = "il file system di prova non si monta: " + log;
            unmount();
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    m_mounted = true;
}

// Mounted when the folder lies on another device than its parent, or answers that the file
// system behind it has gone (ENOTCONN).
bool FuseMount::isMountPoint() const
{
    struct stat parent;
    struct stat self;
    if (::stat(m_dir.path().c_str(), &parent) != 0)
        return false;
    if (::stat(m_mountPoint.c_str(), &self) != 0)
        return errno == ENOTCONN;
    return self.st_dev != parent.st_dev;
}

void FuseMount::unmount()
{
    if (m_child > 0) {
        // SIGTERM makes the file system leave its loop and unmount itself.
        ::kill(m_child, SIGTERM);
        if (!waitForExit(m_child, 5s)) {
            ::kill(m_child, SIGKILL);
            waitForExit(m_child, 5s);
        }
        m_child = -1;
    }
    if (isMountPoint() && ::umount2(m_mountPoint.c_str(), MNT_DETACH) != 0) {
        const std::string command = "fusermount3 -u -z '" + m_mountPoint + "' 2>/dev/null";
        [[maybe_unused]] const int ignored = std::system(command.c_str());
    }
    m_mounted = false;
}

HeldCalls::HeldCalls(const FuseMount &mount, std::string_view pattern)
    : m_control(mount.holdControl())
{
    // Written aside and renamed in, so the file system never reads half a pattern.
    const std::string partial = m_control + ".new";
    {
        std::ofstream(partial, std::ios::binary | std::ios::trunc) << pattern;
    }
    ::rename(partial.c_str(), m_control.c_str());
}

HeldCalls::~HeldCalls()
{
    release();
}

void HeldCalls::release()
{
    ::unlink(m_control.c_str());
    ::unlink((m_control + ".held").c_str());
}

bool HeldCalls::waitUntilHolding(std::chrono::milliseconds limit) const
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (::access((m_control + ".held").c_str(), F_OK) != 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

} // namespace nomaro::test
