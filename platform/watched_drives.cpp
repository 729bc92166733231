#include "platform/watched_drives.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/statfs.h>
#include <thread>
#include <unordered_map>

namespace nomaro::platform {
namespace {

bool statfsAnswers(const std::string &mountPoint)
{
    struct statfs info;
    return ::statfs(mountPoint.c_str(), &info) == 0;
}

} // namespace

struct NetworkProbes::State
{
    struct Question
    {
        bool answered = false;
        bool working = false;
    };

    mutable std::mutex mutex;
    std::condition_variable answered;
    std::unordered_map<std::string, Question> questions; // by mount point
};

NetworkProbes::NetworkProbes(Ask ask, int timeoutMs)
    : m_state(std::make_shared<State>())
    , m_ask(ask ? std::move(ask) : Ask(statfsAnswers))
    , m_timeoutMs(timeoutMs)
{
}

NetworkProbes::~NetworkProbes() = default;

NetworkProbes &NetworkProbes::shared()
{
    static NetworkProbes probes;
    return probes;
}

std::vector<bool> NetworkProbes::inWorkingOrder(const std::vector<std::string> &mountPoints)
{
    std::vector<bool> working(mountPoints.size(), false);
    std::vector<std::size_t> asked;
    std::unique_lock lock(m_state->mutex);
    for (std::size_t i = 0; i < mountPoints.size(); ++i) {
        const auto [question, fresh] = m_state->questions.try_emplace(mountPoints[i]);
        if (!fresh && !question->second.answered)
            continue; // still stuck: not in working order, and not asked again
        // An answer left over from a question that ran out of time is old news: ask again.
        question->second = {};
        asked.push_back(i);
        // Detached: a thread stuck on a dead server must not hold its caller or the program's end.
        std::thread([state = m_state, ask = m_ask, mountPoint = mountPoints[i]] {
            const bool answer = ask(mountPoint);
            const std::lock_guard guard(state->mutex);
            State::Question &question = state->questions[mountPoint];
            question.answered = true;
            question.working = answer;
            state->answered.notify_all();
        }).detach();
    }
    const auto allAnswered = [&] {
        for (const std::size_t i : asked) {
            if (!m_state->questions[mountPoints[i]].answered)
                return false;
        }
        return true;
    };
    m_state->answered.wait_for(lock, std::chrono::milliseconds(m_timeoutMs), allAnswered);
    for (const std::size_t i : asked) {
        const auto found = m_state->questions.find(mountPoints[i]);
        if (found->second.answered) {
            working[i] = found->second.working;
            m_state->questions.erase(found);
        }
    }
    return working;
}

std::size_t NetworkProbes::inFlight() const
{
    const std::lock_guard lock(m_state->mutex);
    std::size_t count = 0;
    for (const auto &[mountPoint, question] : m_state->questions)
        count += question.answered ? 0 : 1;
    return count;
}

std::vector<Drive> watchedDrives(const std::vector<Drive> &drives, NetworkProbes &probes)
{
    // A FUSE drive is asked too: its process may hang like a server, and a watch placed on its
    // root would then wait on it.
    std::vector<std::string> asked;
    for (const Drive &drive : drives) {
        if (mayHang(drive))
            asked.push_back(drive.mountPoint);
    }
    const std::vector<bool> working = probes.inWorkingOrder(asked);
    std::vector<Drive> watched;
    std::size_t answer = 0;
    for (const Drive &drive : drives) {
        const bool kind = drive.type == DriveType::Fixed || drive.type == DriveType::Ram || drive.type == DriveType::Network;
        const bool answers = !mayHang(drive) || working[answer++];
        if (kind && answers)
            watched.push_back(drive);
    }
    return watched;
}

} // namespace nomaro::platform
