// Construction, properties, the hidden window's message handling, the data-available loop,
// state changes, reports and event triggers.
#include "wsocket/WSocket.h"

#include "wsocket/SocketProcess.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace net = platform::net;

TCustomWSocket::TCustomWSocket(QObject* owner)
    : QObject(owner),
      window_(std::make_unique<net::MessageWindow>(
          [this](unsigned message, net::WPARAM wParam, net::LPARAM lParam) { WindowProc(message, wParam, lParam); }))
{
    TCustomWSocket::ResetToDefaults();
    SocketCreated();
    StartWinsock("wsock32.dll");
}

TCustomWSocket::~TCustomWSocket()
{
    destroying_ = true;
    // Nothing may escape a destructor: with no OnError handler a report would be an exception.
    try {
        CancelDnsLookup();
        if (state_ != wsClosed)
            Close();
    } catch (const std::exception&) {
    }
    if (handle_ != INVALID_SOCKET)
        net::closesocket(handle_);
    SocketDestroyed();
    window_->setHandler({});
}

void TCustomWSocket::ResetToDefaults()
{
    sin_ = sockaddr_in{};
    sin_.sin_family = AF_INET;
    addrFamily_ = AF_INET;
    portAssigned_ = false;
    addrAssigned_ = false;
    protoAssigned_ = true;
    proto_ = IPPROTO_TCP;
    protoStr_ = "tcp";
    type_ = SOCK_STREAM;
    lingerOnOff_ = wsLingerOn;
    lingerTimeout_ = 0;
    handle_ = INVALID_SOCKET;
    state_ = wsClosed;
    awaitedState_ = wsInvalidState;
    allSent_ = true;
    lineReceived_ = false; // the text stays: a ReadLine ended by the close still returns it
    paused_ = false;
    readCount_ = 0;
    closeReported_ = false;
    flushTimeout_ = 60;
}

std::int32_t TCustomWSocket::RcvdCount()
{
    unsigned long waiting = 0;
    if (net::ioctlsocket(handle_, net::IoctlCommand::Fionread, &waiting) == SOCKET_ERROR) {
        SocketError("ioctlSocket");
        return -1;
    }
    return static_cast<std::int32_t>(waiting);
}

void TCustomWSocket::SetWaitCtrl(TWaitControl* control)
{
    QObject::disconnect(waitCtrlGone_);
    waitCtrl_ = control;
    if (control)
        waitCtrlGone_ = connect(control->WaitObject(), &QObject::destroyed, this, [this] { waitCtrl_ = nullptr; });
}

TSocketSendFlags TCustomWSocket::SendFlags()
{
    if (sendFlags_ == 0)
        return wsSendNormal;
    if (sendFlags_ == MSG_OOB)
        return wsSendUrgent;
    ReportError("Invalid internal SendFlags");
    return wsSendNormal;
}

void TCustomWSocket::SetSendFlags(int flags)
{
    if (flags == wsSendNormal)
        sendFlags_ = 0;
    else if (flags == wsSendUrgent)
        sendFlags_ = MSG_OOB;
    else
        ReportError("Invalid SendFlags");
}

void TCustomWSocket::WindowProc(unsigned message, net::WPARAM wParam, net::LPARAM lParam)
{
    if (message == WM_SOCKET_EVENT)
        HandleSocketEvent(wParam, lParam);
    else if (message == WM_HOST_LOOKUP_DONE)
        HandleHostLookupDone(wParam, lParam);
}

void TCustomWSocket::HandleSocketEvent(net::WPARAM wParam, net::LPARAM lParam)
{
    if (handle_ == INVALID_SOCKET || wParam != static_cast<net::WPARAM>(handle_) || paused_)
        return;
    const unsigned events = net::WSAGETSELECTEVENT(lParam);
    const auto error = static_cast<std::uint16_t>(net::WSAGETSELECTERROR(lParam));

    if (events & net::FD_CONNECT) {
        if (state_ != wsConnected) // a TLS handshake on a connected socket changes nothing
            ChangeState(wsConnected);
        TriggerSessionConnected(error);
        if (error != 0 && state_ != wsClosed)
            Close();
    }
    if (events & net::FD_READ)
        DataAvailableLoop(error);
    if (events & net::FD_WRITE) {
        TryToSend();
        if (allSent_ && OnDataSent)
            TriggerDataSent(error);
    }
    if (events & net::FD_ACCEPT)
        TriggerSessionAvailable(error);
    if ((events & net::FD_CLOSE) && state_ != wsConnecting) {
        DataAvailableLoop(error);
        if (lineReceived_) {
            lineReceived_ = false;
            StopWaitCtrl();
        }
        if (OnSessionClosed && !closeReported_) {
            closeReported_ = true;
            TriggerSessionClosed(error);
        }
        if (state_ != wsClosed)
            Close();
    }
}

// Drains what is readable in one go. A pass that consumes nothing ends the loop: the bytes
// stay queued, and the next notification comes once the program reads again, so a handler
// that never reads cannot spin here or starve the event loop. Consumed means ReadCount grew,
// or fewer bytes wait than after the previous pass (a handler reading the handle directly).
// A plain connection's pass that read needs no question either: a short last read emptied
// the kernel's queue (the loop ends, and the next bytes bring a new notification), a full one
// is followed by another pass, whose read finds more or ends the loop with would-block.
void TCustomWSocket::DataAvailableLoop(std::uint16_t error)
{
    bool firstPass = true;
    unsigned long waitingBefore = 0;
    for (;;) {
        const std::int32_t readBefore = readCount_;
        lastError_ = 0;
        lastReadShort_ = false;
        try {
            if (lineReceived_)
                ReadLineChars();
            else if (!TriggerDataAvailable(error))
                return;
        } catch (...) {
            return; // handler and line-reader failures end the loop; the socket keeps its state
        }
        if (lastError_ != 0)
            return;
        if (readCount_ != readBefore && handle_ != tlsHandle_) {
            if (lastReadShort_)
                return;
            firstPass = false; // a full read: the next pass reads again, and stops at would-block
            continue;
        }
        unsigned long waiting = 0;
        if (net::ioctlsocket(handle_, net::IoctlCommand::Fionread, &waiting) == SOCKET_ERROR) {
            lastError_ = net::WSAGetLastError();
            return;
        }
        if (waiting == 0)
            return;
        if (readCount_ == readBefore && (firstPass || waiting >= waitingBefore))
            return;
        firstPass = false;
        waitingBefore = waiting;
    }
}

void TCustomWSocket::ChangeState(TSocketState newState)
{
    const TSocketState oldState = state_;
    state_ = newState;
    TriggerChangeState(oldState, newState);
    if (!multiThreaded_ && waitCtrl_
        && (newState == awaitedState_ || (awaitedState_ == wsConnected && newState == wsClosed)))
        waitCtrl_->Stop();
}

void TCustomWSocket::StopWaitCtrl()
{
    if (!multiThreaded_ && waitCtrl_)
        waitCtrl_->Stop();
}

void TCustomWSocket::ReportError(const std::string& message)
{
    errorMessage_ = message;
    if (OnError)
        TriggerError();
    else
        throw ESocketException(message);
}

void TCustomWSocket::ReportErrorFmt(const char* format, int number)
{
    char text[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, format, number);
#pragma GCC diagnostic pop
    ReportError(text);
}

void TCustomWSocket::ReportErrorFmt(const char* format, const std::string& text, int number)
{
    const int needed = std::snprintf(nullptr, 0, "%s", text.c_str()) + 64 + static_cast<int>(std::strlen(format));
    std::string message(static_cast<std::size_t>(needed), '\0');
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int written = std::snprintf(message.data(), message.size(), format, text.c_str(), number);
#pragma GCC diagnostic pop
    message.resize(static_cast<std::size_t>(std::max(written, 0)));
    ReportError(message);
}

void TCustomWSocket::SocketError(const std::string& functionName)
{
    const int code = net::WSAGetLastError();
    const std::string message =
        "Error " + std::to_string(code) + " in function " + functionName + "\r\n" + WinsockErrorText(code);
    if (code == net::WSAECONNRESET || code == net::WSAENOTCONN) {
        if (handle_ != INVALID_SOCKET)
            net::closesocket(handle_);
        handle_ = INVALID_SOCKET;
        connectionToken_.reset();
        DiscardSendQueue();
        if (state_ != wsClosed)
            ChangeState(wsClosed);
    }
    ReportError(message);
}

bool TCustomWSocket::TriggerDataAvailable(std::uint16_t error)
{
    if (!OnDataAvailable)
        return false;
    OnDataAvailable(this, error);
    return true;
}

void TCustomWSocket::TriggerSessionAvailable(std::uint16_t error)
{
    if (OnSessionAvailable)
        OnSessionAvailable(this, error);
}

void TCustomWSocket::TriggerSessionConnected(std::uint16_t error)
{
    if (OnSessionConnected)
        OnSessionConnected(this, error);
}

void TCustomWSocket::TriggerSessionClosed(std::uint16_t error)
{
    if (OnSessionClosed)
        OnSessionClosed(this, error);
}

void TCustomWSocket::TriggerDataSent(std::uint16_t error)
{
    if (OnDataSent)
        OnDataSent(this, error);
}

void TCustomWSocket::TriggerChangeState(TSocketState oldState, TSocketState newState)
{
    if (OnChangeState)
        OnChangeState(this, oldState, newState);
}

void TCustomWSocket::TriggerDnsLookupDone(std::uint16_t error)
{
    if (OnDnsLookupDone)
        OnDnsLookupDone(this, error);
}

void TCustomWSocket::TriggerError()
{
    if (OnError)
        OnError(this);
}
