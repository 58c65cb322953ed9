#pragma once
// How long a connect may wait for its server, and how such a wait is named in a message.
#include <chrono>
#include <string>

namespace remote {

// The longest an SFTP log-in (name look-up, TCP connect, SSH handshake, authentication) waits
// for the server, all steps together; less when the session's silence timeout is shorter.
constexpr std::chrono::milliseconds kConnectTimeout{ 20000 };

// "20 seconds", or "300 ms" for a time that is no whole number of seconds.
std::string DurationText(std::chrono::milliseconds duration);

} // namespace remote
