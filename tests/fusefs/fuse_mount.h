#pragma once

#include "tests/support/tempdir.h"

#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace nomaro::test {

// The test file system (nomaro_fusefs) mounted over a fresh backing folder in a temporary
// folder, with the given switches ("--fold-case", "--no-links"...). It is unmounted when the
// object goes, whatever the test did; should the test process die, the file system goes with it.
class FuseMount
{
public:
    explicit FuseMount(std::vector<std::string> switches);
    ~FuseMount();
    FuseMount(const FuseMount &) = delete;
    FuseMount &operator=(const FuseMount &) = delete;

    // False when no file system could be mounted; then whyNot() says why.
    bool mounted() const { return m_mounted; }
    // True when the machine cannot mount FUSE at all (no /dev/fuse, no right to mount), as
    // opposed to a test file system that failed to start.
    bool unavailable() const { return m_unavailable; }
    const std::string &whyNot() const { return m_whyNot; }

    // The folder as the code under test sees it, through the file system.
    const std::string &path() const { return m_mountPoint; }
    std::string pathOf(std::string_view name) const { return m_mountPoint + "/" + std::string(name); }
    // The same folder seen directly, bypassing the file system's faults.
    const std::string &backing() const { return m_backing; }
    std::string backingOf(std::string_view name) const { return m_backing + "/" + std::string(name); }

    // Ends the file system and unmounts it now; the destructor does it otherwise.
    void unmount();

    // The file through which HeldCalls tells the file system which calls to hold.
    const std::string &holdControl() const { return m_holdControl; }

private:
    void start(const std::vector<std::string> &switches);
    bool isMountPoint() const;

    TempDir m_dir; // first in, last out: it is removed only after the unmount
    std::string m_backing;
    std::string m_mountPoint;
    std::string m_log;
    std::string m_holdControl;
    pid_t m_child = -1;
    bool m_mounted = false;
    bool m_unavailable = false;
    std::string m_whyNot;
};

// Makes the mounted file system hold every call on a path matching `pattern` (a shell pattern
// over the path below the mount: "/" is its root, as statfs asks it; "/lento*" is a folder and
// everything in it; "*" is every call), as a frozen server does, until release() or the end of
// this object, so that a test releases them however it ends. Calls in other folders keep
// answering; a held look-up holds other look-ups in its folder too (the kernel makes them one
// at a time). Declare it after whatever waits for a held call (a future, a thread to join), so
// that it releases them before that waits: objects go in the reverse of their declaration.
class HeldCalls
{
public:
    HeldCalls(const FuseMount &mount, std::string_view pattern);
    ~HeldCalls();
    HeldCalls(const HeldCalls &) = delete;
    HeldCalls &operator=(const HeldCalls &) = delete;

    // Lets the held calls go on and holds no more.
    void release();
    // Waits up to `limit` until a call is being held; true once one is.
    bool waitUntilHolding(std::chrono::milliseconds limit) const;

private:
    std::string m_control;
};

} // namespace nomaro::test

// Skips the test, saying why, where FUSE cannot be mounted; fails it when it could be but the
// test file system did not come up.
#define NOMARO_REQUIRE_MOUNT(mount)                                                      \
    do {                                                                                 \
        if (!(mount).mounted()) {                                                        \
            if ((mount).unavailable())                                                   \
                GTEST_SKIP() << "FUSE non disponibile: " << (mount).whyNot();            \
            FAIL() << (mount).whyNot();                                                  \
        }                                                                                \
    } while (false)
