#pragma once
// THttpCli: one HTTP/1.0 request at a time (GET, POST or HEAD) over an asynchronous TWSocket,
// driven entirely by socket events and by messages posted to its own hidden window.
//
// Normal GET: Ready -> Connecting -> DnsLookup -> Connecting -> WaitingHeader -> WaitingBody ->
// (socket closed) -> Ready, with OnStateChange at each step. Request header: OnHeaderBegin,
// OnCommand per line, OnHeaderEnd. Response: OnHeaderBegin before its first line (once per
// request, not per hop), OnHeaderData per line, OnHeaderEnd; OnDocBegin, OnDocData per chunk,
// OnDocEnd; OnStateChange(Ready); then OnRequestDone, always from the event loop, after a
// synchronous Get has returned. A "location" answer inserts OnLocationChange and a new
// DnsLookup .. WaitingBody sequence; ResponseHeader gathers the header lines of every hop.
//
// Every request that is started ends with exactly one OnRequestDone. A request the client
// cannot complete (no such host, no connection, aborted, a response it cannot read, a document
// cut short) ends with StatusCode 404 and a ReasonPhrase that says what happened; a server's
// status of 400 or more is kept as the server sent it. Get raises EHttpException for both.
// A socket report never leaves through the event loop: one raised by the socket's own work
// there (sending what is queued, closing) fails the request with the report's text.
// A reset while a document without Content-Length arrives fails it: it may be cut short.
//
// "https" URLs go over TLS (port 443 by default), the certificate checked against the system's
// store and CaCertFile with the host name; a TLS failure ends the request with the reason
// ("certificate verify failed: self-signed certificate"), never with a retry in plain text.
// A relocation is followed to http and https addresses only; any other ends the request. One
// that leaves the origin (scheme, host or port) goes on without Authorization and Cookie.
// Through a proxy an https request first asks it for a tunnel ("CONNECT host:port"); the
// proxy's answer is not part of ResponseHeader.
#include "base/Exception.h"
#include "base/StringList.h"
#include "base/Streams.h"
#include "httpprot/RequestTarget.h"
#include "httpprot/ResponseHeader.h"

#include <QDateTime>
#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TWSocket;
namespace platform::net {
class MessageWindow;
}

namespace httpprot {

// Private messages to the client's own hidden window.
constexpr unsigned WM_REQUEST_DONE = 1025; // wParam: request type, lParam: RequestDoneError
constexpr unsigned WM_SET_READY = 1026;
constexpr unsigned WM_RECONNECT = 1027;

enum class THttpState { Ready = 0, Connecting = 1, DnsLookup = 2, WaitingHeader = 3, WaitingBody = 4, Aborting = 5 };
enum class THttpRequest { None = 0, Get = 1, Post = 2, Head = 3 };

// Codes: 1 "HTTP component is busy", 2 "HTTP component has nothing to post", or the status
// code (400 or more) of a failed request with its reason phrase.
class EHttpException : public base::Exception {
public:
    EHttpException(const std::string& message, int errorCode) : base::Exception(message, errorCode) {}
    int ErrorCode() const { return code(); }
};

class THttpCli;
using THttpNotify = std::function<void(THttpCli* Sender)>;
using THttpCommand = std::function<void(THttpCli* Sender, std::string& line)>;
using THttpData = std::function<void(THttpCli* Sender, const char* buffer, int length)>;
using THttpRequestDone = std::function<void(THttpCli* Sender, THttpRequest request, int error)>;
using THttpDataAvailable = std::function<void(THttpCli* Sender, int error)>;

class THttpCli : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t SendBufferSize = 8192;
    // The most one read takes straight into a document stream that offers room (see
    // base::Stream::receiveRoom).
    static constexpr std::size_t DocumentReadSize = 1024 * 1024;

    explicit THttpCli(QObject* owner = nullptr);
    ~THttpCli() override;

    // --- published properties (defaults: empty, false, null; ProxyPort "80",
    //     ContentTypePost "application/x-www-form-urlencoded") --------------------------
    const std::string& URL() const { return url_; }
    void SetURL(std::string value) { url_ = std::move(value); }
    // Proxy host, optionally with ":port"; empty means direct.
    const std::string& Proxy() const { return proxy_; }
    void SetProxy(std::string value) { proxy_ = std::move(value); }
    const std::string& ProxyPort() const { return proxyPort_; }
    void SetProxyPort(std::string value) { proxyPort_ = std::move(value); }
    const std::string& Sender() const { return sender_; }
    void SetSender(std::string value) { sender_ = std::move(value); }
    const std::string& Agent() const { return agent_; }
    void SetAgent(std::string value) { agent_ = std::move(value); }
    const std::string& Reference() const { return reference_; }
    void SetReference(std::string value) { reference_ = std::move(value); }
    // A user part in URL replaces these when a request starts, and stays.
    const std::string& Username() const { return username_; }
    void SetUsername(std::string value) { username_ = std::move(value); }
    const std::string& Password() const { return password_; }
    void SetPassword(std::string value) { password_ = std::move(value); }
    const std::string& ProxyUsername() const { return proxyUsername_; }
    void SetProxyUsername(std::string value) { proxyUsername_ = std::move(value); }
    const std::string& ProxyPassword() const { return proxyPassword_; }
    void SetProxyPassword(std::string value) { proxyPassword_ = std::move(value); }
    bool NoCache() const { return noCache_; }
    void SetNoCache(bool value) { noCache_ = value; }
    // Null: no If-Modified-Since. The fields are sent as they stand, followed by " GMT".
    const QDateTime& ModifiedSince() const { return modifiedSince_; }
    void SetModifiedSince(QDateTime value) { modifiedSince_ = std::move(value); }
    const std::string& Cookie() const { return cookie_; }
    void SetCookie(std::string value) { cookie_ = std::move(value); }
    // An extra trusted CA certificate file (PEM) for https; empty: the system's store only.
    const std::string& CaCertFile() const { return caCertFile_; }
    void SetCaCertFile(std::string value) { caCertFile_ = std::move(value); }
    const std::string& ContentTypePost() const { return contentTypePost_; }
    void SetContentTypePost(std::string value) { contentTypePost_ = std::move(value); }
    // Copied to the socket. Either way a synchronous request turns this thread's event loop.
    bool MultiThreaded() const { return multiThreaded_; }
    void SetMultiThreaded(bool value);

    // --- events (raised only when assigned) ----------------------------------------------
    THttpNotify OnHeaderData;
    THttpCommand OnCommand; // each request header line before it is queued; may change it
    THttpNotify OnHeaderBegin;
    THttpNotify OnHeaderEnd;
    THttpNotify OnDocBegin;
    THttpData OnDocData;
    THttpNotify OnDocEnd;
    THttpNotify OnSendBegin;
    THttpData OnSendData;
    THttpNotify OnSendEnd;
    THttpNotify OnStateChange;
    THttpRequestDone OnRequestDone;
    THttpNotify OnLocationChange;
    // Unpublished: a line received while no response is being read (it is dropped).
    THttpDataAvailable OnDataAvailable;

    // --- run-time properties ---------------------------------------------------------------
    THttpState State() const { return state_; }
    int StatusCode() const { return statusCode_; }
    const std::string& ReasonPhrase() const { return reasonPhrase_; }
    const std::string& DocumentName() const { return documentName_; }
    // Of the last response; empty / -1 when it had none.
    const std::string& ContentType() const { return contentType_; }
    std::int64_t ContentLength() const { return contentLength_; }
    // The non-empty header lines of every response of the request, status lines included.
    const base::StringList& ResponseHeader() const { return responseHeader_; }
    // Every "www-authenticate" value received; never cleared.
    const base::StringList& AuthenticateList() const { return authenticateList_; }
    // Not owned; may be null. The body is written to it as it arrives.
    base::Stream* DocumentStream() const { return documentStream_; }
    void SetDocumentStream(base::Stream* stream) { documentStream_ = stream; }
    // Not owned; required for POST, read from its current position, Content-Length its size.
    base::Stream* PostStream() const { return postStream_; }
    void SetPostStream(base::Stream* stream) { postStream_ = stream; }
    // Body bytes of the last response; request body bytes sent.
    std::int64_t RcvdCount() const { return receivedCount_; }
    std::int64_t SentCount() const { return sentCount_; }

    // --- operations ------------------------------------------------------------------------
    // Synchronous: start, turn the event loop until Ready, raise EHttpException for a status
    // of 400 or more. Raise codes 1 and 2 at once when the request cannot start.
    void Get();
    void Post();
    void Head();
    // Asynchronous: start and return; OnRequestDone reports the end.
    void GetASync();
    void PostASync();
    void HeadASync();
    void Abort();

    TWSocket* Socket() const { return socket_.get(); }

private:
    enum class ClosedHandler { Normal, Relocation };
    enum class Tunnel { None, Requested, Handshaking };

    void StartRequest(THttpRequest request);
    void SyncRequest(THttpRequest request);
    void ConnectPhase();
    void SetState(THttpState state);
    void WindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    void SocketDnsLookupDone(std::uint16_t error);
    void SocketSessionConnected(std::uint16_t error);
    void SocketDataAvailable();
    void SocketDataSent();
    void SocketSessionClosed(std::uint16_t error);

    void StartTls();
    void SendTunnelRequest();
    void TunnelLineReceived(const std::string& line);
    std::string SocketFailureText(std::uint16_t error) const;
    void SendRequest();
    void SendNextPostBlock();
    bool ReceiveIntoDocument();
    void HandleReceived();
    void HeaderLineReceived(const std::string& line);
    void HeaderEnded();
    // Moves the target to a "location" value; false when the request failed instead.
    bool FollowLocation(const std::string& value);
    void BodyChunk(const char* data, std::size_t length);
    void ConnectionClosed();
    void RelocationClosed();
    void CheckResponseComplete();
    void FailRequest(const std::string& reason);
    void SocketReported();

    std::string url_, proxy_, proxyPort_ = "80", sender_, agent_, reference_;
    std::string username_, password_, proxyUsername_, proxyPassword_, cookie_, caCertFile_;
    std::string contentTypePost_ = "application/x-www-form-urlencoded";
    bool noCache_ = false;
    QDateTime modifiedSince_;
    bool multiThreaded_ = false;

    THttpState state_ = THttpState::Ready;
    int statusCode_ = 0;
    std::string reasonPhrase_;
    std::string documentName_;
    std::string contentType_;
    std::int64_t contentLength_ = -1;
    base::StringList responseHeader_;
    base::StringList authenticateList_;
    base::Stream* documentStream_ = nullptr;
    base::Stream* postStream_ = nullptr;

    THttpRequest requestType_ = THttpRequest::None;
    RequestTarget target_;
    int requestDoneError_ = 0;
    int headerLineCount_ = 0;
    int bodyChunkCount_ = 0;
    std::int64_t receivedCount_ = 0;
    std::int64_t sentCount_ = 0;
    bool relocation_ = false;
    // Set by a relocation to another origin: Authorization and Cookie stay behind for the
    // rest of the request (the properties keep their values for the next one).
    bool credentialsDropped_ = false;
    bool reconnectPending_ = false;
    bool connected_ = false;
    bool postAllowed_ = false;
    bool ending_ = false; // the connection-closed procedure ran; WM_SET_READY is on its way
    int socketCalls_ = 0; // the client's own socket calls in progress; 0 inside the socket's dispatch
    ClosedHandler closedHandler_ = ClosedHandler::Normal;
    Tunnel tunnel_ = Tunnel::None;
    bool tunnelStatusSeen_ = false;
    ReceiveBuffer receive_;
    std::array<char, SendBufferSize> sendBuffer_{};
    base::MemoryStream headerStream_;

    std::unique_ptr<platform::net::MessageWindow> window_;
    std::unique_ptr<TWSocket> socket_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace httpprot
