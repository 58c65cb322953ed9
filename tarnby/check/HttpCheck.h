#pragma once
// One link checked over HTTP, on a THttpCli of its own (HTTP/1.0, a connection per request),
// entirely from the event loop: HEAD first, GET when HEAD is refused (405, 501) or answered
// without a usable status; redirects followed up to the limit, a loop reported as a loop;
// 429 retried after its Retry-After when that still fits in the timeout.
//
// A status check reads the response header only and closes the connection: a huge body is
// never downloaded. A page check (a page to walk, or one whose ids a fragment needs) reads
// the body of an HTML answer, up to kMaxPageBytes.
//
// Invariant: between start() and OnDone exactly one request of the client is under way or
// one retry is waiting; OnDone is raised once per start(), from the event loop.
#include "httpprot/HttpCli.h"
#include "tarnby/check/CheckSettings.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <set>
#include <string>

namespace tarnby::check {

struct HttpOutcome {
    int status = 0;         // the final answer's status; 0 when there was none
    std::string failure;    // why there was no final answer; empty when there was one
    int redirectStatus = 0; // the first relocation's status, 0 when none
    std::string finalUrl;   // the address the last answer came from
    bool html = false;      // the final answer said text/html (or said no type)
    std::string body;       // page checks of HTML answers only
};

class HttpCheck : public QObject {
public:
    enum class Want { Status, Page };

    explicit HttpCheck(const CheckSettings& settings, QObject* parent = nullptr);
    ~HttpCheck() override;

    std::function<void(HttpOutcome)> OnDone;

    void start(const std::string& url, Want want);
    bool busy() const { return busy_; }
    // Ends a check under way at once; OnDone is not raised.
    void cancel();

private:
    void request(const char* method);
    void headerData();
    void locationChanged();
    void headerEnded();
    void requestDone();
    void finish();
    void giveUp(std::string reason);
    std::string failureText() const;
    bool NoUsableAnswer() const;

    const CheckSettings& settings_;
    httpprot::THttpCli client_;
    base::MemoryStream bodyStream_;
    QTimer deadline_;
    QTimer retry_;
    Want want_ = Want::Status;
    bool busy_ = false;
    bool head_ = true;
    std::string startUrl_;
    std::string current_;
    std::set<std::string> visited_;
    int hops_ = 0;
    int hopStatus_ = 0;           // of the answer being read
    std::string hopReason_;
    std::string hopLocation_;
    int retryAfterSeconds_ = -1;  // of the answer being read; -1 when it had none
    bool haveFinal_ = false;      // the final answer's header has been read
    bool redirectFailed_ = false; // a loop, or more redirects than allowed
    std::string abandon_;         // a reason of ours to end the request (loop, limit, timeout)
    HttpOutcome outcome_;
};

} // namespace tarnby::check
