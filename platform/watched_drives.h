#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace nomaro::platform {

// Whether network mounts answer, asked off the caller's thread with a time limit, and at most one
// question in flight per mount: a mount whose last question has not been answered counts as not in
// working order, and is not asked again until it answers. A server that never answers thus holds
// one thread, however often the drives are looked at, and the caller never more than the limit.
class NetworkProbes
{
public:
    // Blocks until the mount answers; true when it answered well.
    using Ask = std::function<bool(const std::string &mountPoint)>;

    static constexpr int kTimeoutMs = 1000;

    // `ask` by default: statfs on the mount point.
    explicit NetworkProbes(Ask ask = {}, int timeoutMs = kTimeoutMs);
    ~NetworkProbes();
    NetworkProbes(const NetworkProbes &) = delete;
    NetworkProbes &operator=(const NetworkProbes &) = delete;

    // The process's own, over statfs.
    static NetworkProbes &shared();

    // Whether each mount point answers, all asked at once; waits at most the time limit in all.
    std::vector<bool> inWorkingOrder(const std::vector<std::string> &mountPoints);

    // The questions asked and not answered yet.
    std::size_t inFlight() const;

private:
    struct State;
    std::shared_ptr<State> m_state; // shared with the threads that ask
    Ask m_ask;
    int m_timeoutMs;
};

// The drives whose roots the folder tree watches: fixed and RAM drives, and network drives in
// working order (as `probes` answer); never removable or optical ones. A FUSE drive is watched
// only when it answers too. In the order given.
std::vector<Drive> watchedDrives(const std::vector<Drive> &drives, NetworkProbes &probes = NetworkProbes::shared());

} // namespace nomaro::platform
