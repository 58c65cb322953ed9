#include "sftp/HostLookUp.h"

#include "platform/net/Resolver.h"

#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>

#include <algorithm>

namespace sftp {

namespace net = platform::net;

HostLookUp::Outcome HostLookUp::run(const std::string& host, std::chrono::steady_clock::time_point deadline,
                                    std::uint32_t& address)
{
    in_addr dotted{};
    if (::inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
        address = dotted.s_addr;
        return Outcome::Found;
    }
    QEventLoop loop;
    bool answered = false;
    int error = 0;
    net::MessageWindow window([&](unsigned, net::WPARAM, net::LPARAM lParam) {
        answered = true;
        error = net::WSAGETASYNCERROR(lParam);
        loop.quit();
    });
    const auto entry = std::make_shared<net::HostEntry>();
    constexpr unsigned kLookedUp = net::WM_USER + 1;
    const net::AsyncRequest request = net::WSAAsyncGetHostByName(&window, kLookedUp, host, entry);
    if (request == 0)
        return Outcome::NotFound;
    QTimer limit;
    limit.setTimerType(Qt::PreciseTimer);
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    cancelled_ = false;
    wake_ = [&loop] { loop.quit(); };
    // Each pass re-arms the limit: a timer that fires early only leads to another pass.
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (answered || cancelled_ || left.count() <= 0)
            break;
        limit.start(left);
        loop.exec();
    }
    wake_ = nullptr;
    if (!answered) {
        net::WSACancelAsyncRequest(request);
        return cancelled_ ? Outcome::Cancelled : Outcome::TimedOut;
    }
    if (error != 0 || entry->addresses.empty())
        return Outcome::NotFound;
    address = entry->addresses.front();
    return Outcome::Found;
}

void HostLookUp::cancel()
{
    cancelled_ = true;
    if (wake_)
        wake_();
}

} // namespace sftp
