#include "platform/wait_events.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

namespace nomaro::platform {

AutoResetEvent::AutoResetEvent()
    : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

AutoResetEvent::~AutoResetEvent()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void AutoResetEvent::set()
{
    const std::uint64_t one = 1;
    while (m_fd >= 0 && ::write(m_fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool AutoResetEvent::reset()
{
    std::uint64_t count = 0;
    ssize_t length;
    do
        length = ::read(m_fd, &count, sizeof count);
    while (length < 0 && errno == EINTR);
    return length == sizeof count;
}

bool AutoResetEvent::wait(int timeoutMs)
{
    if (m_fd < 0)
        return false;
    struct pollfd entry = {m_fd, POLLIN, 0};
    // A signal may cut the wait short; the rest of the time is waited again.
    struct timespec start;
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        struct timespec now;
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const long elapsed = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
        const int left = timeoutMs - static_cast<int>(elapsed);
        const int ready = ::poll(&entry, 1, left > 0 ? left : 0);
        if (ready > 0 && reset())
            return true;
        if (ready == 0 || (ready < 0 && errno != EINTR) || left <= 0)
            return false;
    }
}

std::vector<Readiness> waitForAny(std::span<const int> descriptors)
{
    std::vector<struct pollfd> entries;
    entries.reserve(descriptors.size());
    for (const int fd : descriptors)
        entries.push_back({fd, POLLIN, 0});
    int ready;
    do
        ready = ::poll(entries.data(), entries.size(), -1);
    while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return {};
    std::vector<Readiness> result;
    result.reserve(entries.size());
    for (const struct pollfd &entry : entries) {
        if (entry.revents & (POLLERR | POLLHUP | POLLNVAL))
            result.push_back(Readiness::Failed);
        else if (entry.revents & POLLIN)
            result.push_back(Readiness::Readable);
        else
            result.push_back(Readiness::Quiet);
    }
    return result;
}

void pause(int milliseconds)
{
    ::poll(nullptr, 0, milliseconds);
}

} // namespace nomaro::platform
