// The Addr, Port and Proto texts and the asynchronous host look-up.
#include "wsocket/WSocket.h"

namespace net = platform::net;

namespace {

// Service and protocol names travel in 32-character buffers: longer names cannot exist.
constexpr std::size_t kMaxDatabaseName = 31;

bool startsWithDigit(const std::string& text)
{
    return !text.empty() && text[0] >= '0' && text[0] <= '9';
}

} // namespace

void TCustomWSocket::SetAddr(const std::string& text)
{
    if (addrAssigned_ && text == addrStr_)
        return;
    if (state_ != wsClosed)
        return ReportError("Cannot change Addr if not closed");
    addrStr_ = text;
    addrAssigned_ = false;
    sin_.sin_addr.s_addr = ResolveHost(text);
    addrAssigned_ = true;
}

void TCustomWSocket::SetPort(const std::string& text)
{
    if (portAssigned_ && text == portStr_)
        return;
    if (state_ != wsClosed)
        return ReportError("Cannot change Port if not closed");
    portStr_ = text;
    portAssigned_ = true;
    const std::string name = TrimBlanks(text);
    if (startsWithDigit(name)) {
        sin_.sin_port = htons(static_cast<std::uint16_t>(DecimalValue(name) & 0xFFFF));
        portNum_ = ntohs(sin_.sin_port);
        return;
    }
    if (!WinsockStarted())
        StartWinsock("wsock32.dll");
    std::optional<net::ServiceEntry> entry;
    if (name.size() <= kMaxDatabaseName && protoStr_.size() <= kMaxDatabaseName)
        entry = net::getservbyname(name, protoStr_.empty() ? nullptr : protoStr_.c_str());
    else
        net::WSASetLastError(net::WSANO_DATA);
    if (!entry) {
        portAssigned_ = false;
        return SocketError("SetPort: Cannot convert port '" + name + "'");
    }
    sin_.sin_port = entry->port;
    portNum_ = ntohs(entry->port);
}

void TCustomWSocket::SetProto(const std::string& text)
{
    if (protoAssigned_ && text == protoStr_)
        return;
    if (state_ != wsClosed)
        return ReportError("Cannot change Proto if not closed");
    protoStr_ = text;
    const std::string name = TrimBlanks(text);
    protoAssigned_ = true;
    if (startsWithDigit(name)) {
        proto_ = static_cast<int>(DecimalValue(name));
    } else {
        if (!WinsockStarted())
            StartWinsock("wsock32.dll");
        std::optional<net::ProtocolEntry> entry;
        if (name.size() <= kMaxDatabaseName)
            entry = net::getprotobyname(name);
        else
            net::WSASetLastError(net::WSANO_DATA);
        if (!entry) {
            protoAssigned_ = false;
            return SocketError("SetProto: Cannot convert protocol '" + name + "'");
        }
        proto_ = static_cast<std::int16_t>(entry->number);
    }
    type_ = proto_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
}

void TCustomWSocket::DnsLookup(const std::string& hostName)
{
    if (hostName.empty()) {
        ReportError("DNS lookup: invalid host name.");
        TriggerDnsLookupDone(net::WSAEINVAL);
        return;
    }
    if (dnsLookupHandle_ != 0) {
        net::WSACancelAsyncRequest(dnsLookupHandle_);
        dnsLookupHandle_ = 0;
    }
    dnsResult_.clear();
    dnsResultList_.clear();
    const std::uint32_t address =
        hostName.find('\0') == std::string::npos ? net::inet_addr(hostName.c_str()) : INADDR_NONE;
    if (address != INADDR_NONE) {
        in_addr dotted{};
        dotted.s_addr = address;
        dnsResult_ = net::inet_ntoa(dotted);
        TriggerDnsLookupDone(0);
        return;
    }
    // A fresh buffer per look-up: a cancelled one may still be filled by the resolver.
    dnsEntry_ = std::make_shared<net::HostEntry>();
    dnsLookupHandle_ = net::WSAAsyncGetHostByName(window_.get(), WM_HOST_LOOKUP_DONE, hostName, dnsEntry_, 1025);
    if (dnsLookupHandle_ == 0)
        ReportErrorFmt("%s: can't start DNS lookup, error #%d", hostName, net::WSAGetLastError());
}

void TCustomWSocket::HandleHostLookupDone(net::WPARAM wParam, net::LPARAM lParam)
{
    if (dnsLookupHandle_ == 0 || wParam != dnsLookupHandle_)
        return;
    dnsLookupHandle_ = 0;
    const auto error = static_cast<std::uint16_t>(net::WSAGETASYNCERROR(lParam));
    if (error == 0) {
        for (const std::uint32_t address : dnsEntry_->addresses) {
            in_addr a{};
            a.s_addr = address;
            dnsResultList_.add(net::inet_ntoa(a));
        }
        if (!dnsResultList_.empty())
            dnsResult_ = dnsResultList_.get(0);
    }
    TriggerDnsLookupDone(error);
}

void TCustomWSocket::CancelDnsLookup()
{
    if (dnsLookupHandle_ == 0)
        return;
    const int result = net::WSACancelAsyncRequest(dnsLookupHandle_);
    dnsLookupHandle_ = 0;
    if (result != 0)
        return SocketError("WSACancelAsyncRequest");
    if (!destroying_)
        TriggerDnsLookupDone(net::WSAEINTR);
}
