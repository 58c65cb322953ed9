#include "tcpip/TcpIp.h"

#include "platform/net/AsyncSelect.h"
#include "platform/net/Resolver.h"
#include "platform/net/WinsockErrors.h"
#include "remote/ConnectLimit.h"
#include "tcpip/Address.h"
#include "tcpip/Finally.h"
#include "tcpip/FtpReply.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace tcpip {

namespace net = platform::net;
using Clock = std::chrono::steady_clock;

namespace {

// Start-up counts as done unless the platform refuses it with one of these codes.
bool startSockets()
{
    net::WSAData data;
    const int result = net::WSAStartup(0x0101, data);
    const bool done = result != net::WSAEINVAL && result != net::WSASYSNOTREADY && result != net::WSAVERNOTSUPPORTED;
    if (done)
        std::atexit([] { net::WSACleanup(); });
    return done;
}

// Bytes a TLS session has decrypted (or its end) that poll() on the descriptor cannot see.
// What is waiting on the descriptor is taken in first: a record that brings no plaintext (a
// session ticket) must not count as input.
bool decryptedWaiting(TSocket socket)
{
    const net::TlsState state = net::WSATlsProgress(socket);
    return state.decrypted > 0 || state.ended || state.failed;
}

bool secured(TSocket socket)
{
    return socket != -1 && net::WSATlsProgress(socket).secured;
}

sockaddr_in socketAddress(std::uint16_t port, std::uint32_t address)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = address;
    return a;
}

} // namespace

T_TcpIp::T_TcpIp(QObject* owner)
    : QObject(owner), ReceiveBuffer(kReceiveBufferSize)
{
    static const bool started = startSockets();
    (void)started;
    window_ = new net::MessageWindow(
        [this](unsigned message, net::WPARAM wParam, net::LPARAM lParam) {
            // Nothing may cross Qt's event dispatch: the waiting call raises it instead.
            try {
                SocketWindowProc(message, wParam, lParam);
            } catch (...) {
                if (!handlerError_)
                    handlerError_ = std::current_exception();
            }
        },
        this);
}

T_TcpIp::~T_TcpIp()
{
    OnTrace = nullptr;
    if (socket_ != -1) {
        try {
            T_TcpIp::Disconnect();
        } catch (...) {
        }
    }
}

void T_TcpIp::Trace(const std::string& text, TTraceLevel level)
{
    base::raise(OnTrace, text, level);
}

void T_TcpIp::SocketWindowProc(unsigned message, net::WPARAM, net::LPARAM lParam)
{
    if (message == WM_HOST_LOOKED_UP) {
        lookUp_ = { true, net::WSAGETSELECTERROR(lParam) };
        return;
    }
    // A close counts as readable as well: after it the socket gets no further read notification,
    // and the waiting read must see the end of the connection.
    const unsigned event = net::WSAGETSELECTEVENT(lParam);
    if (message == WM_SOCKET_CONTROL && (event == net::FD_READ || event == net::FD_CLOSE))
        readable_ = true;
}

void T_TcpIp::OpenOutputSocket(TSocket& socket, std::uint16_t port, std::uint32_t address)
{
    CloseSocketId(socket);
    socket = CreateSocket();
    if (socket != -1)
        ConnectSocket(socket, port, address);
}

void T_TcpIp::Execute()
{
    Connect();
    DataStream.clear();
    while (!IsClosed(socket_)) {
        int count = 0;
        ReadData(socket_, ReceiveBuffer.data(), count, kReceiveBufferSize);
        if (count > 0)
            DataStream.write(ReceiveBuffer.data(), static_cast<std::size_t>(count));
    }
    DataStream.setPosition(0);
}

void T_TcpIp::SendLine(const std::string& text)
{
    WriteString(socket_, text + "\r\n");
    Trace(text, tl_command);
}

void T_TcpIp::Connect()
{
    if (connected_)
        Disconnect();
    base::raise(OnConnectStep, TConnectStep::LookUp);
    address_ = connectInEventLoop_ ? LookUpInEventLoop() : ResolveAddress(Hostname);
    if (address_ == kNoAddress)
        throw ETcpIpError("Couldn't resolve hostname " + Hostname);
    base::raise(OnConnectStep, TConnectStep::Open);
    OpenOutputSocket(socket_, port_, address_);
    if (socket_ == -1) {
        const int error = net::WSAGetLastError();
        const std::string where = Hostname + " port " + std::to_string(port_);
        switch (error) {
        case net::WSAECONNREFUSED:
            throw ESocketError(error, "Connection refused: nothing answers at " + where);
        case net::WSAETIMEDOUT:
            throw ESocketError(error, "Connection timed out: " + where + " did not answer within "
                                          + remote::DurationText(std::min(kConnectTimeout, silenceTimeout_)));
        case net::WSAENETUNREACH:
        case net::WSAEHOSTUNREACH:
            throw ESocketError(error, "No route to " + Hostname + ": the host cannot be reached");
        default:
            throw ESocketError(error);
        }
    }
    closed_ = false;
    connected_ = true;
    NoteActivity();
}

std::uint32_t T_TcpIp::LookUpInEventLoop()
{
    if (Hostname.empty() || Hostname.find('\0') != std::string::npos)
        return kNoAddress;
    const std::uint32_t dotted = net::inet_addr(Hostname.c_str());
    if (dotted != kNoAddress)
        return dotted;
    // The look-up runs on a helper thread that nothing can interrupt: a cancel or the time
    // limit leaves it behind, and its late result is dropped.
    const auto entry = std::make_shared<net::HostEntry>();
    lookUp_ = {};
    const net::AsyncRequest request = net::WSAAsyncGetHostByName(window_, WM_HOST_LOOKED_UP, Hostname, entry);
    if (request == 0)
        return kNoAddress;
    waitCap_ = Clock::now() + kConnectTimeout;
    bool done = false;
    try {
        done = PumpUntil([this] { return lookUp_.done; });
    } catch (...) {
        net::WSACancelAsyncRequest(request);
        throw;
    }
    waitCap_.reset();
    if (!done) {
        net::WSACancelAsyncRequest(request);
        throw ETcpIpError("Name look-up timed out: " + Hostname + " was not found within "
                          + remote::DurationText(std::min(kConnectTimeout, silenceTimeout_)));
    }
    return lookUp_.error == 0 && !entry->addresses.empty() ? entry->addresses.front() : kNoAddress;
}

void T_TcpIp::ConnectCancellably()
{
    cancelRequested_ = false;
    connectInEventLoop_ = true;
    const auto settle = [this] {
        connectInEventLoop_ = false;
        waitCap_.reset();
    };
    try {
        Connect();
        // A cancel that came with the last reply still wins: the user asked not to be connected.
        if (cancelRequested_)
            throw ECancelled();
    } catch (const ECancelled&) {
        settle();
        DropConnection();
        Trace("Connect cancelled", tl_socket);
        throw;
    } catch (...) {
        settle();
        throw;
    }
    settle();
}

void T_TcpIp::Disconnect()
{
    CloseSocketId(socket_);
    socket_ = -1;
    connected_ = false;
}

void T_TcpIp::DropConnection()
{
    CloseSocketId(socket_);
    connected_ = false;
    closed_ = true;
}

bool T_TcpIp::IsClosed(TSocket socket)
{
    return closed_ || SocketState(socket) != ss_connected;
}

TSocket T_TcpIp::CreateSocket()
{
    const TSocket s = net::socket(AF_INET, SOCK_STREAM, 0);
    if (s == net::INVALID_SOCKET)
        return -1;
    unsigned long nonBlocking = 1;
    net::ioctlsocket(s, net::IoctlCommand::Fionbio, &nonBlocking);
    return s;
}

void T_TcpIp::ConnectSocket(TSocket& socket, std::uint16_t port, std::uint32_t address)
{
    const sockaddr_in a = socketAddress(port, address);
    int error = 0;
    if (net::connect(socket, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0)
        error = net::WSAGetLastError();
    if (error == net::WSAEWOULDBLOCK) {
        // A selected socket completes later with its connect notification; any other waits here.
        if (std::any_of(selections_.begin(), selections_.end(), [&](const Selection& s) { return s.socket == socket; }))
            return;
        error = 0;
        waitCap_ = Clock::now() + kConnectTimeout;
        const bool answered = WaitFor(socket, Direction::Write);
        waitCap_.reset();
        if (!answered) {
            error = net::WSAETIMEDOUT;
        } else {
            int soError = 0;
            int length = sizeof soError;
            net::getsockopt(socket, SOL_SOCKET, SO_ERROR, &soError, &length);
            error = soError == 0 ? 0 : net::winsockErrorFromErrno(soError);
        }
    }
    if (error != 0) {
        CloseSocketId(socket);
        Trace("Failed to open output socket " + std::to_string(port) + " to host " + AddressToText(address), tl_socket);
        net::WSASetLastError(error);
        return;
    }
    NoteActivity();
    Trace("Opened output socket " + std::to_string(port) + " to host " + AddressToText(address)
              + " successfully; ID " + std::to_string(socket),
          tl_socket);
}

void T_TcpIp::BindListen(TSocket& socket, std::uint16_t port, std::uint32_t address)
{
    CloseSocketId(socket);
    socket = CreateSocket();
    const sockaddr_in a = socketAddress(port, address);
    if (socket == -1 || net::bind(socket, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        Trace("Failed to bind socket " + std::to_string(port) + " for local ip " + AddressToText(address), tl_socket);
        CloseSocketId(socket);
        return;
    }
    const std::uint16_t bound = LocalPort(socket);
    Trace("Bound to socket " + std::to_string(bound) + " for local ip " + AddressToText(address), tl_socket);
    if (net::listen(socket, 2) != 0) {
        CloseSocketId(socket);
        Trace("Failed to set input socket " + std::to_string(bound) + " to listening mode", tl_socket);
        return;
    }
    Trace("Set input socket " + std::to_string(bound) + " to listening mode sucessfully; ID " + std::to_string(socket),
          tl_socket);
}

TSocket T_TcpIp::AcceptIncoming(TSocket listening, sockaddr_in& peer)
{
    sockaddr_in from{};
    int length = sizeof from;
    const TSocket s = net::accept(listening, reinterpret_cast<sockaddr*>(&from), &length);
    peer = from;
    if (s == net::INVALID_SOCKET) {
        Trace("No incoming connection found on socket ID " + std::to_string(listening), tl_socket);
        return -1;
    }
    NoteActivity();
    Trace("Incoming connection found on socket ID " + std::to_string(listening) + "; generated socket ID "
              + std::to_string(s),
          tl_socket);
    return s;
}

TSocketState T_TcpIp::SocketState(TSocket socket)
{
    if (socket == -1)
        return ss_none;
    sockaddr_in peer{};
    int length = sizeof peer;
    if (net::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
        return ss_connected;
    return net::WSAGetLastError() == net::WSAENOTCONN ? ss_not_connected : ss_failed;
}

void T_TcpIp::CloseSocketId(TSocket& socket)
{
    if (socket == -1)
        return;
    const TSocket closed = socket;
    CloseQuietly(socket);
    Trace("Closed socket ID " + std::to_string(closed), tl_socket);
}

void T_TcpIp::CloseQuietly(TSocket& socket)
{
    if (socket == -1)
        return;
    if (socket == linesSocket_) {
        lines_.clear();
        linesSocket_ = -1;
    }
    selections_.erase(std::remove_if(selections_.begin(), selections_.end(),
                                     [&](const Selection& s) { return s.socket == socket; }),
                      selections_.end());
    net::closesocket(socket);
    socket = -1;
}

void T_TcpIp::Select(TSocket socket, unsigned message, long mask)
{
    selections_.erase(std::remove_if(selections_.begin(), selections_.end(),
                                     [&](const Selection& s) { return s.socket == socket; }),
                      selections_.end());
    if (mask != 0)
        selections_.push_back({ socket, message, mask });
    net::WSAAsyncSelect(socket, window_, message, mask);
}

bool T_TcpIp::selectedFor(TSocket socket, unsigned message, long events) const
{
    return std::any_of(selections_.begin(), selections_.end(), [&](const Selection& s) {
        return s.socket == socket && s.message == message && (s.mask & events) != 0;
    });
}

int T_TcpIp::ReceiveOnce(TSocket socket, char* buffer, int size)
{
    const int n = net::recv(socket, buffer, size, 0);
    if (n > 0) {
        NoteActivity();
        // Built only when someone listens: a download makes thousands of these.
        if (OnTrace)
            Trace("Received " + std::to_string(n) + " bytes on socket ID " + std::to_string(socket), tl_socket);
        return n;
    }
    // 0 is the peer's orderly close, whatever the last error was before.
    if (n < 0 && net::WSAGetLastError() == net::WSAEWOULDBLOCK)
        return -1;
    return 0;
}

void T_TcpIp::ReadData(TSocket socket, char* buffer, int& count, int size)
{
    std::vector<char> scratch;
    if (buffer == nullptr) {
        scratch.resize(static_cast<std::size_t>(std::max(size, 1)));
        buffer = scratch.data();
    }
    for (;;) {
        count = ReceiveOnce(socket, buffer, size);
        if (count == 0)
            closed_ = true;
        if (count >= 0)
            return;
        WaitOrRaise(socket, Direction::Read);
    }
}

bool T_TcpIp::ReadLineChecked(TSocket socket, std::string& line, std::optional<Clock::time_point>& deadline)
{
    if (socket != linesSocket_) {
        lines_.clear();
        linesSocket_ = socket;
    }
    char block[kLineBlockSize];
    for (;;) {
        if (!deadline && lines_.pendingBytes() > 0)
            deadline = Clock::now() + replyTimeout_;
        switch (lines_.next(line)) {
        case LineAssembler::Next::Line:
            return true;
        case LineAssembler::Next::TooLong:
            DropConnection();
            throw ETcpIpError("The server sent a line of more than " + std::to_string(LineAssembler::kMaxLineLength)
                              + " bytes, which is no FTP; the connection was closed");
        case LineAssembler::Next::None:
            break;
        }
        const int count = ReceiveOnce(socket, block, sizeof block);
        if (count > 0) {
            lines_.append(std::string_view(block, static_cast<std::size_t>(count)));
            continue;
        }
        if (count == 0) {
            closed_ = true;
            lines_.clear();
            return false;
        }
        waitCap_ = deadline;
        const bool arrived = WaitFor(socket, Direction::Read);
        waitCap_.reset();
        if (arrived)
            continue;
        if (deadline && Clock::now() >= *deadline) {
            DropConnection();
            throw ETcpIpError("The server's reply did not end within " + remote::DurationText(replyTimeout_)
                              + "; the connection was closed");
        }
        RaiseTimeout(Direction::Read);
    }
}

void T_TcpIp::ReadLine(TSocket socket, std::string& line)
{
    std::optional<Clock::time_point> deadline;
    ReadLineChecked(socket, line, deadline);
}

template <typename Send>
void T_TcpIp::sendAll(TSocket socket, int count, Send&& send)
{
    if (socket == -1)
        return;
    int done = 0;
    while (done < count) {
        const int n = send(done);
        if (n > 0) {
            done += n;
            NoteActivity();
            continue;
        }
        const int error = net::WSAGetLastError();
        if (n < 0 && error == net::WSAEWOULDBLOCK) {
            WaitOrRaise(socket, Direction::Write);
            continue;
        }
        throw ETcpIpError("The connection was lost while sending (error " + std::to_string(error) + ")");
    }
    if (OnTrace)
        Trace("Sent " + std::to_string(count) + " bytes on socket ID " + std::to_string(socket), tl_socket);
}

void T_TcpIp::WriteData(TSocket socket, const char* buffer, int count)
{
    sendAll(socket, count, [&](int done) { return net::send(socket, buffer + done, count - done, 0); });
}

void T_TcpIp::WriteFileData(TSocket socket, int file, std::int64_t offset, int count)
{
    sendAll(socket, count, [&](int done) {
        const int n = net::sendFile(socket, file, offset + done, count - done);
        if (n == 0)
            throw ETcpIpError("The file being sent became shorter while it was sent");
        return n;
    });
}

void T_TcpIp::WriteString(TSocket socket, const std::string& text)
{
    WriteData(socket, text.data(), static_cast<int>(text.size()));
}

void T_TcpIp::StartTls(TSocket socket, const net::TlsOptions& options)
{
    if (net::WSAStartTls(socket, options) != 0) {
        const std::string why = net::WSATlsFailure(socket);
        throw ETcpIpError("TLS could not start: "
                          + (why.empty() ? "error " + std::to_string(net::WSAGetLastError()) : why));
    }
}

net::TlsState T_TcpIp::AwaitTls(TSocket socket)
{
    waitCap_ = Clock::now() + replyTimeout_;
    awaitingHandshake_ = true;
    Finally uncap([this] {
        waitCap_.reset();
        awaitingHandshake_ = false;
    });
    for (;;) {
        net::TlsState state = net::WSATlsProgress(socket);
        if (state.established)
            return state;
        if (state.failed || state.ended) {
            const std::string why = state.failed ? net::WSATlsFailure(socket) : "connection closed during the TLS handshake";
            throw ETcpIpError("The secure connection to " + Hostname + " failed: " + why);
        }
        NoteActivity();
        if (!WaitFor(socket, Direction::Read)) {
            throw ETcpIpError("The TLS handshake with " + Hostname + " did not finish within "
                              + remote::DurationText(replyTimeout_) + "; the connection was closed");
        }
    }
}

void T_TcpIp::DrainSends(TSocket socket)
{
    // An empty send reports would-block while records wait to go out.
    sendAll(socket, 1, [&](int) {
        const int n = net::send(socket, "", 0, 0);
        return n == 0 ? 1 : n;
    });
}

Clock::time_point T_TcpIp::deadline(Clock::time_point start) const
{
    const Clock::time_point silence = std::max(start, lastActivity_) + silenceTimeout_;
    return waitCap_ ? std::min(silence, *waitCap_) : silence;
}

bool T_TcpIp::WaitFor(TSocket socket, Direction direction)
{
    // A selected TLS socket moves its records only from the event loop: poll() would see them
    // waiting and return at once, again and again.
    if (direction == Direction::Read && (waitForReadable_ || secured(socket))
        && selectedFor(socket, WM_SOCKET_CONTROL, net::FD_READ)) {
        readable_ = false;
        return PumpUntil([this] { return readable_; });
    }
    if (direction == Direction::Write && selectedFor(socket, WM_SOCKET_DATA, net::FD_WRITE)) {
        writable_ = false;
        return PumpUntil([this] { return writable_; });
    }
    // Asking a secured socket's state drives it (its records are read and decrypted), so what
    // that just took from the descriptor is no longer there for poll() or a notifier to see:
    // the last look decides whether there is anything to wait for.
    if (direction == Direction::Read && secured(socket)) {
        const net::TlsState state = net::WSATlsProgress(socket);
        if (state.decrypted > 0 || state.ended || state.failed || (awaitingHandshake_ && state.established))
            return true;
    }
    if (connectInEventLoop_) {
        QSocketNotifier notifier(static_cast<qintptr>(socket),
                                 direction == Direction::Read ? QSocketNotifier::Read : QSocketNotifier::Write);
        bool ready = false;
        QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
            ready = true;
            notifier.setEnabled(false);
        });
        return PumpUntil([&] { return ready; });
    }
    const Clock::time_point start = Clock::now();
    pollfd p{ socket, static_cast<short>(direction == Direction::Read ? POLLIN : POLLOUT), 0 };
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline(start) - Clock::now());
        if (left.count() <= 0)
            return false;
        const int r = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count() + 1, 1 << 30)));
        if (r > 0 || (r < 0 && errno != EINTR))
            return true;
    }
}

void T_TcpIp::WaitOrRaise(TSocket socket, Direction direction)
{
    if (!WaitFor(socket, direction))
        RaiseTimeout(direction);
}

int T_TcpIp::WaitForEitherReadable(TSocket first, TSocket second)
{
    const Clock::time_point start = Clock::now();
    pollfd p[2] = { { first, POLLIN, 0 }, { second, POLLIN, 0 } };
    // Line bytes already received count as readable (poll cannot see them): no wait then, but
    // first is still preferred when it is ready as well.
    const bool buffered[2] = { (first == linesSocket_ && lines_.pendingBytes() > 0) || decryptedWaiting(first),
                               (second == linesSocket_ && lines_.pendingBytes() > 0) || decryptedWaiting(second) };
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline(start) - Clock::now());
        if (left.count() <= 0)
            RaiseTimeout(Direction::Read);
        const int wait = buffered[0] || buffered[1] ? 0 : static_cast<int>(std::min<long long>(left.count() + 1, 1 << 30));
        const int r = ::poll(p, 2, wait);
        if (r < 0 && errno != EINTR)
            return 0;
        // A record without plaintext (a session ticket) wakes poll but is no input.
        for (int i = 0; i < 2; ++i) {
            if (p[i].revents != 0 && secured(p[i].fd) && !decryptedWaiting(p[i].fd))
                p[i].revents = 0;
        }
        if (p[0].revents != 0 || buffered[0])
            return 0;
        if (p[1].revents != 0 || buffered[1])
            return 1;
    }
}

bool T_TcpIp::HasInput(TSocket socket) const
{
    if (socket == -1)
        return false;
    if (socket == linesSocket_ && lines_.pendingBytes() > 0)
        return true;
    if (secured(socket))
        return decryptedWaiting(socket);
    pollfd p{ socket, POLLIN, 0 };
    return ::poll(&p, 1, 0) > 0 && p.revents != 0;
}

bool T_TcpIp::PumpUntil(const std::function<bool()>& done)
{
    const Clock::time_point start = Clock::now();
    // Rounded up: a wait that gives up must have reached its deadline, or the caller would take
    // a reply deadline that is due for the silence timeout.
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    while (!done()) {
        if (handlerError_)
            std::rethrow_exception(std::exchange(handlerError_, nullptr));
        if (connectInEventLoop_ && cancelRequested_)
            throw ECancelled();
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline(start) - Clock::now());
        if (left.count() <= 0)
            return false;
        timer.start(static_cast<int>(std::min<long long>(left.count() + 1, 1 << 30)));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (handlerError_)
        std::rethrow_exception(std::exchange(handlerError_, nullptr));
    return true;
}

void T_TcpIp::RaiseTimeout(Direction direction)
{
    DropConnection();
    if (direction == Direction::Read)
        throw ETcpIpError("Connection timed out: nothing received from the server for " + remote::DurationText(silenceTimeout_));
    throw ETcpIpError("Connection timed out: the server took no data for " + remote::DurationText(silenceTimeout_));
}

std::uint32_t T_TcpIp::LocalAddressOf(TSocket socket)
{
    sockaddr_in a{};
    int length = sizeof a;
    return net::getsockname(socket, reinterpret_cast<sockaddr*>(&a), &length) == 0 ? a.sin_addr.s_addr : kNoAddress;
}

std::uint32_t T_TcpIp::PeerAddressOf(TSocket socket)
{
    sockaddr_in a{};
    int length = sizeof a;
    return net::getpeername(socket, reinterpret_cast<sockaddr*>(&a), &length) == 0 ? a.sin_addr.s_addr : kNoAddress;
}

std::uint16_t T_TcpIp::LocalPort(TSocket socket)
{
    sockaddr_in a{};
    int length = sizeof a;
    return net::getsockname(socket, reinterpret_cast<sockaddr*>(&a), &length) == 0 ? ntohs(a.sin_port) : 0;
}

} // namespace tcpip
