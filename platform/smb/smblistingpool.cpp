#include "platform/smb/smblistingpool.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long a wait that may be stopped goes on before it looks whether it has been.
constexpr milliseconds kStopCheck{20};

} // namespace

SmbListingPool::Jobs::iterator SmbListingPool::Find(const std::string& key)
{
    return std::find_if(jobs_.begin(), jobs_.end(), [&key](const Job& j) { return j.key == key; });
}

bool SmbListingPool::Holds(const std::string& key) const
{
    return std::any_of(jobs_.begin(), jobs_.end(), [&key](const Job& j) { return j.key == key; });
}

void SmbListingPool::Add(const std::string& key, Starter start)
{
    if (Holds(key))
        return;
    jobs_.push_back({key, std::move(start), nullptr});
    StartMore();
}

size_t SmbListingPool::Running() const
{
    return static_cast<size_t>(std::count_if(jobs_.begin(), jobs_.end(), [](const Job& j) {
        return j.request && !j.request->Finished();
    }));
}

void SmbListingPool::StartMore()
{
    size_t running = Running();
    for (Job& job : jobs_) {
        if (running >= width_)
            return;
        if (!job.request) {
            job.request = job.start();
            running += job.request->Finished() ? 0 : 1;
        }
    }
}

void SmbListingPool::PumpOnce(bool stoppable)
{
    std::vector<pollfd> wanted;
    std::vector<SmbListingRequest*> requests;
    Clock::time_point first = Clock::time_point::max();
    for (Job& job : jobs_) {
        if (!job.request || job.request->Finished())
            continue;
        wanted.push_back({job.request->Fd(), POLLIN, 0});
        requests.push_back(job.request.get());
        first = std::min(first, job.request->Deadline());
    }
    if (wanted.empty())
        return;
    auto left = std::chrono::ceil<milliseconds>(first - Clock::now());
    if (stoppable)
        left = std::min(left, kStopCheck);
    if (left.count() > 0 &&
        poll(wanted.data(), wanted.size(), static_cast<int>(left.count())) < 0 && errno != EINTR)
        return;
    // Pump finishes those past their deadline too.
    for (SmbListingRequest* request : requests)
        request->Pump();
}

SmbListing SmbListingPool::Take(const std::string& key, std::stop_token stop)
{
    const auto job = Find(key);
    if (job == jobs_.end())
        return {EINVAL, {}};
    if (!job->request)
        job->request = job->start();
    while (!job->request->Finished()) {
        if (stop.stop_requested())
            return {ECANCELED, {}};
        PumpOnce(stop.stop_possible());
        StartMore();
    }
    SmbListing listing = job->request->Wait();
    jobs_.erase(job);
    StartMore();
    return listing;
}
