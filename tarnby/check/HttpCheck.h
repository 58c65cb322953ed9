#pragma once
// One link checked over HTTP/1.1 on connections lent by the checker's pool (kept alive where
// the server allows it), entirely from the event loop: HEAD first, GET when HEAD is refused
// (405, 501) or answered without a usable status; redirects followed up to the limit, a loop
// reported as a loop; 429 retried after its Retry-After when that still fits in the timeout.
//
// A status check reads the response header only: the rest of a small body is read and
// dropped by the connection, a large one closes it, so a huge body is never downloaded. A
// page check (a page to walk, or one whose ids a fragment needs) reads the body of an HTML
// answer, up to kMaxPageBytes. A request on a reused connection that the server closed
// before answering is sent once more, on a new connection.
//
// Invariant: between start() and OnDone exactly one exchange is under way or one retry is
// waiting; OnDone is raised once per start(), from the event loop.
#include "httpprot/RequestTarget.h"
#include "tarnby/check/CheckSettings.h"
#include "tarnby/check/ResponseReader.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <set>
#include <string>

namespace tarnby::check {

class ConnectionPool;
class HttpConnection;

struct HttpOutcome {
    int status = 0;         // the final answer's status; 0 when there was none
    std::string failure;    // why there was no final answer; empty when there was one
    int redirectStatus = 0; // the first relocation's status, 0 when none
    std::string finalUrl;   // the address the last answer came from
    bool html = false;      // the final answer said text/html (or said no type)
    std::string contentType; // the final answer's Content-Type as sent (its charset decodes the body)
    std::string body;       // page checks of HTML answers only
};

class HttpCheck : public QObject {
public:
    enum class Want { Status, Page };

    static constexpr const char* kAgent = "Tarnby v1.1c (link check)";

    HttpCheck(const CheckSettings& settings, ConnectionPool& connections, QObject* parent = nullptr);
    ~HttpCheck() override;

    std::function<void(HttpOutcome)> OnDone;
    // The server asked to be left alone for this many seconds (429 with Retry-After), and the
    // check waits that long before it asks again.
    std::function<void(int seconds)> OnHoldBack;

    void start(const std::string& url, Want want);
    bool busy() const { return busy_; }
    // Ends a check under way at once; OnDone is not raised.
    void cancel();

private:
    void begin(bool head);
    void request(bool fresh);
    bool header(const ResponseReader& answer);
    bool follow(const std::string& location);
    void body(std::string_view piece);
    void exchangeEnded();
    void chainEnded(bool answered, std::string failure, bool noUsableAnswer);
    void giveUp(std::string reason);
    void release(bool abandon);
    void finish();

    const CheckSettings& settings_;
    ConnectionPool& connections_;
    HttpConnection* connection_ = nullptr;
    QTimer deadline_;
    QTimer retry_;
    Want want_ = Want::Status;
    bool busy_ = false;
    bool head_ = true;
    bool retriedStale_ = false;   // the request went once more on a new connection
    std::string startUrl_;
    std::string current_;
    httpprot::RequestTarget target_;
    std::set<std::string> visited_;
    int hops_ = 0;
    std::string next_;            // where the answer being read relocates to; empty when final
    int retryAfterSeconds_ = -1;  // of the final answer; -1 when it had none
    bool readingBody_ = false;
    unsigned generation_ = 0;     // of start(): a queued begin of an earlier start is dropped
    HttpOutcome outcome_;
};

} // namespace tarnby::check
