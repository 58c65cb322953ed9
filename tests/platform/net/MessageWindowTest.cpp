// Posted messages, direct sends and the Winsock code mapping.
#include "LoopbackPeer.h"

#include "platform/net/Winsock.h"

#include <cerrno>
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace platform::net;

TEST(MessageWindow, PostedMessagesArriveLaterInOrderAndSentOnesAtOnce)
{
    std::vector<unsigned> seen;
    MessageWindow w([&](unsigned m, WPARAM wp, LPARAM lp) {
        seen.push_back(m);
        EXPECT_EQ(wp, m * 2u);
        EXPECT_EQ(lp, makeSelectLParam(m, 10054));
    });
    w.post(1, 2, makeSelectLParam(1, 10054));
    w.post(2, 4, makeSelectLParam(2, 10054));
    w.send(3, 6, makeSelectLParam(3, 10054));
    EXPECT_EQ(seen, std::vector<unsigned>{3});
    ASSERT_TRUE(nettest::runUntil([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<unsigned>{3, 1, 2}));
}

TEST(MessageWindow, GuardedMessageIsDroppedWhenItsGuardHasGone)
{
    int delivered = 0;
    MessageWindow w([&](unsigned, WPARAM, LPARAM) { ++delivered; });
    auto guard = std::make_shared<int>(0);
    w.post(1, 0, 0, std::weak_ptr<const void>(guard));
    w.post(1, 0, 0, std::weak_ptr<const void>(guard));
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_EQ(delivered, 2);
    w.post(1, 0, 0, std::weak_ptr<const void>(guard));
    guard.reset();
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_EQ(delivered, 2);
}

TEST(MessageWindow, PostFromAnotherThreadIsHandledOnTheWindowThread)
{
    std::thread::id handledOn;
    MessageWindow w([&](unsigned, WPARAM, LPARAM) { handledOn = std::this_thread::get_id(); });
    std::thread([&] { w.post(7, 0, 0); }).join();
    ASSERT_TRUE(nettest::runUntil([&] { return handledOn != std::thread::id(); }));
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST(SelectLParam, LayoutKeepsEventLowAndErrorHigh)
{
    const LPARAM l = makeSelectLParam(FD_CLOSE, WSAECONNRESET);
    EXPECT_EQ(WSAGETSELECTEVENT(l), static_cast<unsigned>(FD_CLOSE));
    EXPECT_EQ(WSAGETSELECTERROR(l), WSAECONNRESET);
    EXPECT_EQ(WSAGETASYNCERROR(makeSelectLParam(300, WSAHOST_NOT_FOUND)), WSAHOST_NOT_FOUND);
    EXPECT_EQ(WSAGETASYNCBUFLEN(makeSelectLParam(300, WSAHOST_NOT_FOUND)), 300u);
}

TEST(WinsockCodes, ErrnoValuesThatCallersActOnMapToTheirWinsockCodes)
{
    EXPECT_EQ(winsockErrorFromErrno(EAGAIN), WSAEWOULDBLOCK);
    EXPECT_EQ(winsockErrorFromErrno(EINPROGRESS), WSAEWOULDBLOCK) << "a connect under way";
    EXPECT_EQ(winsockErrorFromErrno(ECONNREFUSED), WSAECONNREFUSED);
    EXPECT_EQ(winsockErrorFromErrno(ECONNRESET), WSAECONNRESET);
    EXPECT_EQ(winsockErrorFromErrno(EPIPE), WSAECONNRESET);
    EXPECT_EQ(winsockErrorFromErrno(ENOTCONN), WSAENOTCONN);
    EXPECT_EQ(winsockErrorFromErrno(EBADF), WSAENOTSOCK);
    EXPECT_EQ(winsockErrorFromErrno(EADDRINUSE), WSAEADDRINUSE);
    EXPECT_EQ(winsockErrorFromErrno(ETIMEDOUT), WSAETIMEDOUT);
    EXPECT_EQ(winsockErrorFromErrno(EIO), WSASYSNOTREADY) << "no counterpart: not a retry code";
    EXPECT_EQ(winsockErrorFromErrno(EDEADLK), WSASYSNOTREADY);
}

TEST(WinsockCodes, LastErrorBelongsToTheCallingThread)
{
    WSASetLastError(WSAEINTR);
    std::thread([] {
        EXPECT_EQ(WSAGetLastError(), 0);
        WSASetLastError(WSAECONNRESET);
    }).join();
    EXPECT_EQ(WSAGetLastError(), WSAEINTR);
}

TEST(WinsockStartup, VersionBelowOneOneIsRefused)
{
    WSAData data;
    EXPECT_EQ(WSAStartup(0x0101, data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
    EXPECT_EQ(WSAStartup(0x0001, data), WSAVERNOTSUPPORTED);
    EXPECT_EQ(WSAStartup(0x0202, data), 0);
    EXPECT_EQ(WSACleanup(), 0);
}

TEST(DottedAddresses, ConversionBothWays)
{
    EXPECT_EQ(platform::net::inet_addr("127.0.0.1"), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(platform::net::inet_addr("localhost"), INADDR_NONE);
    EXPECT_EQ(platform::net::inet_addr(""), INADDR_NONE);
    EXPECT_EQ(platform::net::inet_addr("255.255.255.255"), INADDR_NONE);
    EXPECT_EQ(platform::net::inet_addr(nullptr), INADDR_NONE);
    in_addr a{};
    a.s_addr = platform::net::inet_addr("10.1.2.3");
    EXPECT_EQ(platform::net::inet_ntoa(a), "10.1.2.3");
}
