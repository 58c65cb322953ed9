#include "tarnby/check/HttpCheck.h"

#include "base/Text.h"
#include "httpprot/ResponseHeader.h"
#include "tarnby/UrlReference.h"

#include <chrono>

namespace tarnby::check {

namespace {

using httpprot::HeaderLine;
using httpprot::THttpCli;

const char* const kNoStatus = "no HTTP status in the answer";

// Retry-After in seconds; a date or anything else is not honoured.
int RetryAfterSeconds(std::string_view value)
{
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    const std::string v(value);
    if (v.empty() || v.size() > 6 || v.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(v);
}

bool IsHtml(const std::string& contentType)
{
    const std::string type = base::LowerCase(contentType);
    return type.empty() || type.starts_with("text/html") || type.starts_with("application/xhtml+xml");
}

} // namespace

HttpCheck::HttpCheck(const CheckSettings& settings, QObject* parent) : QObject(parent), settings_(settings)
{
    client_.SetAgent("Tarnby v1.1c (link check)");
    client_.SetProxy(settings.proxy);
    client_.SetCaCertFile(settings.caCertFile);
    client_.OnHeaderData = [this](THttpCli*) { headerData(); };
    client_.OnLocationChange = [this](THttpCli*) { locationChanged(); };
    client_.OnHeaderEnd = [this](THttpCli*) {
        if (client_.State() == httpprot::THttpState::WaitingBody)
            headerEnded();
    };
    client_.OnDocData = [this](THttpCli*, const char*, int) {
        if (bodyStream_.size() > static_cast<std::int64_t>(kMaxPageBytes))
            giveUp({}); // enough of the page: what arrived is read
    };
    client_.OnRequestDone = [this](THttpCli*, httpprot::THttpRequest, int) { requestDone(); };
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (retry_.isActive()) {
            retry_.stop();
            outcome_.failure = "timeout";
            finish();
            return;
        }
        giveUp("timeout");
    });
    retry_.setSingleShot(true);
    retry_.setTimerType(Qt::PreciseTimer);
    connect(&retry_, &QTimer::timeout, this, [this] { request(head_ ? "HEAD" : "GET"); });
}

HttpCheck::~HttpCheck()
{
    client_.OnRequestDone = nullptr;
    client_.OnHeaderData = nullptr;
    client_.OnLocationChange = nullptr;
    client_.OnHeaderEnd = nullptr;
    client_.OnDocData = nullptr;
}

void HttpCheck::start(const std::string& url, Want want)
{
    busy_ = true;
    want_ = want;
    startUrl_ = url;
    outcome_ = {};
    head_ = want == Want::Status;
    if (settings_.timeoutSeconds > 0)
        deadline_.start(std::chrono::seconds(settings_.timeoutSeconds));
    request(head_ ? "HEAD" : "GET");
}

void HttpCheck::cancel()
{
    if (!busy_)
        return;
    busy_ = false;
    deadline_.stop();
    retry_.stop();
    abandon_ = "cancelled";
    if (client_.State() != httpprot::THttpState::Ready)
        client_.Abort();
}

void HttpCheck::request(const char* method)
{
    current_ = startUrl_;
    visited_ = {startUrl_};
    hops_ = 0;
    hopStatus_ = 0;
    hopReason_.clear();
    retryAfterSeconds_ = -1;
    haveFinal_ = false;
    redirectFailed_ = false;
    abandon_.clear();
    outcome_.redirectStatus = 0;
    bodyStream_.clear();
    client_.SetDocumentStream(want_ == Want::Page && std::string_view(method) == "GET" ? &bodyStream_ : nullptr);
    client_.SetURL(startUrl_);
    if (std::string_view(method) == "HEAD")
        client_.HeadASync();
    else
        client_.GetASync();
}

void HttpCheck::headerData()
{
    const base::StringList& header = client_.ResponseHeader();
    if (header.count() == 0)
        return;
    const HeaderLine h = httpprot::ReadHeaderLine(header.lines().back());
    if (h.kind == HeaderLine::Kind::Status) {
        hopStatus_ = h.statusCode;
        hopReason_ = h.reasonPhrase;
        hopLocation_.clear();
        retryAfterSeconds_ = -1;
    } else if (h.kind == HeaderLine::Kind::Field && h.name == "location") {
        hopLocation_ = h.value;
    } else if (h.kind == HeaderLine::Kind::Field && h.name == "retry-after") {
        retryAfterSeconds_ = RetryAfterSeconds(h.value);
    }
}

void HttpCheck::locationChanged()
{
    if (outcome_.redirectStatus == 0)
        outcome_.redirectStatus = hopStatus_;
    current_ = ResolveReference(current_, hopLocation_);
    if (!visited_.insert(current_).second) {
        redirectFailed_ = true;
        giveUp("redirect loop at " + current_);
        return;
    }
    if (++hops_ > settings_.maxRedirects) {
        redirectFailed_ = true;
        giveUp("more than " + std::to_string(settings_.maxRedirects) + " redirects");
    }
}

void HttpCheck::headerEnded()
{
    if (client_.StatusCode() < 100) {
        giveUp(kNoStatus); // no status line: not an HTTP answer
        return;
    }
    haveFinal_ = true;
    outcome_.status = client_.StatusCode();
    outcome_.html = IsHtml(client_.ContentType());
    // A status is all a check needs; a page only when it is HTML.
    if (!client_.DocumentStream() || !outcome_.html)
        giveUp({});
}

void HttpCheck::giveUp(std::string reason)
{
    abandon_ = reason.empty() ? std::string("done") : std::move(reason);
    if (client_.State() != httpprot::THttpState::Ready && client_.State() != httpprot::THttpState::Aborting)
        client_.Abort();
}

// The client's own failure in words of the report.
std::string HttpCheck::failureText() const
{
    const std::string& reason = client_.ReasonPhrase();
    if (reason == "can't resolve hostname to IP address")
        return "name not found";
    if (reason.find("(Error #10061)") != std::string::npos)
        return "refused";
    if (reason.find("(Error #10060)") != std::string::npos)
        return "timeout";
    return reason;
}

// The server took the HEAD request but gave no status that can be read: it may still
// answer GET. A failure to reach it at all would only repeat.
bool HttpCheck::NoUsableAnswer() const
{
    if (abandon_ == kNoStatus)
        return true;
    if (!abandon_.empty())
        return false;
    const std::string& reason = client_.ReasonPhrase();
    return reason == "connection closed before the end of the response header"
        || reason.starts_with("status code is not a number");
}

void HttpCheck::requestDone()
{
    if (!busy_)
        return;
    const bool serverAnswered = hopStatus_ != 0 && client_.StatusCode() == hopStatus_ && client_.ReasonPhrase() == hopReason_;
    if (!haveFinal_ && abandon_.empty() && serverAnswered) {
        haveFinal_ = true; // a status of 400 or more ends the request before the header's end
        outcome_.status = hopStatus_;
    }
    if (haveFinal_ && outcome_.status == 429 && retryAfterSeconds_ >= 0) {
        const int left = deadline_.isActive() ? deadline_.remainingTime() : -1;
        if (left < 0 ? settings_.timeoutSeconds == 0 : retryAfterSeconds_ * 1000 < left) {
            outcome_.status = 0;
            retry_.start(std::chrono::seconds(retryAfterSeconds_));
            return;
        }
    }
    if (head_ && (haveFinal_ ? outcome_.status == 405 || outcome_.status == 501 : NoUsableAnswer())) {
        // HEAD refused, or answered with nothing usable: ask with GET.
        head_ = false;
        outcome_.status = 0;
        request("GET");
        return;
    }
    if (!haveFinal_)
        outcome_.failure = abandon_.empty() ? failureText() : abandon_;
    if (redirectFailed_)
        outcome_.redirectStatus = 0; // the failure names the redirect
    outcome_.finalUrl = current_;
    if (haveFinal_ && client_.DocumentStream())
        outcome_.body = bodyStream_.data();
    finish();
}

void HttpCheck::finish()
{
    busy_ = false;
    deadline_.stop();
    bodyStream_.clear();
    // The handler may start the next check, and assign OnDone anew, while it runs.
    if (const auto done = OnDone)
        done(std::move(outcome_));
}

} // namespace tarnby::check
