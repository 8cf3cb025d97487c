#pragma once

#include "platform/smb/smblisting.h"

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <stop_token>
#include <string>

// Listings of several servers at once, each in a child of its own (SmbListingRequest), at
// most `width` children at a time, started in the order they were queued. Each gets its time
// from the start of its child, so a queue of silent servers costs about one bound, not their
// sum. One thread: while the caller waits for one listing, the others are read and the
// queue is kept going.
class SmbListingPool
{
public:
    // Starts a child; called when the listing's turn comes, so that its deadline counts
    // from then.
    using Starter = std::function<std::unique_ptr<SmbListingRequest>()>;

    explicit SmbListingPool(size_t width) : width_(width) {}

    // Queues a listing under key; a key already held is left as it is.
    void Add(const std::string& key, Starter start);
    bool Holds(const std::string& key) const;
    // The listing of a held key, waited for (it is started now if its turn has not come);
    // the key is no longer held afterwards. Once stop is requested: error ECANCELED at
    // once, the key still held.
    SmbListing Take(const std::string& key, std::stop_token stop = {});
    // Stops every child and forgets every key.
    void Clear() { jobs_.clear(); }

private:
    struct Job {
        std::string key;
        Starter start;
        std::unique_ptr<SmbListingRequest> request;
    };
    using Jobs = std::list<Job>;

    Jobs::iterator Find(const std::string& key);
    size_t Running() const;
    void StartMore();
    // Waits until one of the children has something to read or its deadline passes, or,
    // when the wait may be stopped, a short while.
    void PumpOnce(bool stoppable);

    size_t width_;
    Jobs jobs_;
};
