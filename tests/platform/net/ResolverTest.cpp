// The resolver: the real system resolver for localhost and for a name that must not resolve,
// netbase's service and protocol files, and the safety of cancelled or abandoned requests.
#include "LoopbackPeer.h"

#include "platform/net/Winsock.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

using namespace platform::net;

namespace {

constexpr unsigned kDone = WM_USER + 2;

struct Done {
    WPARAM request;
    int error;
    unsigned length;
};

struct Requester {
    MessageWindow window{[this](unsigned m, WPARAM w, LPARAM l) {
        if (m == kDone)
            done.push_back({w, WSAGETASYNCERROR(l), WSAGETASYNCBUFLEN(l)});
    }};
    std::vector<Done> done;
    std::shared_ptr<HostEntry> result = std::make_shared<HostEntry>();
};

} // namespace

TEST(SyncLookup, LocalhostAndUnknownNames)
{
    const auto local = platform::net::gethostbyname("localhost");
    ASSERT_TRUE(local);
    ASSERT_FALSE(local->addresses.empty());
    EXPECT_EQ(local->addresses.front(), htonl(INADDR_LOOPBACK));
    EXPECT_FALSE(platform::net::gethostbyname("no-such-host.invalid"));
    EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
    EXPECT_FALSE(platform::net::gethostbyname("INVALID."));
    EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
    EXPECT_FALSE(platform::net::gethostbyname(""));
    EXPECT_FALSE(platform::net::gethostbyname(std::string("local\0host", 10)));
}

TEST(SyncLookup, ServicesAndProtocolsComeFromTheSystemFiles)
{
    const auto http = platform::net::getservbyname("http", "tcp");
    ASSERT_TRUE(http);
    EXPECT_EQ(ntohs(http->port), 80);
    const auto anyProtocol = platform::net::getservbyname("ftp", nullptr);
    ASSERT_TRUE(anyProtocol);
    EXPECT_EQ(ntohs(anyProtocol->port), 21);
    EXPECT_FALSE(platform::net::getservbyname("http-alt-which-does-not-exist", "tcp"));
    EXPECT_EQ(WSAGetLastError(), WSANO_DATA);
    EXPECT_FALSE(platform::net::getservbyname("http", "udp")) << "http is a tcp service only";

    const auto udp = platform::net::getprotobyname("udp");
    ASSERT_TRUE(udp);
    EXPECT_EQ(udp->number, 17);
    const auto upper = platform::net::getprotobyname("TCP");
    ASSERT_TRUE(upper) << "aliases count";
    EXPECT_EQ(upper->number, 6);
    EXPECT_FALSE(platform::net::getprotobyname("carrier-pigeon"));
}

TEST(AsyncLookup, LocalhostArrivesAsOneMessageWithTheEntry)
{
    Requester r;
    const AsyncRequest request = WSAAsyncGetHostByName(&r.window, kDone, "localhost", r.result);
    ASSERT_NE(request, 0u);
    EXPECT_TRUE(r.done.empty()) << "never inside the call";
    ASSERT_TRUE(nettest::runUntil([&] { return !r.done.empty(); }));
    nettest::runFor(50);
    ASSERT_EQ(r.done.size(), 1u);
    EXPECT_EQ(r.done[0].request, request);
    EXPECT_EQ(r.done[0].error, 0);
    EXPECT_GT(r.done[0].length, 16u);
    ASSERT_FALSE(r.result->addresses.empty());
    EXPECT_EQ(r.result->addresses.front(), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(WSACancelAsyncRequest(request), SOCKET_ERROR) << "already complete";
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}

TEST(AsyncLookup, UnknownHostArrivesWithHostNotFound)
{
    Requester r;
    ASSERT_NE(WSAAsyncGetHostByName(&r.window, kDone, "no-such-host.invalid", r.result), 0u);
    ASSERT_TRUE(nettest::runUntil([&] { return !r.done.empty(); }));
    EXPECT_EQ(r.done[0].error, WSAHOST_NOT_FOUND);
    EXPECT_TRUE(r.result->addresses.empty());
}

TEST(AsyncLookup, TooSmallABufferFailsWithNoBuffers)
{
    Requester r;
    ASSERT_NE(WSAAsyncGetHostByName(&r.window, kDone, "localhost", r.result, 8), 0u);
    ASSERT_TRUE(nettest::runUntil([&] { return !r.done.empty(); }));
    EXPECT_EQ(r.done[0].error, WSAENOBUFS);
    EXPECT_GT(r.done[0].length, 8u) << "the size that would have been needed";
}

TEST(AsyncLookup, CancelledRequestNeverArrivesAndOthersStillDo)
{
    Requester r;
    const AsyncRequest first = WSAAsyncGetHostByName(&r.window, kDone, "localhost", r.result);
    const AsyncRequest second = WSAAsyncGetHostByName(&r.window, kDone, "localhost", r.result);
    ASSERT_NE(first, second);
    EXPECT_EQ(WSACancelAsyncRequest(first), 0);
    EXPECT_EQ(WSACancelAsyncRequest(first), SOCKET_ERROR);
    ASSERT_TRUE(nettest::runUntil([&] { return !r.done.empty(); }));
    nettest::runFor(100);
    ASSERT_EQ(r.done.size(), 1u);
    EXPECT_EQ(r.done[0].request, second);
    EXPECT_EQ(WSACancelAsyncRequest(0), SOCKET_ERROR);
}

TEST(AsyncLookup, RequesterThatGoesAwayLeavesNothingDangling)
{
    std::weak_ptr<HostEntry> buffer;
    {
        auto r = std::make_unique<Requester>();
        buffer = r->result;
        for (int i = 0; i < 5; ++i)
            ASSERT_NE(WSAAsyncGetHostByName(&r->window, kDone, "localhost", r->result), 0u);
    }
    nettest::runFor(300); // completions for a destroyed window and a released buffer
    EXPECT_TRUE(buffer.expired());
}

TEST(AsyncLookup, SlowResolverLeavesTheLoopRunningAndCancelAndDestroyStaySafe)
{
    faults::delayLookups(600);
    Requester r;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    const AsyncRequest request = WSAAsyncGetHostByName(&r.window, kDone, "localhost", r.result);
    const AsyncRequest cancelled = WSAAsyncGetHostByName(&r.window, kDone, "localhost", r.result);
    EXPECT_EQ(WSACancelAsyncRequest(cancelled), 0);
    {
        auto gone = std::make_unique<Requester>();
        ASSERT_NE(WSAAsyncGetHostByName(&gone->window, kDone, "localhost", gone->result), 0u);
    }
    ASSERT_TRUE(nettest::runUntil([&] { return !r.done.empty(); }));
    faults::delayLookups(0);
    EXPECT_GT(ticks, 20) << "the event loop ran while the resolver was busy";
    nettest::runFor(100);
    ASSERT_EQ(r.done.size(), 1u);
    EXPECT_EQ(r.done[0].request, request);
}

TEST(AsyncLookup, MissingWindowIsRefused)
{
    EXPECT_EQ(WSAAsyncGetHostByName(nullptr, kDone, "localhost", nullptr), 0u);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}
