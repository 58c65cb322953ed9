#pragma once
// How long a connect may wait for its server, and how such a wait is named in a message.
#include <chrono>
#include <string>

namespace remote {

// The longest a log-in waits for its server; less when the session's silence timeout is
// shorter. SFTP counts its steps together (name look-up, TCP connect, SSH handshake,
// authentication); FTP's session bounds each of its waits by the same length (tcpip/TcpIp.h).
constexpr std::chrono::milliseconds kConnectTimeout{ 20000 };

// "20 seconds", or "300 ms" for a time that is no whole number of seconds.
std::string DurationText(std::chrono::milliseconds duration);

} // namespace remote
