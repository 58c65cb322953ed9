#include "wsocket/SocketAddress.h"

#include "wsocket/SocketErrors.h"
#include "wsocket/SocketProcess.h"

#include "platform/net/Winsock.h"

namespace {

// Process-wide, unprotected: sockets are created and destroyed on one thread at a time.
bool started = false;
int liveCount = 0;
platform::net::WSAData wsaData;

} // namespace

void StartWinsock(const std::string& libraryName)
{
    if (started)
        return;
    const int result = platform::net::WSAStartup(0x0101, wsaData);
    if (result != 0)
        throw ESocketException(libraryName + ": WSAStartup error #" + std::to_string(result));
    started = true;
}

bool WinsockStarted()
{
    return started;
}

int LiveSocketCount()
{
    return liveCount;
}

void SocketCreated()
{
    ++liveCount;
}

void SocketDestroyed()
{
    --liveCount;
    if (started && liveCount < 1) {
        platform::net::WSACleanup();
        started = false;
        liveCount = 0;
    }
}

std::string TrimBlanks(const std::string& text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) < 33)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) < 33)
        --last;
    return text.substr(first, last - first);
}

std::uint32_t DecimalValue(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    return value;
}

std::uint32_t ResolveHost(const std::string& text)
{
    const std::string host = TrimBlanks(text).substr(0, 255);
    if (!started)
        StartWinsock("wsock32.dll");
    // A NUL byte would cut the text short for the dotted-address reader.
    const bool plain = host.find('\0') == std::string::npos;
    const std::uint32_t address = plain ? platform::net::inet_addr(host.c_str()) : INADDR_NONE;
    if (address != INADDR_NONE || host == "255.255.255.255")
        return address;
    const auto entry = platform::net::gethostbyname(host);
    if (!entry)
        throw ESocketException("SetAddr: Cannot convert host address '" + text + "'");
    return entry->addresses.front();
}
