// The asynchronous select against real loopback peers: which notification arrives, how often,
// and that a closed handle's queued notifications never reach a socket that reuses its number.
#include "LoopbackPeer.h"

#include "platform/net/Winsock.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

using namespace platform::net;
using namespace nettest;

namespace {

constexpr unsigned kMessage = WM_USER + 1;

struct Note {
    SOCKET s;
    unsigned event;
    int error;
};

struct Recorder {
    MessageWindow window{[this](unsigned message, WPARAM w, LPARAM l) {
        if (message == kMessage)
            notes.push_back({static_cast<SOCKET>(w), WSAGETSELECTEVENT(l), WSAGETSELECTERROR(l)});
    }};
    std::vector<Note> notes;

    int count(unsigned event) const
    {
        int n = 0;
        for (const auto& note : notes)
            n += note.event == event;
        return n;
    }
    bool has(unsigned event) const { return count(event) > 0; }
};

SOCKET tcpSocket()
{
    const SOCKET s = platform::net::socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(s, INVALID_SOCKET);
    return s;
}

int startConnect(SOCKET s, std::uint16_t port)
{
    const sockaddr_in a = loopback(port);
    return platform::net::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

// A connected pair: our selected socket s and the plain peer fd.
struct Connection {
    explicit Connection(Recorder& r, long mask = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE)
    {
        s = tcpSocket();
        EXPECT_EQ(WSAAsyncSelect(s, &r.window, kMessage, mask), 0);
        EXPECT_EQ(startConnect(s, listener.port), SOCKET_ERROR);
        EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
        peer = listener.acceptOne();
        EXPECT_TRUE(runUntil([&] { return (mask & FD_WRITE) ? r.has(FD_WRITE) : r.has(FD_CONNECT); }));
    }
    ~Connection()
    {
        if (s != INVALID_SOCKET)
            closesocket(s);
        if (peer >= 0)
            ::close(peer);
    }
    Listener listener;
    SOCKET s = INVALID_SOCKET;
    int peer = -1;
};

} // namespace

TEST(AsyncSelectConnect, SuccessPostsConnectThenWrite)
{
    Recorder r;
    Connection c(r);
    ASSERT_GE(r.notes.size(), 2u);
    EXPECT_EQ(r.notes[0].event, FD_CONNECT);
    EXPECT_EQ(r.notes[0].error, 0);
    EXPECT_EQ(r.notes[0].s, c.s);
    EXPECT_EQ(r.notes[1].event, FD_WRITE);
    runFor(100);
    EXPECT_EQ(r.notes.size(), 2u) << "an idle connected socket stays quiet";
}

TEST(AsyncSelectConnect, RefusalPostsOneConnectWithTheWinsockCode)
{
    Recorder r;
    const SOCKET s = tcpSocket();
    ASSERT_EQ(WSAAsyncSelect(s, &r.window, kMessage, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE), 0);
    startConnect(s, refusedPort());
    ASSERT_TRUE(runUntil([&] { return r.has(FD_CONNECT); }));
    runFor(100);
    ASSERT_EQ(r.notes.size(), 1u) << "no FD_WRITE or FD_CLOSE after a refused connect";
    EXPECT_EQ(r.notes[0].error, WSAECONNREFUSED);
    closesocket(s);
}

TEST(AsyncSelectConnect, PeerResetBeforeTheCompletionIsSeenIsAConnectThenAClose)
{
    Recorder r;
    Listener listener;
    const SOCKET s = tcpSocket();
    ASSERT_EQ(WSAAsyncSelect(s, &r.window, kMessage, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE), 0);
    startConnect(s, listener.port);
    // The peer accepts and resets while the event loop has not looked at the socket yet.
    resetClose(listener.acceptOne());
    ::usleep(20000);
    ASSERT_TRUE(runUntil([&] { return r.has(FD_CLOSE); }));
    runFor(50);
    ASSERT_EQ(r.notes.size(), 2u);
    EXPECT_EQ(r.notes[0].event, FD_CONNECT);
    EXPECT_EQ(r.notes[0].error, 0);
    EXPECT_EQ(r.notes[1].event, FD_CLOSE);
    EXPECT_EQ(r.notes[1].error, WSAECONNRESET);
    closesocket(s);
}

TEST(AsyncSelectConnect, FreshSocketIsNotReportedAsClosed)
{
    Recorder r;
    const SOCKET s = tcpSocket();
    ASSERT_EQ(WSAAsyncSelect(s, &r.window, kMessage, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE), 0);
    runFor(100);
    EXPECT_TRUE(r.notes.empty());
    closesocket(s);
}

TEST(AsyncSelectRead, OneNotificationUntilTheProgramReadsAgain)
{
    Recorder r;
    Connection c(r);
    r.notes.clear();
    writeAll(c.peer, "first");
    ASSERT_TRUE(runUntil([&] { return r.has(FD_READ); }));
    writeAll(c.peer, "second");
    runFor(150);
    EXPECT_EQ(r.count(FD_READ), 1) << "no flood while the data is not read";

    char buffer[3];
    ASSERT_EQ(platform::net::recv(c.s, buffer, sizeof buffer, 0), 3);
    ASSERT_TRUE(runUntil([&] { return r.count(FD_READ) == 2; })) << "a partial read re-enables FD_READ";
    char rest[64];
    EXPECT_EQ(platform::net::recv(c.s, rest, sizeof rest, 0), 8);
    runFor(100);
    EXPECT_EQ(r.count(FD_READ), 2) << "all read: nothing more";
}

TEST(AsyncSelectClose, PeerCloseIsPostedOnceAfterTheData)
{
    Recorder r;
    Connection c(r);
    r.notes.clear();
    writeAll(c.peer, "bye");
    ::close(c.peer);
    c.peer = -1;
    ASSERT_TRUE(runUntil([&] { return r.has(FD_READ); }));
    char buffer[16];
    EXPECT_EQ(platform::net::recv(c.s, buffer, sizeof buffer, 0), 3);
    ASSERT_TRUE(runUntil([&] { return r.has(FD_CLOSE); }));
    EXPECT_EQ(platform::net::recv(c.s, buffer, sizeof buffer, 0), 0);
    runFor(150);
    EXPECT_EQ(r.count(FD_CLOSE), 1);
    EXPECT_EQ(r.notes.back().event, FD_CLOSE);
    EXPECT_EQ(r.notes.back().error, 0);
}

TEST(AsyncSelectClose, ResetCarriesConnectionReset)
{
    Recorder r;
    Connection c(r);
    r.notes.clear();
    resetClose(c.peer);
    c.peer = -1;
    ASSERT_TRUE(runUntil([&] { return r.has(FD_CLOSE); }));
    runFor(100);
    EXPECT_EQ(r.count(FD_CLOSE), 1);
    EXPECT_EQ(r.notes.back().error, WSAECONNRESET);
}

TEST(AsyncSelectAccept, OneAcceptNotificationPerAcceptCall)
{
    Recorder r;
    const SOCKET l = tcpSocket();
    sockaddr_in a = loopback(0);
    ASSERT_EQ(platform::net::bind(l, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(platform::net::listen(l, 5), 0);
    ASSERT_EQ(WSAAsyncSelect(l, &r.window, kMessage, FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE), 0);
    int len = sizeof a;
    platform::net::getsockname(l, reinterpret_cast<sockaddr*>(&a), &len);
    const int c1 = connectBlocking(ntohs(a.sin_port));
    const int c2 = connectBlocking(ntohs(a.sin_port));
    ASSERT_TRUE(runUntil([&] { return r.has(FD_ACCEPT); }));
    runFor(100);
    EXPECT_EQ(r.count(FD_ACCEPT), 1);
    EXPECT_FALSE(r.has(FD_CLOSE)) << "a listening socket is never reported closed";

    sockaddr_in peer{};
    int peerLen = sizeof peer;
    const SOCKET first = platform::net::accept(l, reinterpret_cast<sockaddr*>(&peer), &peerLen);
    ASSERT_NE(first, INVALID_SOCKET);
    EXPECT_EQ(peerLen, static_cast<int>(sizeof peer));
    EXPECT_EQ(peer.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    ASSERT_TRUE(runUntil([&] { return r.count(FD_ACCEPT) == 2; })) << "second client still waits";
    const SOCKET second = platform::net::accept(l, nullptr, nullptr);
    ASSERT_NE(second, INVALID_SOCKET);
    runFor(100);
    EXPECT_EQ(r.count(FD_ACCEPT), 2);
    // Nothing waits now: a further accept would block.
    EXPECT_EQ(platform::net::accept(l, nullptr, nullptr), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    for (int fd : {c1, c2})
        ::close(fd);
    for (SOCKET s : {first, second, l})
        closesocket(s);
}

TEST(AsyncSelectWrite, WriteIsPostedAgainOnlyAfterASendWouldBlock)
{
    Recorder r;
    Connection c(r);
    r.notes.clear();
    int small = 4096;
    platform::net::setsockopt(c.s, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    const std::string block(65536, 'x');
    ASSERT_EQ(platform::net::send(c.s, block.data(), 10, 0), 10);
    runFor(100);
    EXPECT_FALSE(r.has(FD_WRITE)) << "a send that went out whole re-arms nothing";

    long long sent = 0;
    for (;;) {
        const int n = platform::net::send(c.s, block.data(), static_cast<int>(block.size()), 0);
        if (n == SOCKET_ERROR) {
            ASSERT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
            break;
        }
        sent += n;
    }
    long long drained = 0;
    while (drained < sent + 10) {
        const std::string got = readAvailable(c.peer);
        drained += static_cast<long long>(got.size());
        if (got.empty())
            runFor(5);
    }
    ASSERT_TRUE(runUntil([&] { return r.has(FD_WRITE); }));
    runFor(100);
    EXPECT_EQ(r.count(FD_WRITE), 1);
}

TEST(AsyncSelectWrite, SendToAGonePeerFailsWithoutASignal)
{
    Recorder r;
    Connection c(r);
    resetClose(c.peer);
    c.peer = -1;
    ASSERT_TRUE(runUntil([&] { return r.has(FD_CLOSE); }));
    const char byte = 'x';
    int result = 0;
    for (int i = 0; i < 3 && result != SOCKET_ERROR; ++i)
        result = platform::net::send(c.s, &byte, 1, 0);
    EXPECT_EQ(result, SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
}

TEST(AsyncSelectLifetime, QueuedNotificationsOfAClosedHandleAreDropped)
{
    // FD_CONNECT and FD_WRITE are queued together; closing in the first handler leaves the
    // second queued for a descriptor number that a new socket takes over at once.
    Listener listener;
    SOCKET s = tcpSocket();
    SOCKET reused = INVALID_SOCKET;
    std::vector<Note> notes;
    MessageWindow window([&](unsigned, WPARAM w, LPARAM l) {
        notes.push_back({static_cast<SOCKET>(w), WSAGETSELECTEVENT(l), WSAGETSELECTERROR(l)});
        if (WSAGETSELECTEVENT(l) == FD_CONNECT) {
            closesocket(s);
            reused = tcpSocket();
        }
    });
    ASSERT_EQ(WSAAsyncSelect(s, &window, kMessage, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE), 0);
    startConnect(s, listener.port);
    ASSERT_TRUE(runUntil([&] { return !notes.empty(); }));
    runFor(100);
    ASSERT_EQ(notes.size(), 1u) << "the FD_WRITE of the closed handle was dropped";
    EXPECT_EQ(notes[0].event, FD_CONNECT);
    EXPECT_EQ(reused, s) << "the descriptor number was reused at once";
    closesocket(reused);
}

TEST(AsyncSelectLifetime, DestroyedWindowReceivesNothing)
{
    auto r = std::make_unique<Recorder>();
    Connection c(*r);
    r.reset();
    writeAll(c.peer, "data");
    runFor(100); // must not touch the destroyed window
    SUCCEED();
}

TEST(AsyncSelectPause, EmptyMaskStopsAndANewSelectionReportsWhatIsTrue)
{
    Recorder r;
    Connection c(r);
    r.notes.clear();
    ASSERT_EQ(WSAAsyncSelect(c.s, &r.window, kMessage, 0), 0);
    writeAll(c.peer, "while paused");
    runFor(100);
    EXPECT_TRUE(r.notes.empty());
    ASSERT_EQ(WSAAsyncSelect(c.s, &r.window, kMessage, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE), 0);
    ASSERT_TRUE(runUntil([&] { return r.has(FD_READ) && r.has(FD_WRITE); }));
    EXPECT_FALSE(r.has(FD_CONNECT));
}

TEST(AsyncSelectBadInput, HandlesThatAreNoSocketsAreRefused)
{
    Recorder r;
    EXPECT_EQ(WSAAsyncSelect(INVALID_SOCKET, &r.window, kMessage, FD_READ), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    EXPECT_EQ(WSAAsyncSelect(pipeFds[0], &r.window, kMessage, FD_READ), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    const SOCKET s = tcpSocket();
    EXPECT_EQ(WSAAsyncSelect(s, nullptr, kMessage, FD_READ), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
    closesocket(s);
    char buffer[4];
    EXPECT_EQ(platform::net::recv(s, buffer, sizeof buffer, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK) << "a closed handle";
    EXPECT_EQ(platform::net::recv(s, buffer, -1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}

TEST(AsyncSelectDatagram, ReadableDatagramsArePostedAsRead)
{
    Recorder r;
    const SOCKET u = platform::net::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = loopback(0);
    ASSERT_EQ(platform::net::bind(u, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    int len = sizeof a;
    platform::net::getsockname(u, reinterpret_cast<sockaddr*>(&a), &len);
    ASSERT_EQ(WSAAsyncSelect(u, &r.window, kMessage, FD_READ | FD_WRITE | FD_CLOSE), 0);
    ASSERT_TRUE(runUntil([&] { return r.has(FD_WRITE); })) << "a datagram socket is writable at once";
    const SOCKET sender = platform::net::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_EQ(platform::net::sendto(sender, "", 0, 0, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_TRUE(runUntil([&] { return r.has(FD_READ); }));
    EXPECT_FALSE(r.has(FD_CLOSE)) << "an empty datagram is no close";
    char buffer[8];
    sockaddr_in from{};
    int fromLen = sizeof from;
    EXPECT_EQ(platform::net::recvfrom(u, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLen), 0);
    EXPECT_EQ(from.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    closesocket(sender);
    closesocket(u);
}
