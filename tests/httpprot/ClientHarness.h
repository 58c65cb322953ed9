#pragma once
// Runs one request of a THttpCli to its end inside the event loop (bounded in time) and
// records what the client reported: its events in order, the body, the final properties.
#include "httpprot/HttpCli.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace httptest {

struct Outcome {
    bool done = false; // OnRequestDone arrived within the time limit
    httpprot::THttpRequest request = httpprot::THttpRequest::None;
    int requestDoneError = -1;
    int status = 0;
    std::string reason;
    std::string documentName;
    std::string contentType;
    std::int64_t contentLength = -1;
    std::vector<std::string> header; // ResponseHeader
    std::string body;                // OnDocData bytes (when kept)
    std::int64_t bodySize = 0;
    std::uint64_t bodyHash = 1469598103934665603ull; // FNV-1a of the OnDocData bytes
    std::vector<std::string> events;
};

// Records the client's events into an Outcome; "docdata" and "senddata" are logged once per
// run of consecutive calls, so chunking does not show.
class Recorder {
public:
    explicit Recorder(httpprot::THttpCli& client, bool keepBody = true);
    // Starts the request and turns the event loop until OnRequestDone or the time limit.
    Outcome run(const std::function<void()>& start, std::chrono::milliseconds limit = std::chrono::seconds(15));
    // Turns the event loop for a while (for servers that stall or drip).
    static void turnEventLoop(std::chrono::milliseconds duration);
    // The outcome so far, for handlers that act in the middle of a request.
    Outcome& current() { return outcome_; }

private:
    void log(std::string event);
    httpprot::THttpCli& client_;
    bool keepBody_;
    Outcome outcome_;
};

std::string Join(const std::vector<std::string>& lines, const char* separator = "\n");

} // namespace httptest
