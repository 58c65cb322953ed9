#pragma once
// TCustomWSocket / TWSocket: a non-blocking, event-driven IPv4 socket component. It owns a
// hidden message window; the platform posts socket notifications (WM_SOCKET_EVENT) and host
// look-up completions (WM_HOST_LOOKUP_DONE) to it, and every event fires on the owning
// thread from inside message dispatch. It never blocks except in Wait, ReadLine, Flush,
// WaitForClose (which turn the event loop) and in the synchronous resolution of SetAddr.
//
// Event order a client can rely on (stream socket):
// 1. DnsLookup of a dotted address fires OnDnsLookupDone(0) inside the call; of a name it
//    returns, and OnDnsLookupDone(error) follows from the event loop.
// 2. Connect: OnChangeState(wsClosed, wsOpened), OnChangeState(wsOpened, wsConnecting), return.
// 3. Success: OnChangeState(wsConnecting, wsConnected), OnSessionConnected(0). Failure:
//    OnChangeState(wsConnecting, wsConnected), OnSessionConnected(error),
//    OnChangeState(wsConnected, wsClosed), OnSessionClosed(0).
// 4. Send returns the queued count; OnDataSent(0) follows from the event loop, never inside
//    Send, once the queue has been found empty.
// 5. Incoming bytes: OnDataAvailable(0), repeated within one notification while bytes remain.
// 6. Peer close: remaining bytes through OnDataAvailable, OnSessionClosed(error), then
//    OnChangeState(wsConnected, wsClosed); no second OnSessionClosed.
// 7. Local Close: OnChangeState(..., wsClosed), OnSessionClosed(0) unless already delivered or
//    destroying, then the reset.
// 8. StartTls right after Connect: step 3 happens once the TLS handshake is over (error
//    10053 and TlsFailure() when it failed). StartTls on a connected socket: OnSessionConnected
//    fires again when its handshake is over, without a state change.
#include "platform/net/Winsock.h"
#include "wsocket/SendBuffer.h"
#include "wsocket/SocketAddress.h"
#include "wsocket/SocketErrors.h"
#include "wsocket/WaitControl.h"

#include "base/StringList.h"

#include <QObject>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/time.h>

using platform::net::SOCKET;
using platform::net::INVALID_SOCKET;
using platform::net::SOCKET_ERROR;

constexpr unsigned WM_SOCKET_EVENT = platform::net::WM_USER + 1;
constexpr unsigned WM_HOST_LOOKUP_DONE = platform::net::WM_USER + 2;

enum TSocketState : std::uint8_t {
    wsInvalidState = 0,
    wsOpened = 1,
    wsBound = 2,
    wsConnecting = 3,
    wsConnected = 4,
    wsAccepting = 5, // declared, never entered
    wsListening = 6,
    wsClosed = 7,
};

enum TSocketSendFlags { wsSendNormal = 0, wsSendUrgent = 1 };
enum TSocketLingerOnOff { wsLingerOff = 0, wsLingerOn = 1, wsLingerNoSet = 2 };

class TCustomWSocket;

using TDataAvailable = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;
using TDataSent = TDataAvailable;
using TSessionClosed = TDataAvailable;
using TSessionAvailable = TDataAvailable;
using TSessionConnected = TDataAvailable;
using TDnsLookupDone = TDataAvailable;
using TChangeState = std::function<void(TCustomWSocket* Sender, TSocketState OldState, TSocketState NewState)>;
using TSocketNotify = std::function<void(TCustomWSocket* Sender)>;

class TCustomWSocket : public QObject {
    Q_OBJECT
public:
    explicit TCustomWSocket(QObject* owner = nullptr);
    ~TCustomWSocket() override;

    // --- properties ---------------------------------------------------------------------
    // Addr, Port, Proto read back the text as last assigned (untrimmed). Assigning resolves
    // (see SocketAddress.h); the same text converts once, and again after every close.
    const std::string& Addr() const { return addrStr_; }
    void SetAddr(const std::string& text);
    const std::string& Port() const { return portStr_; }
    void SetPort(const std::string& text);
    const std::string& Proto() const { return protoStr_; }
    void SetProto(const std::string& text);

    const std::string& DnsResult() const { return dnsResult_; }
    const base::StringList& DnsResultList() const { return dnsResultList_; }
    TSocketState State() const { return state_; }
    std::int32_t ReadCount() const { return readCount_; }
    // Bytes waiting in the socket now; -1 (and a "ioctlSocket" report) when that fails.
    std::int32_t RcvdCount();
    int LastError() const { return lastError_; }
    // The text of the last report, also when it went to OnError (which gets no text).
    const std::string& ErrorMessage() const { return errorMessage_; }

    bool MultiThreaded() const { return multiThreaded_; }
    void SetMultiThreaded(bool value) { multiThreaded_ = value; }
    // Cleared automatically when the control is destroyed.
    TWaitControl* WaitCtrl() const { return waitCtrl_; }
    void SetWaitCtrl(TWaitControl* control);
    int FlushTimeout() const { return flushTimeout_; }
    void SetFlushTimeout(int seconds) { flushTimeout_ = seconds; }
    TSocketSendFlags SendFlags();
    void SetSendFlags(int flags); // anything but wsSendNormal / wsSendUrgent: "Invalid SendFlags"
    TSocketLingerOnOff LingerOnOff() const { return lingerOnOff_; }
    void SetLingerOnOff(TSocketLingerOnOff value) { lingerOnOff_ = value; }
    int LingerTimeout() const { return lingerTimeout_; }
    void SetLingerTimeout(int seconds) { lingerTimeout_ = seconds; }

    // --- events (raised only when assigned) --------------------------------------------
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSessionClosed OnSessionClosed;
    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TChangeState OnChangeState;
    TSocketNotify OnLineTooLong;
    TDnsLookupDone OnDnsLookupDone;
    TSocketNotify OnError;

    // --- operations ----------------------------------------------------------------------
    virtual void ResetToDefaults();
    virtual void Connect();
    virtual void Close();
    virtual void Abort();
    virtual void Flush();
    virtual void WaitForClose();
    virtual int Listen();                 // 0, or -1 on failure
    virtual SOCKET Accept();              // the new handle, or INVALID_SOCKET
    virtual int Receive(void* buffer, int size);
    virtual int ReceiveFrom(void* buffer, int size, sockaddr_in& from, int& fromLength);
    virtual int Send(const void* data, int length); // bytes queued, or -1
    virtual int SendStr(const std::string& text);
    virtual void DnsLookup(const std::string& hostName);
    virtual void CancelDnsLookup();
    virtual std::string GetPeerAddr();
    virtual int GetPeerSockAddr(sockaddr_in& address, int length);
    virtual std::string GetLocalPort();
    virtual bool TimevalIsSet(const timeval& tv) const;
    virtual void TimevalClear(timeval& tv) const;
    virtual bool TimevalEqual(const timeval& a, const timeval& b, bool wantEqual) const;
    virtual bool Wait(int timeoutSeconds, TSocketState state);
    virtual void ReadLine(int timeoutSeconds, std::string& line);
    virtual int GetLocalSockAddr(sockaddr_in& address, int& length);
    virtual void Dup(SOCKET newHandle);
    virtual int Shutdown(int how);
    virtual int Pause();
    virtual int Resume();
    // TLS for this connection (see rule 8 above); a failure to start is reported.
    virtual void StartTls(const platform::net::TlsOptions& options);
    // Why TLS failed on the open connection; empty when it did not.
    std::string TlsFailure() const;

    // What the Addr, Port and Proto texts converted to (host order for the port).
    std::uint16_t PortNumber() const { return portNum_; }
    std::uint16_t LocalPortNumber() const { return localPortNum_; }
    int ProtocolNumber() const { return proto_; }
    int SocketType() const { return type_; } // SOCK_STREAM or SOCK_DGRAM
    const sockaddr_in& AddressRecord() const { return sin_; }

    SOCKET Handle() const { return handle_; }
    SOCKET AcceptedHandle() const { return acceptedHandle_; }
    // The hidden window; never null.
    platform::net::MessageWindow* Window() const { return window_.get(); }

protected:
    virtual std::uint16_t BindToAnyPort();
    virtual void ReportErrorFmt(const char* format, int number);
    virtual void ReportErrorFmt(const char* format, const std::string& text, int number);
    virtual void ReportError(const std::string& message);
    virtual bool TriggerDataAvailable(std::uint16_t error);
    virtual void TriggerSessionAvailable(std::uint16_t error);
    virtual void TriggerSessionConnected(std::uint16_t error);
    virtual void TriggerSessionClosed(std::uint16_t error);
    virtual void TriggerDataSent(std::uint16_t error);
    virtual void TriggerChangeState(TSocketState oldState, TSocketState newState);
    virtual void TriggerDnsLookupDone(std::uint16_t error);
    virtual void TriggerError();

    void SocketError(const std::string& functionName);
    void ChangeState(TSocketState newState);
    void TryToSend();
    void QueueSendData(const void* data, int length);
    bool Destroying() const { return destroying_; }

private:
    void WindowProc(unsigned message, platform::net::WPARAM wParam, platform::net::LPARAM lParam);
    void HandleSocketEvent(platform::net::WPARAM wParam, platform::net::LPARAM lParam);
    void HandleHostLookupDone(platform::net::WPARAM wParam, platform::net::LPARAM lParam);
    void DataAvailableLoop(std::uint16_t error);
    void ReadLineStart();
    void ReadLineChars();
    void EndLine();
    void StopWaitCtrl();
    void InternalClose(bool withShutdown);
    void DiscardSendQueue();
    void ApplyLinger();
    void ProcessPendingMessages();
    void ProcessApplicationMessages();
    // Turns the event loop, asleep between events, until done() or the time is up.
    bool WaitMultiThreaded(int timeoutSeconds, const std::function<bool()>& done, int extraMs = 0);
    void RunWaitCtrl(int timeoutSeconds);

    SOCKET handle_ = INVALID_SOCKET;
    bool portAssigned_ = false;
    bool addrAssigned_ = false;
    bool protoAssigned_ = false;
    std::string protoStr_;
    std::string addrStr_;
    std::string portStr_;
    std::uint16_t portNum_ = 0;
    std::uint16_t localPortNum_ = 0;
    int proto_ = 0;
    int type_ = 0;
    std::string dnsResult_;
    base::StringList dnsResultList_;
    int addrFamily_ = AF_INET;
    SOCKET acceptedHandle_ = INVALID_SOCKET;
    TSocketState state_ = wsClosed;
    int flushTimeout_ = 60;
    std::deque<std::unique_ptr<TBuffer>> bufferList_;
    const std::int32_t bufferSize_ = kSendBlockSize;
    int sendFlags_ = 0;
    bool multiThreaded_ = false;
    TWaitControl* waitCtrl_ = nullptr;
    QMetaObject::Connection waitCtrlGone_;
    TSocketState awaitedState_ = wsInvalidState;
    int lastError_ = 0;
    std::string errorMessage_;
    bool paused_ = false;
    TSocketLingerOnOff lingerOnOff_ = wsLingerOn;
    int lingerTimeout_ = 0;
    bool allSent_ = true;
    std::string lineBuffer_; // at most 254 characters
    bool lineReceived_ = false;
    std::int32_t readCount_ = 0;
    // The last Receive got fewer bytes than it asked for: the kernel's queue was empty then.
    bool lastReadShort_ = false;
    // The handle TLS was last started on: its bytes wait in the TLS layer, not in the kernel.
    SOCKET tlsHandle_ = INVALID_SOCKET;
    bool closeReported_ = false;
    std::unique_ptr<platform::net::MessageWindow> window_;
    std::shared_ptr<platform::net::HostEntry> dnsEntry_;
    platform::net::AsyncRequest dnsLookupHandle_ = 0;
    sockaddr_in sin_{};
    // One per opened handle; the socket's own queued FD_WRITE dies with it, so it can never
    // reach a later connection that got the same descriptor number.
    std::shared_ptr<int> connectionToken_;
    bool destroying_ = false;
};

// Publishes TCustomWSocket's properties; no behaviour of its own.
class TWSocket : public TCustomWSocket {
    Q_OBJECT
public:
    explicit TWSocket(QObject* owner = nullptr) : TCustomWSocket(owner) {}
};
