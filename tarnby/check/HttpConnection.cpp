#include "tarnby/check/HttpConnection.h"

#include "platform/net/WinsockErrors.h"
#include "wsocket/WSocket.h"

#include <utility>

namespace tarnby::check {

namespace net = platform::net;

namespace {

constexpr std::size_t kReadSize = 32 * 1024;

// A socket report's message spans two lines; a result is one.
std::string OneLine(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, " - ");
    return text;
}

std::string ConnectFailure(std::uint16_t error)
{
    if (error == net::WSAECONNREFUSED)
        return "refused";
    if (error == net::WSAETIMEDOUT)
        return "timeout";
    return WinsockErrorText(error) + " (Error #" + std::to_string(error) + ")";
}

} // namespace

HttpConnection::HttpConnection(ConnectionTarget target, std::string caFile, QObject* parent)
    : QObject(parent), target_(std::move(target)), caFile_(std::move(caFile)), socket_(std::make_unique<TWSocket>())
{
    socket_->OnDnsLookupDone = [this](TCustomWSocket*, std::uint16_t error) { lookedUp(error); };
    socket_->OnSessionConnected = [this](TCustomWSocket*, std::uint16_t error) { connected(error); };
    socket_->OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { dataAvailable(); };
    socket_->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t error) { peerClosed(error); };
    socket_->OnError = [this](TCustomWSocket*) { socketReported(); };
}

HttpConnection::~HttpConnection()
{
    socket_->OnDnsLookupDone = nullptr;
    socket_->OnSessionConnected = nullptr;
    socket_->OnDataAvailable = nullptr;
    socket_->OnSessionClosed = nullptr;
    socket_->OnError = [](TCustomWSocket*) {}; // the socket's own close must not throw
}

void HttpConnection::send(std::string request, bool head)
{
    request_ = std::move(request);
    head_ = head;
    failure_.clear();
    fault_ = ResponseReader::Fault::None;
    failedSilently_ = false;
    received_ = 0;
    if (state_ == State::Idle) {
        state_ = State::Busy;
        sendRequest();
    } else if (state_ == State::Fresh) {
        state_ = State::Connecting;
        connectNow();
    } else {
        fail("connection closed");
    }
}

// Runs one call to the socket; what the socket reports meanwhile is returned, not raised.
template <typename Call>
static std::string Guarded(int& depth, std::string& reported, Call&& call)
{
    reported.clear();
    ++depth;
    call();
    --depth;
    return std::exchange(reported, {});
}

void HttpConnection::connectNow()
{
    if (!Guarded(socketCalls_, reported_, [this] { socket_->DnsLookup(target_.host); }).empty() && state_ == State::Connecting)
        fail("name not found");
}

void HttpConnection::lookedUp(std::uint16_t error)
{
    if (state_ != State::Connecting)
        return;
    if (error != 0)
        return fail("name not found");
    std::string why = Guarded(socketCalls_, reported_, [this] {
        socket_->SetAddr(socket_->DnsResult());
        socket_->SetPort(target_.port);
        socket_->SetProto("tcp");
    });
    if (!why.empty())
        return fail("can't connect: " + OneLine(why));
    why = Guarded(socketCalls_, reported_, [this] { socket_->Connect(); });
    if (!why.empty()) // refused at once, as loopback does
        return fail(socket_->LastError() != 0 ? ConnectFailure(static_cast<std::uint16_t>(socket_->LastError()))
                                              : "can't connect: " + OneLine(why));
    if (target_.tls && target_.tunnel.empty()) {
        why = Guarded(socketCalls_, reported_, [this] { socket_->StartTls({target_.tlsHost, caFile_}); });
        if (!why.empty())
            fail(OneLine(why));
    }
}

void HttpConnection::connected(std::uint16_t error)
{
    if (state_ != State::Connecting && state_ != State::Tunnelling)
        return;
    if (error != 0) {
        const std::string tls = socket_->TlsFailure();
        return fail(tls.empty() ? ConnectFailure(error) : tls);
    }
    if (!target_.tunnel.empty() && !tunnelUp_) {
        state_ = State::Tunnelling;
        reader_.start(true);
        const std::string ask = "CONNECT " + target_.tunnel + " HTTP/1.1\r\nHost: " + target_.tunnel + "\r\n\r\n";
        const std::string why = Guarded(socketCalls_, reported_, [&] { socket_->Send(ask.data(), static_cast<int>(ask.size())); });
        if (!why.empty())
            fail(OneLine(why));
        return;
    }
    state_ = State::Busy;
    sendRequest();
}

void HttpConnection::sendRequest()
{
    reader_.start(head_);
    const std::string why =
        Guarded(socketCalls_, reported_, [this] { socket_->Send(request_.data(), static_cast<int>(request_.size())); });
    if (!why.empty())
        fail(OneLine(why));
}

void HttpConnection::dataAvailable()
{
    char buffer[kReadSize];
    const int n = socket_->Receive(buffer, static_cast<int>(sizeof buffer));
    if (n > 0)
        return consume(std::string_view(buffer, static_cast<std::size_t>(n)));
    if (n < 0 && socket_->LastError() != net::WSAEWOULDBLOCK)
        peerClosed(static_cast<std::uint16_t>(socket_->LastError()));
}

void HttpConnection::consume(std::string_view bytes)
{
    if (state_ == State::Tunnelling) {
        const std::size_t used = reader_.feed(bytes);
        if (reader_.stage() == ResponseReader::Stage::Failed || (reader_.stage() == ResponseReader::Stage::Done && used < bytes.size()))
            return fail("the proxy refused the tunnel to " + target_.tunnel + ": " + reader_.failure());
        if (reader_.stage() == ResponseReader::Stage::Done)
            tunnelAnswered();
        return;
    }
    if (state_ != State::Busy && state_ != State::Draining)
        return close(); // nothing was asked: a server that talks out of turn is not trusted again
    received_ += static_cast<std::int64_t>(bytes.size());
    if (state_ == State::Busy && reader_.stage() == ResponseReader::Stage::Header) {
        bytes.remove_prefix(reader_.feed(bytes));
        if (reader_.stage() == ResponseReader::Stage::Failed)
            return fail(reader_.failure(), reader_.fault());
        if (reader_.stage() == ResponseReader::Stage::Header)
            return;
        // The header has ended: is the body wanted?
        const auto header = OnHeader;
        wantBody_ = header && header(reader_);
        if (state_ != State::Busy)
            return; // the handler abandoned the exchange
        if (!wantBody_ && reader_.stage() == ResponseReader::Stage::Body) {
            const std::int64_t left = reader_.bodyLeft();
            if (!reader_.keepAlive() || left < 0 || left > kDrainLimit) {
                // A body of unknown or large size: what has arrived is read; one that ends
                // there keeps the connection, any other closes it.
                reader_.feed(bytes);
                if (!reader_.keepAlive() || reader_.stage() != ResponseReader::Stage::Done)
                    state_ = State::Closed;
                return exchangeOver();
            }
            state_ = State::Draining; // a small body is read out, and dropped
        }
    }
    if (state_ == State::Draining) {
        bytes.remove_prefix(reader_.feed(bytes));
    } else if (reader_.stage() == ResponseReader::Stage::Body) {
        bytes.remove_prefix(reader_.feed(bytes, [this](std::string_view piece) {
            if (const auto body = state_ == State::Busy ? OnBody : nullptr)
                body(piece);
        }));
        if (state_ == State::Closed)
            return; // OnBody abandoned the exchange
    }
    if (reader_.stage() == ResponseReader::Stage::Failed)
        return fail(reader_.failure(), reader_.fault());
    if (reader_.stage() == ResponseReader::Stage::Done) {
        if (!bytes.empty())
            state_ = State::Closed; // bytes past the end of the answer were never asked for
        exchangeOver();
    }
}

void HttpConnection::tunnelAnswered()
{
    if (reader_.status() < 200 || reader_.status() > 299)
        return fail("the proxy refused the tunnel to " + target_.tunnel + ": " + std::to_string(reader_.status()));
    tunnelUp_ = true;
    state_ = State::Connecting;
    const std::string why = Guarded(socketCalls_, reported_, [this] { socket_->StartTls({target_.tlsHost, caFile_}); });
    if (!why.empty())
        fail(OneLine(why));
}

void HttpConnection::exchangeOver()
{
    const bool keep = state_ != State::Closed && reader_.keepAlive();
    reused_ = true;
    if (keep)
        state_ = State::Idle;
    else
        close();
    raiseEnd();
}

void HttpConnection::peerClosed(std::uint16_t error)
{
    if (state_ == State::Busy || state_ == State::Draining) {
        reader_.endOfStream();
        if (reader_.stage() == ResponseReader::Stage::Done)
            return exchangeOver();
        if (error == net::WSAECONNRESET && received_ == 0)
            return fail("connection reset", ResponseReader::Fault::ClosedEarly);
        return fail(reader_.failure(), reader_.fault());
    }
    if (state_ == State::Connecting || state_ == State::Tunnelling)
        return fail(error != 0 ? ConnectFailure(error) : "connection closed before the answer", ResponseReader::Fault::ClosedEarly);
    close();
}

void HttpConnection::socketReported()
{
    if (socketCalls_ > 0)
        reported_ = socket_->ErrorMessage().empty() ? "socket error" : socket_->ErrorMessage();
    else
        fail(OneLine(socket_->ErrorMessage()));
}

void HttpConnection::fail(std::string why, ResponseReader::Fault fault)
{
    // While a body nobody wants is read out, the exchange has its answer: it ends well.
    const bool exchange = state_ == State::Connecting || state_ == State::Tunnelling || state_ == State::Busy
        || state_ == State::Draining;
    if (state_ != State::Draining) {
        failure_ = std::move(why);
        fault_ = fault;
        failedSilently_ = received_ == 0;
    }
    close();
    if (exchange)
        raiseEnd();
}

// The handler may give the connection back, which clears the handlers: it runs from a copy.
void HttpConnection::raiseEnd()
{
    if (const auto end = OnEnd)
        end();
}

void HttpConnection::abandon()
{
    close();
}

void HttpConnection::close()
{
    state_ = State::Closed;
    Guarded(socketCalls_, reported_, [this] {
        socket_->CancelDnsLookup();
        if (socket_->State() != wsClosed)
            socket_->Close();
    });
}

} // namespace tarnby::check
