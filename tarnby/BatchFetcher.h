#pragma once
// The batch mode's fetch of a URL: the window's Get (PageFetch, the same client settings), but
// the documents kept in memory, so the batch mode leaves no file behind. The client never
// times out; without an Abort button the batch mode aborts it itself after timeoutSeconds
// (PageFetch ends endless relocations).
#include "httpprot/HttpCli.h"
#include "tarnby/BatchOptions.h"
#include "tarnby/PageFetch.h"
#include "tarnby/PageSources.h"

#include <string>
#include <vector>

namespace tarnby {

class BatchFetcher {
public:
    // options must outlive the fetcher.
    explicit BatchFetcher(const BatchOptions& options);

    // An exception escaped an event handler (caught by the application object): the fetch
    // cannot be trusted any more and ends with that message.
    void AbortOnUncaught(std::string message);

    // The page at url, its log on standard error (all of it with -v, else the failure lines
    // of a failed fetch). Throws a base::Exception naming url when the fetch fails.
    LoadedPage operator()(const std::string& url);

private:
    enum class Limit { None, Time, Uncaught };

    void AbortFor(Limit limit);
    // The request-done event follows Get's return through the event loop; its log line
    // belongs to this fetch's log.
    void AwaitRequestDone();
    std::string FailureMessage(const std::string& url) const;

    const BatchOptions& options_;
    httpprot::THttpCli client_;
    PageFetch fetch_;
    std::vector<std::string> log_;
    Limit limit_ = Limit::None;
    bool requestDone_ = false;
    std::string uncaughtText_;
};

} // namespace tarnby
