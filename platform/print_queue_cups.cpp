#include "platform/print_queue.h"

#include <algorithm>

#include <cups/cups.h>

#include <sys/socket.h>

namespace nomaro::platform {
namespace {

// A print service that has stopped answering must not hold the window for long.
constexpr int kConnectMilliseconds = 5000;
constexpr double kAnswerSeconds = 10.0;

struct HttpClose
{
    void operator()(http_t *http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

struct IppDelete
{
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};
using Response = std::unique_ptr<ipp_t, IppDelete>;

// A connection of its own with time limits, where the library's shared one would wait forever.
Connection connectToService()
{
    Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 kConnectMilliseconds, nullptr));
    if (http)
        httpSetTimeout(http.get(), kAnswerSeconds, nullptr, nullptr);
    return http;
}

// The toolkit names an instance of a queue "queue/instance"; the service knows the queue.
struct QueueName
{
    explicit QueueName(const std::string &full)
    {
        const std::size_t slash = full.find('/');
        queue = full.substr(0, slash);
        if (slash != std::string::npos)
            instance = full.substr(slash + 1);
    }
    const char *instanceOrNull() const { return instance.empty() ? nullptr : instance.c_str(); }

    std::string queue;
    std::string instance;
};

class CupsPrintQueue final : public PrintQueue
{
public:
    explicit CupsPrintQueue(const std::string &name) : m_name(name) {}

    QueueState state() const override
    {
        const Connection http = connectToService();
        if (!http)
            return QueueState::Unreachable;
        const Response response(cupsDoRequest(http.get(), attributesRequest(), "/"));
        const ipp_status_t status = cupsLastError();
        if (status == IPP_STATUS_ERROR_NOT_FOUND)
            return announcedBy(http.get()) ? QueueState::Ready : QueueState::Missing;
        if (!response || status > IPP_STATUS_OK_EVENTS_COMPLETE)
            return QueueState::Unreachable;
        ipp_attribute_t *accepting =
            ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        if (accepting && !ippGetBoolean(accepting, 0))
            return QueueState::Rejecting;
        ipp_attribute_t *printerState = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
        if (printerState && ippGetInteger(printerState, 0) == IPP_PSTATE_STOPPED)
            return QueueState::Stopped;
        return QueueState::Ready;
    }

    std::optional<int> newestJob() const override
    {
        int newest = 0;
        const bool listed = forEachJob(false, [&newest](const cups_job_t &job) {
            newest = std::max(newest, job.id);
            return false;
        });
        return listed ? std::optional<int>(newest) : std::nullopt;
    }

    bool hasJobSince(int mark, std::string_view title) const override
    {
        bool found = false;
        forEachJob(true, [&](const cups_job_t &job) {
            found = job.id > mark && job.title && title == job.title;
            return found;
        });
        return found;
    }

private:
    ipp_t *attributesRequest() const
    {
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                         "/printers/%s", m_name.queue.c_str());
        ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        static const char *const wanted[] = {"printer-is-accepting-jobs", "printer-state"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
        return request;
    }

    // A network printer found on the network is a destination before the service has a queue
    // for it: the queue is made when the first job is sent, so such a printer is not missing.
    bool announcedBy(http_t *http) const
    {
        cups_dest_t *dest = cupsGetNamedDest(http, m_name.queue.c_str(), m_name.instanceOrNull());
        if (!dest)
            return false;
        cupsFreeDests(1, dest);
        return true;
    }

    // Calls `visit` on the queue's jobs, finished ones too, until it returns true; false when the
    // list could not be read.
    template<typename Visit>
    bool forEachJob(bool mineOnly, Visit visit) const
    {
        const Connection http = connectToService();
        if (!http)
            return false;
        cups_job_t *jobs = nullptr;
        const int count = cupsGetJobs2(http.get(), &jobs, m_name.queue.c_str(), mineOnly ? 1 : 0,
                                       CUPS_WHICHJOBS_ALL);
        if (count < 0)
            return false;
        for (int i = 0; i < count; ++i)
            if (visit(jobs[i]))
                break;
        cupsFreeJobs(count, jobs);
        return true;
    }

    QueueName m_name;
};

} // namespace

std::unique_ptr<PrintQueue> systemPrintQueue(const std::string &name)
{
    return std::make_unique<CupsPrintQueue>(name);
}

} // namespace nomaro::platform
