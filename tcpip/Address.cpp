#include "tcpip/Address.h"

#include "platform/net/Resolver.h"
#include "platform/net/Sockets.h"

#include <arpa/inet.h>

namespace tcpip {

namespace net = platform::net;

std::uint32_t ResolveAddress(const std::string& text)
{
    if (text.empty() || text.find('\0') != std::string::npos)
        return kNoAddress;
    try {
        const std::uint32_t dotted = net::inet_addr(text.c_str());
        if (dotted != kNoAddress)
            return dotted;
        const auto host = net::gethostbyname(text);
        if (!host || host->addresses.empty())
            return kNoAddress;
        return host->addresses.front();
    } catch (...) {
        return kNoAddress;
    }
}

std::string AddressToText(std::uint32_t address)
{
    const std::uint32_t host = ntohl(address);
    return std::to_string(host >> 24) + "." + std::to_string((host >> 16) & 0xFF) + "."
        + std::to_string((host >> 8) & 0xFF) + "." + std::to_string(host & 0xFF);
}

std::uint32_t LocalAddress()
{
    char name[255] = {};
    if (net::gethostname(name, sizeof name - 1) == 0) {
        const std::uint32_t address = ResolveAddress(name);
        if (address != kNoAddress)
            return address;
    }
    return htonl(INADDR_LOOPBACK);
}

} // namespace tcpip
