#include "platform/watched_drives.h"

#include <chrono>
#include <future>
#include <memory>
#include <sys/statfs.h>
#include <thread>

namespace nomaro::platform {
namespace {
constexpr int kNetworkTimeoutMs = 1000;
}

bool answersWithin(const std::string &mountPoint, int timeoutMs)
{
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> answered = answer->get_future();
    // Detached: a statfs stuck on a dead server keeps only this small thread and its promise.
    std::thread([answer, mountPoint] {
        struct statfs info;
        answer->set_value(::statfs(mountPoint.c_str(), &info) == 0);
    }).detach();
    return answered.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready && answered.get();
}

std::vector<Drive> watchedDrives(const std::vector<Drive> &drives, const NetworkProbe &probe)
{
    std::vector<std::future<bool>> working(drives.size());
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].type == DriveType::Network) {
            const std::string mountPoint = drives[i].mountPoint;
            working[i] = probe ? std::async(std::launch::deferred, probe, mountPoint)
                               : std::async(std::launch::async, answersWithin, mountPoint, kNetworkTimeoutMs);
        }
    }
    std::vector<Drive> watched;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const DriveType type = drives[i].type;
        const bool watch = type == DriveType::Fixed || type == DriveType::Ram
            || (type == DriveType::Network && working[i].get());
        if (watch)
            watched.push_back(drives[i]);
    }
    return watched;
}

} // namespace nomaro::platform
