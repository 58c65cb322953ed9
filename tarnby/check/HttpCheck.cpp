#include "tarnby/check/HttpCheck.h"

#include "base/Text.h"
#include "httpprot/UrlRoutines.h"
#include "tarnby/UrlReference.h"
#include "tarnby/check/ConnectionPool.h"
#include "tarnby/check/LinkTarget.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>

namespace tarnby::check {

namespace {

// Retry-After in seconds; a date or anything else is not honoured.
int RetryAfterSeconds(std::string_view value)
{
    if (value.empty() || value.size() > 6 || value.find_first_not_of("0123456789") != std::string_view::npos)
        return -1;
    return std::stoi(std::string(value));
}

bool IsHtml(const std::string& contentType)
{
    const std::string type = base::LowerCase(contentType);
    return type.empty() || type.starts_with("text/html") || type.starts_with("application/xhtml+xml");
}

bool IsRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool HasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; });
}

ConnectionTarget ConnectionFor(const httpprot::RequestTarget& target)
{
    ConnectionTarget c;
    c.host = target.hostName;
    c.port = target.port;
    c.tls = target.tls;
    c.tlsHost = target.targetHost;
    if (target.viaProxy && target.tls)
        c.tunnel = httpprot::TunnelAuthority(target);
    c.key = std::string(target.viaProxy ? "proxy " : "") + (c.tls ? "https://" : "http://") + c.host + ":" + c.port + " " + c.tunnel;
    return c;
}

} // namespace

HttpCheck::HttpCheck(const CheckSettings& settings, ConnectionPool& connections, QObject* parent)
    : QObject(parent), settings_(settings), connections_(connections)
{
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        retry_.stop();
        giveUp("timeout");
    });
    retry_.setSingleShot(true);
    retry_.setTimerType(Qt::PreciseTimer);
    connect(&retry_, &QTimer::timeout, this, [this] { begin(head_); });
}

HttpCheck::~HttpCheck()
{
    release(true);
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
    // From the event loop, so that OnDone never comes inside start().
    QMetaObject::invokeMethod(this, [this, generation = ++generation_] {
        if (busy_ && generation == generation_)
            begin(head_);
    }, Qt::QueuedConnection);
}

void HttpCheck::cancel()
{
    if (!busy_)
        return;
    busy_ = false;
    deadline_.stop();
    retry_.stop();
    release(true);
}

// The chain of requests from the start address, anew.
void HttpCheck::begin(bool head)
{
    head_ = head;
    current_ = startUrl_;
    visited_ = {startUrl_};
    hops_ = 0;
    outcome_.status = 0;
    outcome_.redirectStatus = 0;
    outcome_.body.clear();
    retriedStale_ = false;
    request(false);
}

void HttpCheck::request(bool fresh)
{
    if (HasControlCharacter(current_))
        return chainEnded(false, "control characters in the address", false);
    target_ = httpprot::TargetForUrl(current_, settings_.proxy, "80");
    std::string text = std::string(head_ ? "HEAD " : "GET ") + httpprot::RequestUri(target_) + " HTTP/1.1\r\nHost: "
        + target_.targetHost + (target_.targetPort.empty() ? "" : ":" + target_.targetPort) + "\r\nUser-Agent: " + kAgent + "\r\n";
    // Credentials go to the start address's own origin only.
    if (!target_.user.empty() && OriginOf(current_) == OriginOf(startUrl_))
        text += "Authorization: Basic " + httpprot::EncodeBase64(target_.user + ":" + target_.password) + "\r\n";
    text += "\r\n";
    next_.clear();
    readingBody_ = false;
    retryAfterSeconds_ = -1;
    connection_ = &connections_.lend(ConnectionFor(target_), fresh);
    connection_->OnHeader = [this](const ResponseReader& answer) { return header(answer); };
    connection_->OnBody = [this](std::string_view piece) { body(piece); };
    connection_->OnEnd = [this] { exchangeEnded(); };
    connection_->send(std::move(text), head_);
}

// Returns whether the body is wanted.
bool HttpCheck::header(const ResponseReader& answer)
{
    const int status = answer.status();
    if (IsRedirect(status) && !answer.location().empty()) {
        if (outcome_.redirectStatus == 0)
            outcome_.redirectStatus = status;
        follow(answer.location());
        return false;
    }
    outcome_.status = status;
    outcome_.contentType = answer.contentType();
    outcome_.html = IsHtml(outcome_.contentType);
    if (status == 429)
        retryAfterSeconds_ = RetryAfterSeconds(answer.retryAfter());
    // A status is all a check needs; a page only when it is HTML and works.
    readingBody_ = want_ == Want::Page && !head_ && outcome_.html && settings_.accept.accepts(status);
    return readingBody_;
}

// Takes the relocation as the next request, or ends the chain when it must not be followed.
bool HttpCheck::follow(const std::string& location)
{
    const std::string next = ResolveReference(current_, location);
    std::string refused;
    if (ClassifyLink(next).kind != LinkKind::Http)
        refused = "relocation not followed: only http and https addresses are, not \"" + next + "\"";
    else if (!visited_.insert(next).second)
        refused = "redirect loop at " + next;
    else if (++hops_ > settings_.maxRedirects)
        refused = "more than " + std::to_string(settings_.maxRedirects) + " redirects";
    if (!refused.empty()) {
        outcome_.redirectStatus = 0; // the failure names the redirect
        current_ = next;
        giveUp(refused);
        return false;
    }
    next_ = next;
    return true;
}

void HttpCheck::body(std::string_view piece)
{
    outcome_.body.append(piece.substr(0, kMaxPageBytes - std::min(kMaxPageBytes, outcome_.body.size())));
    if (outcome_.body.size() < kMaxPageBytes)
        return;
    release(true); // enough of the page: what arrived is read
    chainEnded(true, {}, false);
}

void HttpCheck::exchangeEnded()
{
    const HttpConnection& connection = *connection_;
    const std::string failure = connection.failure();
    const bool staleConnection = !failure.empty() && connection.reused() && connection.failedSilently();
    const ResponseReader::Fault fault = connection.fault();
    release(false);
    if (staleConnection && !retriedStale_) {
        retriedStale_ = true; // the server closed it while it was idle: once more on a new one
        return request(true);
    }
    if (!failure.empty())
        return chainEnded(false, failure, fault == ResponseReader::Fault::NoStatus || fault == ResponseReader::Fault::ClosedEarly);
    if (!next_.empty()) {
        current_ = std::exchange(next_, {});
        retriedStale_ = false;
        return request(false);
    }
    chainEnded(true, {}, false);
}

// answered: the final answer's header was read. noUsableAnswer: the server took the request
// but gave no status that can be read, so it may still answer GET.
void HttpCheck::chainEnded(bool answered, std::string failure, bool noUsableAnswer)
{
    if (answered && outcome_.status == 429 && retryAfterSeconds_ >= 0) {
        const int left = deadline_.isActive() ? deadline_.remainingTime() : -1;
        if (left < 0 ? settings_.timeoutSeconds == 0 : retryAfterSeconds_ * 1000 < left) {
            retry_.start(std::chrono::seconds(retryAfterSeconds_));
            if (OnHoldBack)
                OnHoldBack(retryAfterSeconds_);
            return;
        }
    }
    if (head_ && (answered ? outcome_.status == 405 || outcome_.status == 501 : noUsableAnswer))
        return begin(false); // HEAD refused, or answered with nothing usable: ask with GET
    if (!answered) {
        outcome_.status = 0;
        outcome_.failure = std::move(failure);
    }
    outcome_.finalUrl = current_;
    finish();
}

void HttpCheck::giveUp(std::string reason)
{
    release(true);
    outcome_.status = 0;
    outcome_.failure = std::move(reason);
    outcome_.finalUrl = current_;
    finish();
}

void HttpCheck::release(bool abandon)
{
    HttpConnection* const connection = std::exchange(connection_, nullptr);
    if (!connection)
        return;
    if (abandon)
        connection->abandon();
    connections_.giveBack(*connection);
}

void HttpCheck::finish()
{
    busy_ = false;
    deadline_.stop();
    retry_.stop();
    // The handler may start the next check, and assign OnDone anew, while it runs.
    if (const auto done = OnDone)
        done(std::move(outcome_));
}

} // namespace tarnby::check
