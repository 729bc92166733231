#pragma once

// A folder read that never freezes the window: a folder on a network drive is read on a worker
// thread and given up on after a bounded wait, so that a hung mount leaves the caller free. The
// folder tree and the folder list read their folders through it alike.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/shell_namespace.h"
#include "platform/subfolders.h"

namespace nomaro {

// The longest wait for a folder on a network drive.
inline constexpr std::chrono::milliseconds kNetworkReadWait{2000};

// Runs `read` on the folder `absolute` bound anew, on a worker thread (the caller's binding may
// be gone when the worker ends); nullopt when it did not answer within `wait` or the folder
// could not be bound. `read` is copied to the worker and must hold nothing of the caller's.
template <typename Result>
std::optional<Result> readOnWorker(const platform::ItemIdList &absolute, std::chrono::milliseconds wait,
                                   std::function<std::optional<Result>(const platform::ShellFolder &)> read)
{
    // What the worker and the waiting thread share; the worker keeps it alive when the wait is
    // given up.
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::optional<Result> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, absolute, read = std::move(read)] {
        std::optional<Result> result;
        try {
            result = read(*platform::ShellFolder::bind(absolute));
        } catch (...) {
            // A folder that cannot be bound cannot be enumerated either.
        }
        const std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->finished = true;
        shared->done.notify_all();
    }).detach();

    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, wait, [&] { return shared->finished; }))
        return std::nullopt;
    return std::move(shared->result);
}

// Binds `absolute` as ShellFolder::bind does; a folder on a network drive is bound on a worker
// thread, since its look-up may never come back: nullptr when it did not answer within `wait`.
// A folder that is not there or is no folder raises the bind's error on the caller's thread.
std::unique_ptr<platform::ShellFolder> bindBounded(const platform::ItemIdList &absolute, std::chrono::milliseconds wait);

// Runs `read` on `folder`: at once for a local or virtual folder, on a worker thread with a
// bounded wait (readOnWorker) for a folder on a network drive.
template <typename Result>
std::optional<Result> readBounded(const platform::ShellFolder &folder, std::chrono::milliseconds wait,
                                  std::function<std::optional<Result>(const platform::ShellFolder &)> read)
{
    if (folder.path().empty() || !platform::isOnNetworkDrive(folder.path()))
        return read(folder);
    return readOnWorker<Result>(folder.absoluteId(), wait, std::move(read));
}

} // namespace nomaro
