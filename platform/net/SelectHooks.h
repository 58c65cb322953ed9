#pragma once
// What the socket calls tell the asynchronous select. Internal to platform_net.
#include "platform/net/Sockets.h"

namespace platform::net::detail {

void readCalled(SOCKET s);
void acceptCalled(SOCKET s);
void sendFellShort(SOCKET s);
// completed: connect returned 0 at once (blocking sockets, or a quick loopback connect).
void connectStarted(SOCKET s, bool completed);
void listenStarted(SOCKET s);
void aboutToClose(SOCKET s);

} // namespace platform::net::detail
