#include "httpprot/HttpCli.h"

#include "base/Text.h"
#include "httpprot/RequestHeader.h"
#include "httpprot/UrlRoutines.h"
#include "platform/net/MessageWindow.h"
#include "platform/net/WinsockErrors.h"
#include "wsocket/WSocket.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace httpprot {

namespace {

std::string ErrorText(int code)
{
    return WinsockErrorText(code) + " (Error #" + std::to_string(code) + ")";
}

// A socket report's message spans two lines; a reason phrase is one.
std::string OneLine(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, " - ");
    return text;
}

// Marks the client's own calls to its socket, each made inside a try block: a report raised
// meanwhile is thrown to that block, as a socket without OnError would throw it.
class SocketCall {
public:
    explicit SocketCall(int& depth) : depth_(depth) { ++depth_; }
    ~SocketCall() { --depth_; }
    SocketCall(const SocketCall&) = delete;
    SocketCall& operator=(const SocketCall&) = delete;

private:
    int& depth_;
};

const char* MethodName(THttpRequest request)
{
    switch (request) {
    case THttpRequest::Post:
        return "POST";
    case THttpRequest::Head:
        return "HEAD";
    default:
        return "GET";
    }
}

// Responses that never carry a body whatever their Content-Length says.
bool HasNoBody(THttpRequest request, int status)
{
    return request == THttpRequest::Head || (status >= 100 && status < 200) || status == 204 || status == 304;
}

} // namespace

THttpCli::THttpCli(QObject* owner)
    : QObject(owner)
    , window_(std::make_unique<platform::net::MessageWindow>(
          [this](unsigned message, platform::net::WPARAM wParam, platform::net::LPARAM lParam) {
              WindowProc(message, wParam, lParam);
          }))
    , socket_(std::make_unique<TWSocket>())
{
    socket_->OnDnsLookupDone = [this](TCustomWSocket*, std::uint16_t error) { SocketDnsLookupDone(error); };
    socket_->OnSessionConnected = [this](TCustomWSocket*, std::uint16_t error) { SocketSessionConnected(error); };
    socket_->OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { SocketDataAvailable(); };
    socket_->OnDataSent = [this](TCustomWSocket*, std::uint16_t) { SocketDataSent(); };
    socket_->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t error) { SocketSessionClosed(error); };
    socket_->OnError = [this](TCustomWSocket*) { SocketReported(); };
}

THttpCli::~THttpCli()
{
    *alive_ = false;
    socket_->OnDnsLookupDone = nullptr;
    socket_->OnSessionConnected = nullptr;
    socket_->OnDataAvailable = nullptr;
    socket_->OnDataSent = nullptr;
    socket_->OnSessionClosed = nullptr;
    socket_->OnError = nullptr;
    socket_.reset();
    window_.reset();
}

void THttpCli::SetMultiThreaded(bool value)
{
    multiThreaded_ = value;
    socket_->SetMultiThreaded(value);
}

void THttpCli::Get() { SyncRequest(THttpRequest::Get); }
void THttpCli::Post() { SyncRequest(THttpRequest::Post); }
void THttpCli::Head() { SyncRequest(THttpRequest::Head); }
void THttpCli::GetASync() { StartRequest(THttpRequest::Get); }
void THttpCli::PostASync() { StartRequest(THttpRequest::Post); }
void THttpCli::HeadASync() { StartRequest(THttpRequest::Head); }

void THttpCli::SyncRequest(THttpRequest request)
{
    StartRequest(request);
    // Sleeps in the event loop until something arrives; window commands (Abort among them)
    // run meanwhile. The component may be destroyed by one of them.
    const std::shared_ptr<bool> alive = alive_;
    while (*alive && state_ != THttpState::Ready)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!*alive)
        throw EHttpException("HTTP component was destroyed during the request", 404);
    if (statusCode_ >= 400)
        throw EHttpException(reasonPhrase_, statusCode_);
}

void THttpCli::StartRequest(THttpRequest request)
{
    if (state_ != THttpState::Ready)
        throw EHttpException("HTTP component is busy", 1);
    if (request == THttpRequest::Post && postStream_ == nullptr)
        throw EHttpException("HTTP component has nothing to post", 2);

    responseHeader_.clear();
    requestType_ = request;
    requestDoneError_ = 0;
    closedHandler_ = ClosedHandler::Normal;
    documentName_.clear();
    statusCode_ = 0;
    reasonPhrase_.clear();
    receivedCount_ = 0;
    sentCount_ = 0;
    headerLineCount_ = 0;
    bodyChunkCount_ = 0;
    postAllowed_ = false;
    relocation_ = false;
    credentialsDropped_ = false;
    reconnectPending_ = false;
    ending_ = false;
    receive_.clear();
    SetState(THttpState::Connecting);

    target_ = TargetForUrl(url_, proxy_, proxyPort_);
    if (!target_.user.empty())
        username_ = target_.user;
    if (!target_.password.empty())
        password_ = target_.password;
    documentName_ = target_.documentName;
    ConnectPhase();
}

void THttpCli::ConnectPhase()
{
    // An Abort from an OnStateChange or OnLocationChange handler has already ended the request.
    if (state_ == THttpState::Aborting || ending_)
        return;
    contentType_.clear();
    contentLength_ = -1;
    tunnel_ = Tunnel::None;
    tunnelStatusSeen_ = false;
    SetState(THttpState::DnsLookup);
    try {
        const SocketCall call(socketCalls_);
        socket_->DnsLookup(target_.hostName);
    } catch (const std::exception&) {
        // An empty host name, or a look-up that cannot start.
        if (state_ == THttpState::DnsLookup)
            SocketDnsLookupDone(platform::net::WSAHOST_NOT_FOUND);
    }
}

void THttpCli::SetState(THttpState state)
{
    state_ = state;
    if (OnStateChange)
        OnStateChange(this);
    if (state == THttpState::Ready)
        window_->post(WM_REQUEST_DONE, static_cast<platform::net::WPARAM>(requestType_), requestDoneError_);
}

void THttpCli::WindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case WM_SET_READY:
        SetState(THttpState::Ready);
        break;
    case WM_REQUEST_DONE:
        // The values of the request that ended, even when the next one has started since.
        if (OnRequestDone)
            OnRequestDone(this, static_cast<THttpRequest>(wParam), static_cast<int>(lParam));
        break;
    case WM_RECONNECT:
        reconnectPending_ = false;
        if (state_ == THttpState::Aborting)
            ConnectionClosed();
        else
            ConnectPhase();
        break;
    default:
        break;
    }
}

void THttpCli::SocketDnsLookupDone(std::uint16_t error)
{
    if (state_ == THttpState::Aborting || ending_)
        return;
    if (error != 0) {
        statusCode_ = 404;
        reasonPhrase_ = "can't resolve hostname to IP address";
        ConnectionClosed();
        return;
    }
    SetState(THttpState::Connecting);
    try {
        const SocketCall call(socketCalls_);
        socket_->SetAddr(socket_->DnsResult());
        socket_->SetPort(target_.port);
        socket_->SetProto("tcp");
    } catch (const std::exception& e) {
        requestDoneError_ = platform::net::WSAGetLastError();
        statusCode_ = 404;
        reasonPhrase_ = "can't connect: " + OneLine(e.what());
        ConnectionClosed();
        return;
    }
    try {
        const SocketCall call(socketCalls_);
        socket_->Connect();
    } catch (const std::exception&) {
        const int n = socket_->LastError();
        requestDoneError_ = n;
        statusCode_ = 404;
        reasonPhrase_ = "can't connect: " + ErrorText(n);
        try {
            const SocketCall call(socketCalls_);
            socket_->Close();
        } catch (const std::exception&) {
            // The handle is gone either way; the request ends below.
        }
        ConnectionClosed();
        return;
    }
    if (target_.tls && !target_.viaProxy)
        StartTls();
}

// Secures the connection: right after Connect (the handshake's end is the session's
// connection event), or in a proxy's tunnel once it stands.
void THttpCli::StartTls()
{
    try {
        const SocketCall call(socketCalls_);
        socket_->StartTls({target_.targetHost, caCertFile_});
    } catch (const std::exception& e) {
        FailRequest(OneLine(e.what()));
    }
}

std::string THttpCli::SocketFailureText(std::uint16_t error) const
{
    const std::string tls = socket_->TlsFailure();
    return tls.empty() ? ErrorText(error) : tls;
}

void THttpCli::SocketSessionConnected(std::uint16_t error)
{
    if (state_ == THttpState::Aborting || ending_)
        return;
    if (error != 0) {
        statusCode_ = 404;
        reasonPhrase_ = SocketFailureText(error);
        ConnectionClosed();
        return;
    }
    if (target_.tls && target_.viaProxy && tunnel_ == Tunnel::None) {
        tunnel_ = Tunnel::Requested;
        try {
            SendTunnelRequest();
        } catch (const std::exception& e) {
            FailRequest(std::string("can't send the request: ") + OneLine(e.what()));
        }
        return;
    }
    connected_ = true;
    SetState(THttpState::WaitingHeader);
    try {
        SendRequest();
    } catch (const std::exception& e) {
        FailRequest(std::string("can't send the request: ") + OneLine(e.what()));
    }
}

void THttpCli::SendTunnelRequest()
{
    const std::string authority = TunnelAuthority(target_);
    std::string request = "CONNECT " + authority + " HTTP/1.0\r\nHost: " + authority + "\r\n";
    if (!proxyUsername_.empty())
        request += "Proxy-Authorization: Basic " + EncodeBase64(proxyUsername_ + ":" + proxyPassword_) + "\r\n";
    request += "\r\n";
    const SocketCall call(socketCalls_);
    socket_->Send(request.data(), static_cast<int>(request.size()));
}

// The proxy's answer to CONNECT: a 2xx status line, header lines, a blank line; then the
// connection is the origin's.
void THttpCli::TunnelLineReceived(const std::string& line)
{
    if (!tunnelStatusSeen_) {
        tunnelStatusSeen_ = true;
        const HeaderLine h = ReadHeaderLine(line);
        if (h.kind != HeaderLine::Kind::Status || h.statusCode < 200 || h.statusCode > 299)
            FailRequest("the proxy refused the tunnel to " + TunnelAuthority(target_) + ": " + line);
        return;
    }
    if (!line.empty())
        return;
    tunnel_ = Tunnel::Handshaking;
    receive_.clear();
    StartTls();
}

void THttpCli::SendRequest()
{
    RequestHeaderSettings s;
    s.method = MethodName(requestType_);
    s.path = RequestUri(target_);
    s.sender = sender_;
    s.reference = reference_;
    s.contentTypePost = contentTypePost_;
    s.agent = agent_;
    s.targetHost = target_.targetHost;
    s.noCache = noCache_;
    if (requestType_ == THttpRequest::Post)
        s.postSize = postStream_->size();
    s.modifiedSince = modifiedSince_;
    if (!credentialsDropped_) {
        s.username = username_;
        s.password = password_;
        s.cookie = cookie_;
    }
    s.viaProxy = target_.viaProxy && !target_.tls; // a tunnel's credentials went with CONNECT
    s.proxyUsername = proxyUsername_;
    s.proxyPassword = proxyPassword_;

    if (OnHeaderBegin)
        OnHeaderBegin(this);
    for (std::string& line : RequestHeaderLines(s)) {
        if (OnCommand)
            OnCommand(this, line);
        headerStream_.write(line);
        headerStream_.write("\r\n");
    }
    if (OnHeaderEnd)
        OnHeaderEnd(this);
    const std::string& header = headerStream_.data();
    {
        const SocketCall call(socketCalls_);
        socket_->Send(header.data(), static_cast<int>(header.size()));
    }
    headerStream_.clear();

    if (requestType_ == THttpRequest::Post) {
        if (OnSendBegin)
            OnSendBegin(this);
        postAllowed_ = true;
        SendNextPostBlock();
    }
}

void THttpCli::SocketDataSent()
{
    if (!postAllowed_)
        return;
    try {
        SendNextPostBlock();
    } catch (const std::exception& e) {
        FailRequest(std::string("can't send the request body: ") + OneLine(e.what()));
    }
}

void THttpCli::SendNextPostBlock()
{
    const std::size_t n = postStream_->read(sendBuffer_.data(), sendBuffer_.size());
    if (n == 0) {
        postAllowed_ = false;
        if (OnSendEnd)
            OnSendEnd(this);
        return;
    }
    sentCount_ += static_cast<std::int64_t>(n);
    if (OnSendData)
        OnSendData(this, sendBuffer_.data(), static_cast<int>(n));
    const SocketCall call(socketCalls_);
    socket_->Send(sendBuffer_.data(), static_cast<int>(n));
}

void THttpCli::SocketDataAvailable()
{
    if (ReceiveIntoDocument())
        return;
    const int n = socket_->Receive(receive_.writePointer(), static_cast<int>(receive_.freeCount()));
    if (state_ == THttpState::Ready || n <= 0)
        return;
    receive_.commit(static_cast<std::size_t>(n));
    // The socket would swallow an exception from a handler or from the document stream and
    // the request would go on without the bytes: end it with the reason instead.
    try {
        HandleReceived();
    } catch (const std::exception& e) {
        FailRequest(OneLine(e.what()));
    }
}

// Once a document has begun, its bytes go straight into a document stream that offers room
// for them, in reads larger than the receive buffer: no copy in between, and a fraction of the
// reads. Not while OnDocData watches: it sees the chunks as the receive buffer delivers them.
bool THttpCli::ReceiveIntoDocument()
{
    if (state_ != THttpState::WaitingBody || tunnel_ == Tunnel::Requested || bodyChunkCount_ == 0
        || !receive_.empty() || OnDocData || documentStream_ == nullptr)
        return false;
    try {
        const std::span<char> room = documentStream_->receiveRoom(DocumentReadSize);
        if (room.empty())
            return false;
        const int n = socket_->Receive(room.data(), static_cast<int>(room.size()));
        if (n <= 0)
            return true;
        documentStream_->commitReceived(static_cast<std::size_t>(n));
        ++bodyChunkCount_;
        receivedCount_ += n;
    } catch (const std::exception& e) {
        FailRequest(OneLine(e.what()));
    }
    return true;
}

void THttpCli::HandleReceived()
{
    std::string line;
    while (!receive_.empty()) {
        if (tunnel_ == Tunnel::Requested) {
            if (!receive_.takeLine(line))
                break;
            TunnelLineReceived(line);
            continue;
        }
        if (state_ == THttpState::WaitingBody) {
            const std::string_view chunk = receive_.contents();
            BodyChunk(chunk.data(), chunk.size());
            receive_.clear();
            return;
        }
        if (!receive_.takeLine(line))
            break;
        if (state_ == THttpState::WaitingHeader) {
            HeaderLineReceived(line);
        } else if (OnDataAvailable) {
            OnDataAvailable(this, 0);
        }
    }
    if (state_ != THttpState::WaitingHeader && tunnel_ != Tunnel::Requested) {
        receive_.clear();
    } else if (receive_.full()) {
        // No room left and no line end: more bytes could never be taken.
        FailRequest("response header line longer than " + std::to_string(ReceiveBuffer::MaxData) + " bytes");
    }
}

void THttpCli::HeaderLineReceived(const std::string& line)
{
    if (headerLineCount_ == 0 && OnHeaderBegin)
        OnHeaderBegin(this);
    ++headerLineCount_;
    if (line.empty()) {
        HeaderEnded();
        return;
    }
    responseHeader_.add(line);
    const HeaderLine h = ReadHeaderLine(line);
    switch (h.kind) {
    case HeaderLine::Kind::Malformed:
        FailRequest(h.error);
        return;
    case HeaderLine::Kind::Status:
        statusCode_ = h.statusCode;
        reasonPhrase_ = h.reasonPhrase;
        break;
    case HeaderLine::Kind::Field:
        if (h.name == "location") {
            if (!FollowLocation(h.value))
                return;
        } else if (h.name == "content-length") {
            const auto length = ParseContentLength(h.value);
            if (!length) {
                FailRequest("content length is not a number: \"" + h.value + "\"");
                return;
            }
            contentLength_ = *length;
        } else if (h.name == "content-type") {
            contentType_ = h.value;
        } else if (h.name == "www-authenticate") {
            authenticateList_.add(h.value);
        }
        break;
    case HeaderLine::Kind::Other:
        break;
    }
    if (OnHeaderData)
        OnHeaderData(this);
    // Nothing more is received; what is already buffered is still handled.
    if (statusCode_ >= 400 && socket_->State() != wsClosed) {
        const SocketCall call(socketCalls_);
        socket_->Close();
    }
}

bool THttpCli::FollowLocation(const std::string& value)
{
    switch (ApplyLocation(value, target_)) {
    case LocationVerdict::SameOrigin:
        break;
    case LocationVerdict::NewOrigin:
        // Another scheme, host or port is another party: what identified the user to the
        // first one must not reach it, least of all in plain text after an https page.
        credentialsDropped_ = true;
        break;
    case LocationVerdict::OtherScheme:
        FailRequest("relocation not followed: only http and https addresses are, not \""
                    + value.substr(0, 200) + "\"");
        return false;
    case LocationVerdict::ControlCharacters:
        FailRequest("relocation not followed: the address holds control characters");
        return false;
    }
    relocation_ = true;
    return true;
}

void THttpCli::HeaderEnded()
{
    if (relocation_) {
        // The rest of this answer belongs to the old address, not to the document.
        receive_.clear();
        closedHandler_ = ClosedHandler::Relocation;
        if (socket_->State() != wsClosed) {
            const SocketCall call(socketCalls_);
            socket_->Close();
        }
        return;
    }
    const std::size_t dot = LastPos(".", documentName_, -1);
    if (dot > 0 && base::LowerCase(documentName_.substr(dot - 1)) == ".exe" && contentType_ == "text/html")
        documentName_ = ChangeDocExt(documentName_, "htm");
    SetState(THttpState::WaitingBody);
    if (OnHeaderEnd)
        OnHeaderEnd(this);
}

void THttpCli::BodyChunk(const char* data, std::size_t length)
{
    if (bodyChunkCount_ == 0 && OnDocBegin)
        OnDocBegin(this);
    ++bodyChunkCount_;
    receivedCount_ += static_cast<std::int64_t>(length);
    if (OnDocData)
        OnDocData(this, data, static_cast<int>(length));
    if (documentStream_ != nullptr)
        documentStream_->write(data, length);
}

void THttpCli::SocketSessionClosed(std::uint16_t error)
{
    if (closedHandler_ == ClosedHandler::Relocation) {
        RelocationClosed();
        return;
    }
    // Without a Content-Length only an orderly close ends the document; after a reset it may
    // be cut short, and reporting it as received would pass on a truncated page.
    if (error != 0 && !ending_ && state_ == THttpState::WaitingBody && statusCode_ < 400 && contentLength_ < 0
        && !HasNoBody(requestType_, statusCode_)) {
        statusCode_ = 404;
        reasonPhrase_ = SocketFailureText(error);
        requestDoneError_ = error;
    }
    ConnectionClosed();
}

void THttpCli::RelocationClosed()
{
    connected_ = false;
    relocation_ = false;
    closedHandler_ = ClosedHandler::Normal;
    if (OnLocationChange)
        OnLocationChange(this);
    reconnectPending_ = true;
    window_->post(WM_RECONNECT, 0, 0);
}

void THttpCli::ConnectionClosed()
{
    if (ending_)
        return;
    ending_ = true;
    connected_ = false;
    CheckResponseComplete();
    if (bodyChunkCount_ > 0 && OnDocEnd) {
        try {
            OnDocEnd(this);
        } catch (const std::exception& e) {
            // Typically the document file could not be written out: the request has failed,
            // and it must still end.
            if (statusCode_ < 400) {
                statusCode_ = 404;
                reasonPhrase_ = OneLine(e.what());
            }
        }
    }
    window_->post(WM_SET_READY, 0, 0);
}

void THttpCli::CheckResponseComplete()
{
    if (state_ == THttpState::Aborting || statusCode_ >= 400)
        return;
    if (state_ == THttpState::WaitingHeader) {
        statusCode_ = 404;
        reasonPhrase_ = "connection closed before the end of the response header";
    } else if (state_ == THttpState::WaitingBody && contentLength_ >= 0
               && receivedCount_ < contentLength_ && !HasNoBody(requestType_, statusCode_)) {
        statusCode_ = 404;
        reasonPhrase_ = "document truncated: " + std::to_string(receivedCount_) + " of "
            + std::to_string(contentLength_) + " bytes arrived";
    }
}

void THttpCli::FailRequest(const std::string& reason)
{
    statusCode_ = 404;
    reasonPhrase_ = reason;
    receive_.clear();
    postAllowed_ = false;
    if (socket_->State() != wsClosed) {
        try {
            const SocketCall call(socketCalls_);
            socket_->Close();
        } catch (const std::exception&) {
            // Closing failed; the request ends all the same.
        }
    }
    ConnectionClosed();
}

void THttpCli::SocketReported()
{
    const std::string message = socket_->ErrorMessage();
    if (socketCalls_ > 0)
        throw ESocketException(message);
    // The socket's own work in the event loop failed (sending what is queued, closing after a
    // notification): no caller is on the stack to catch a report, so the request ends here.
    if (state_ == THttpState::Ready || ending_)
        return;
    if (requestDoneError_ == 0)
        requestDoneError_ = platform::net::WSAGetLastError();
    if (state_ == THttpState::Aborting)
        ConnectionClosed();
    else
        FailRequest(OneLine(message));
}

void THttpCli::Abort()
{
    if (state_ == THttpState::Ready) {
        const SocketCall call(socketCalls_); // a failed close raises to the caller
        if (socket_->State() != wsClosed)
            socket_->Close();
        return;
    }
    if (state_ == THttpState::Aborting)
        return;
    const THttpState was = state_;
    SetState(THttpState::Aborting);
    if (was == THttpState::DnsLookup) {
        try {
            const SocketCall call(socketCalls_);
            socket_->CancelDnsLookup();
        } catch (const std::exception&) {
            // The look-up's result is dropped either way.
        }
    }
    statusCode_ = 404;
    reasonPhrase_ = "Connection aborted on request";
    requestDoneError_ = 3;
    if (was != THttpState::DnsLookup && socket_->State() != wsClosed) {
        try {
            const SocketCall call(socketCalls_);
            socket_->Close(); // runs the connection-closed procedure
        } catch (const std::exception&) {
            ConnectionClosed();
        }
    } else if (!reconnectPending_) {
        ConnectionClosed(); // else WM_RECONNECT ends a request aborted between two hops
    }
}

} // namespace httpprot
