#pragma once
// T_TcpIp: one TCP control connection and the socket plumbing an FTP session builds on:
// resolve, connect, bind and listen, accept, read and write bytes and CR/LF lines, close, and
// a trace of every step. Runs on the application thread; socket notifications arrive as
// messages (WM_SOCKET_CONTROL, WM_SOCKET_DATA) on its hidden message window.
//
// Sockets are non-blocking underneath. A read or write that would block waits: by turning the
// event loop until the control socket's read notification arrives when the wait flag is set
// and the socket is selected for it, else by sleeping in poll() on the socket. Either wait
// ends with ETcpIpError when nothing has moved on any of the component's connections for
// silenceTimeout() (60 s); the connection is then dropped. A connection that keeps moving
// bytes is never cut, with one exception: a line (and an FTP reply) must be complete within
// replyTimeout() (20 s) of its first byte, so a server dripping one byte at a time cannot keep a
// caller waiting for ever. Lines are read in blocks; bytes after a line wait for the next read.
#include <QObject>

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <netinet/in.h>

#include "base/Event.h"
#include "base/Streams.h"
#include "tcpip/FtpReply.h"
#include "tcpip/TransferStream.h"
#include "platform/net/MessageWindow.h"
#include "platform/net/Sockets.h"
#include "platform/net/TlsSockets.h"
#include "tcpip/Exceptions.h"

namespace tcpip {

using TSocket = platform::net::SOCKET; // -1: none

enum TTraceLevel : std::uint8_t {
    tl_command = 0, // a command line that was sent, without CR/LF
    tl_reply = 1,   // a reply line that was received
    tl_socket = 2,  // a socket-level event
};
using TTraceProc = base::Event<const std::string&, TTraceLevel>;

constexpr unsigned WM_SOCKET_CONTROL = 0x500;
constexpr unsigned WM_SOCKET_DATA = 0x501;
// A host look-up of ConnectCancellably has ended.
constexpr unsigned WM_HOST_LOOKED_UP = 0x502;
constexpr int kReceiveBufferSize = 32512;
constexpr std::chrono::milliseconds kSilenceTimeout{ 60000 };
constexpr std::chrono::milliseconds kReplyTimeout{ 20000 };
// The longest a connect may wait for its peer (less when the silence timeout is shorter).
constexpr std::chrono::milliseconds kConnectTimeout{ 20000 };
// Control bytes taken per recv.
constexpr int kLineBlockSize = 4096;

// Where a connect has got to, for a progress display.
enum class TConnectStep : std::uint8_t { LookUp, Open, LogIn };

// SocketState results.
enum TSocketState { ss_none = 0, ss_not_connected = 1, ss_connected = 2, ss_failed = 3 };

class T_TcpIp : public QObject {
public:
    explicit T_TcpIp(QObject* owner = nullptr);
    // Unassigns OnTrace first (nothing is traced while destroying), then disconnects.
    ~T_TcpIp() override;
    T_TcpIp(const T_TcpIp&) = delete;
    T_TcpIp& operator=(const T_TcpIp&) = delete;

    std::string Hostname;
    TTraceProc OnTrace;
    // Raised as a connect reaches each step (LogIn by a protocol that logs in).
    base::Event<TConnectStep> OnConnectStep;
    // Received data (Execute); an FTP session also uploads from it.
    TransferStream DataStream;

    // Connect, read until the peer closes, collect everything in DataStream (rewound).
    virtual void Execute();
    virtual void SendLine(const std::string& text);
    // Resolve Hostname and connect to it on the port set by the derived class. Throws
    // ETcpIpError "Couldn't resolve hostname ..." or ESocketError with the Winsock code and the
    // true reason: refused, timed out (kConnectTimeout at most), unreachable.
    virtual void Connect();
    virtual void Disconnect();
    // Connect, with every wait (the name look-up on a helper thread, bounded by kConnectTimeout;
    // the TCP connect; a log-in's replies) turning the event loop whatever the transfer mode, so
    // that Cancel() from an event handler ends it with ECancelled. The session is then logged
    // out: sockets closed, nothing more sent. The caller limits input meanwhile (a modal box).
    void ConnectCancellably();
    // Ends a ConnectCancellably under way at its next wake-up; a later connect is not affected.
    void Cancel() { cancelRequested_ = true; }
    virtual bool IsClosed(TSocket socket);

    TSocket CreateSocket();
    void ConnectSocket(TSocket& socket, std::uint16_t port, std::uint32_t address);
    // Listens on address:port with a backlog of 2; port 0 takes an ephemeral port (see
    // LocalPort). Failures are traced and leave socket at -1.
    void BindListen(TSocket& socket, std::uint16_t port, std::uint32_t address);
    TSocket AcceptIncoming(TSocket listening, sockaddr_in& peer);
    TSocketState SocketState(TSocket socket);
    // Nothing for -1; else closes, traces "Closed socket ID n" and sets socket to -1.
    void CloseSocketId(TSocket& socket);
    // Returns with count >= 1 bytes, or with the closed flag set (count 0 or below). buffer may
    // be null: the bytes are then only counted.
    void ReadData(TSocket socket, char* buffer, int& count, int size);
    // One line without CR (dropped anywhere) or LF; line is left unchanged when the connection
    // ends before a LF. A line over LineAssembler::kMaxLineLength, or one not complete within
    // replyTimeout(), drops the connection and raises ETcpIpError.
    void ReadLine(TSocket socket, std::string& line);
    // Sends all count bytes (waiting while the socket cannot take more); throws ETcpIpError
    // when the connection fails. A socket of -1 sends nothing.
    void WriteData(TSocket socket, const char* buffer, int count);
    // WriteData of count bytes of an open file from offset, without copying them through our
    // memory; a file that ends before them is a failure too.
    void WriteFileData(TSocket socket, int file, std::int64_t offset, int count);
    void WriteString(TSocket socket, const std::string& text);
    // TLS on a connected (or, when selected, connecting) socket; socket's bytes are plaintext
    // from now on. Raises ETcpIpError when TLS cannot start.
    void StartTls(TSocket socket, const platform::net::TlsOptions& options);
    // Waits for the handshake of an unselected socket, at most replyTimeout(); returns its
    // state. A failed or stalled handshake raises ETcpIpError naming the reason.
    platform::net::TlsState AwaitTls(TSocket socket);
    // Waits until what was sent on socket has left this program (TLS keeps records of its own).
    void DrainSends(TSocket socket);

    bool Connected() const { return connected_; }
    std::chrono::milliseconds silenceTimeout() const { return silenceTimeout_; }
    void setSilenceTimeout(std::chrono::milliseconds timeout) { silenceTimeout_ = timeout; }
    std::chrono::milliseconds replyTimeout() const { return replyTimeout_; }
    void setReplyTimeout(std::chrono::milliseconds timeout) { replyTimeout_ = timeout; }

    // The local / remote address and port of a connected socket (kNoAddress / 0 when none).
    static std::uint32_t LocalAddressOf(TSocket socket);
    static std::uint32_t PeerAddressOf(TSocket socket);
    static std::uint16_t LocalPort(TSocket socket);

protected:
    virtual void SocketWindowProc(unsigned message, platform::net::WPARAM wParam, platform::net::LPARAM lParam);
    virtual void OpenOutputSocket(TSocket& socket, std::uint16_t port, std::uint32_t address);
    // Closes what a silent peer left open; the caller then raises the timeout.
    virtual void DropConnection();

    void Trace(const std::string& text, TTraceLevel level);
    // CloseSocketId without the trace.
    void CloseQuietly(TSocket& socket);
    // WSAAsyncSelect on the hidden window, remembering the mask for the waits.
    void Select(TSocket socket, unsigned message, long mask);
    // One recv: > 0 bytes, 0 at the peer's close or an error, -1 would block. Never waits.
    int ReceiveOnce(TSocket socket, char* buffer, int size);
    enum class Direction { Read, Write };
    // WriteData's loop around send, which takes the bytes done so far and sends some of the rest.
    template <typename Send>
    void sendAll(TSocket socket, int count, Send&& send);
    // Waits until socket can be read / written: false when the silence timeout ran out first.
    bool WaitFor(TSocket socket, Direction direction);
    // WaitFor, raising the timeout (after DropConnection) when it runs out.
    void WaitOrRaise(TSocket socket, Direction direction);
    // Sleeps until first or second can be read; which of them (0 or 1, first preferred), after
    // raising the timeout (after DropConnection) when nothing came within the silence timeout.
    int WaitForEitherReadable(TSocket first, TSocket second);
    // True when socket has something to read (bytes or its end, or line bytes already received
    // and not yet taken) at once, without waiting.
    bool HasInput(TSocket socket) const;
    // Turns the event loop until done() holds; false when the silence timeout ran out first.
    // An exception raised inside a notification handler is raised here.
    bool PumpUntil(const std::function<bool()>& done);
    // A line into line; false (line untouched) when the connection ended before a LF. deadline is
    // set at the first byte of the line when empty (one reply passes the same one to each of its
    // lines); the line must be complete by then.
    bool ReadLineChecked(TSocket socket, std::string& line, std::optional<std::chrono::steady_clock::time_point>& deadline);
    // Something moved: the silence timeout starts again.
    void NoteActivity() { lastActivity_ = std::chrono::steady_clock::now(); }
    [[noreturn]] void RaiseTimeout(Direction direction);
    // Hostname's address by the asynchronous resolver, turning the event loop meanwhile.
    std::uint32_t LookUpInEventLoop();

    platform::net::MessageWindow* window_;
    TSocket socket_ = -1;
    std::uint16_t port_ = 0;
    std::uint32_t address_ = 0xFFFFFFFF;
    bool closed_ = false;
    bool readable_ = false;
    bool writable_ = false; // set by a data-socket write notification (derived class)
    bool waitForReadable_ = false;
    bool connected_ = false;
    std::vector<char> ReceiveBuffer;

private:
    std::chrono::steady_clock::time_point deadline(std::chrono::steady_clock::time_point start) const;

    struct Selection {
        TSocket socket;
        unsigned message;
        long mask;
    };
    bool selectedFor(TSocket socket, unsigned message, long events) const;
    std::vector<Selection> selections_;
    std::exception_ptr handlerError_;
    std::chrono::milliseconds silenceTimeout_ = kSilenceTimeout;
    std::chrono::milliseconds replyTimeout_ = kReplyTimeout;
    // Control bytes received and not yet taken as lines, of linesSocket_ only.
    LineAssembler lines_;
    TSocket linesSocket_ = -1;
    // A wait also ends here (a line's deadline).
    // Set while AwaitTls waits: a handshake that a look at the socket has just finished ends
    // the wait.
    bool awaitingHandshake_ = false;
    std::optional<std::chrono::steady_clock::time_point> waitCap_;
    std::chrono::steady_clock::time_point lastActivity_{};
    // Set only while ConnectCancellably runs: waits turn the event loop and honour Cancel().
    bool connectInEventLoop_ = false;
    bool cancelRequested_ = false;
    struct LookUp {
        bool done = false;
        int error = 0;
    } lookUp_;
};

} // namespace tcpip
