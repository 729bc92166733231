#include "browser/boundedreading.h"

#include <exception>

namespace nomaro {

std::unique_ptr<platform::ShellFolder> bindBounded(const platform::ItemIdList &absolute, std::chrono::milliseconds wait)
{
    const std::string path = platform::pathOf(absolute);
    if (path.empty() || !platform::isOnNetworkDrive(path))
        return platform::ShellFolder::bind(absolute);

    // What the worker and the waiting thread share; the worker keeps it alive when the wait is
    // given up, and a folder bound too late goes with it.
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::unique_ptr<platform::ShellFolder> folder;
        std::exception_ptr error;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, absolute] {
        std::unique_ptr<platform::ShellFolder> folder;
        std::exception_ptr error;
        try {
            folder = platform::ShellFolder::bind(absolute);
        } catch (...) {
            error = std::current_exception();
        }
        const std::lock_guard lock(shared->mutex);
        shared->folder = std::move(folder);
        shared->error = error;
        shared->finished = true;
        shared->done.notify_all();
    }).detach();

    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, wait, [&] { return shared->finished; }))
        return nullptr;
    if (shared->error)
        std::rethrow_exception(shared->error);
    return std::move(shared->folder);
}

} // namespace nomaro
