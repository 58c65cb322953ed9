#pragma once
// Where the socket calls hand a TLS socket to its session. Internal to platform_net. Each
// returns false when s has no TLS session, and the plain call goes ahead.
#include "platform/net/Sockets.h"

namespace platform::net::detail {

bool tlsRecv(SOCKET s, void* buffer, int length, int flags, int& result);
bool tlsSend(SOCKET s, const iovec* pieces, int count, int& result);
bool tlsPending(SOCKET s, unsigned long& waiting);
bool hasTls(SOCKET s);
// Sends close_notify before the plain shutdown of the sending side.
void tlsShutdown(SOCKET s, int how);

} // namespace platform::net::detail
