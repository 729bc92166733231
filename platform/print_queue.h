#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nomaro::platform {

// What a print queue would do with a job sent to it now.
enum class QueueState {
    Ready,       // takes jobs and prints them
    Missing,     // the print service knows no queue of that name
    Rejecting,   // refuses new jobs
    Stopped,     // takes jobs but prints none
    Unreachable, // the print service does not answer
};

// One queue of the system's print service. A print service may take a document and still make
// no job of it (a queue that refuses jobs, a user over the queue's quota) without the toolkit
// that sent it ever knowing, so a print asks before sending whether the queue takes jobs, and
// after sending whether its job is there.
class PrintQueue
{
public:
    virtual ~PrintQueue() = default;

    virtual QueueState state() const = 0;
    // The newest job number on the queue's list (0 for none): the mark taken before printing.
    // None when the list cannot be read.
    virtual std::optional<int> newestJob() const = 0;
    // Whether this user's job titled `title`, newer than the job `mark`, is on the queue's list.
    virtual bool hasJobSince(int mark, std::string_view title) const = 0;
};

// The queue of that name on the system's print service.
std::unique_ptr<PrintQueue> systemPrintQueue(const std::string &name);

} // namespace nomaro::platform
