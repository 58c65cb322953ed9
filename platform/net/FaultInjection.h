#pragma once
// Test hook: makes the Nth socket call from now fail with a chosen Winsock code, so tests can
// check that every failure ends in a correct result or a clean error (never a crash, a hang or
// a leaked descriptor). Counted calls: socket, connect, bind, listen, accept, recv, recvfrom,
// send, sendto, sendv, sendFile, shutdown, closesocket, setsockopt, getsockopt, getsockname,
// getpeername, ioctlsocket and WSAAsyncSelect. A failed call behaves as a real failure does:
// it tells the select layer what the real call would (a failed recv still re-enables FD_READ)
// and closesocket still releases the descriptor. Disarmed unless a test arms it.
namespace platform::net::faults {

// n = 1 fails the next counted call; n <= 0 disarms.
void failNthCall(int n, int winsockCode);
// Counted calls since the last failNthCall.
int callsCounted();
// True when the armed failure has happened.
bool fired();

// Makes every asynchronous host look-up take at least this long on its helper thread (a slow
// name server); 0 (the default) for none.
void delayLookups(int milliseconds);
int lookupDelay();

// For the socket calls: counts one call; true (and the last error set) when this one must fail.
bool injectFailure();

} // namespace platform::net::faults
