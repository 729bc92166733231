#pragma once

#include <span>
#include <vector>

namespace nomaro::platform {

// An auto-resetting event over an eventfd: set by one thread, waited on (alone or in a wait set)
// by another; a successful wait resets it.
class AutoResetEvent
{
public:
    AutoResetEvent();
    ~AutoResetEvent();
    AutoResetEvent(const AutoResetEvent &) = delete;
    AutoResetEvent &operator=(const AutoResetEvent &) = delete;

    // False when the system gave no descriptor; such an event is never signalled.
    bool valid() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }

    void set();
    // Waits at most `timeoutMs` for the event and resets it; false on timeout or failure.
    bool wait(int timeoutMs);
    // Resets the event without waiting; true when it was set.
    bool reset();

private:
    int m_fd;
};

// What one descriptor of a wait set showed.
enum class Readiness { Quiet, Readable, Failed };

// Blocks without a time limit until at least one descriptor is readable or failed (hung up,
// closed, in error). Empty when the wait itself failed; a signal interrupting it is no failure.
std::vector<Readiness> waitForAny(std::span<const int> descriptors);

// Sleeps, for a loop that must not spin after a failed wait.
void pause(int milliseconds);

} // namespace nomaro::platform
