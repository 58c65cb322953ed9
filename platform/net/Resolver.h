#pragma once
// Host, service and protocol look-ups: the synchronous ones as the Winsock database calls, and
// WSAAsyncGetHostByName, which runs getaddrinfo on a helper thread and posts one message when
// done. IPv4 only.
#include "platform/net/MessageWindow.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::net {

struct HostEntry {
    std::string name;
    std::vector<std::string> aliases;
    std::vector<std::uint32_t> addresses; // IPv4, network order, in the resolver's order; never empty
};

struct ServiceEntry {
    std::string name;
    std::vector<std::string> aliases;
    std::uint16_t port = 0; // network order
    std::string protocol;
};

struct ProtocolEntry {
    std::string name;
    std::vector<std::string> aliases;
    int number = 0;
};

// Synchronous, blocking look-ups; no entry sets WSAGetLastError (11001 unknown host, 11004 no
// entry in /etc/services or /etc/protocols). Names under ".invalid" never resolve (11001) and
// never reach a name server. A protocol of nullptr / empty in getservbyname matches any.
std::optional<HostEntry> gethostbyname(const std::string& name);
std::optional<ServiceEntry> getservbyname(const std::string& name, const char* protocol);
std::optional<ProtocolEntry> getprotobyname(const std::string& name);

using AsyncRequest = std::uintptr_t; // 0 is never a valid request

// Looks up name on a helper thread. When done, the entry is stored into *result and message
// is delivered to window from the event loop (never inside this call), with wParam = the
// request and lParam = (error << 16) | the size the entry takes in a Winsock host buffer; a
// result bigger than bufferSize fails with WSAENOBUFS. A request can be cancelled right up to
// the delivery of its message. The result is shared with the
// resolver, so a requester that cancels or goes away leaves nothing dangling; a window that
// has been destroyed receives nothing. Must be called on a thread with an event loop, with a
// QCoreApplication. Returns 0 and sets WSAGetLastError on failure.
AsyncRequest WSAAsyncGetHostByName(MessageWindow* window, unsigned message, const std::string& name,
                                   std::shared_ptr<HostEntry> result, int bufferSize = 1025);

// Drops a pending request: its message is never posted. 0, or SOCKET_ERROR with WSAEINVAL when
// the request is unknown or already complete.
int WSACancelAsyncRequest(AsyncRequest request);

} // namespace platform::net
