#pragma once
// Process-wide Winsock start-up and the conversions of address, port and protocol texts.
#include <cstdint>
#include <string>

// Idempotent start-up. Failure raises ESocketException "<library>: WSAStartup error #<n>".
void StartWinsock(const std::string& libraryName);
bool WinsockStarted();
// Live socket components of the process (constructors add one, destructors take one off).
int LiveSocketCount();

// Trims codes below 33 at both ends, keeps the first 255 characters and converts: a dotted
// address, "255.255.255.255" (all ones), or a host name looked up synchronously. An unknown
// name raises ESocketException "SetAddr: Cannot convert host address '<text>'" with the
// untrimmed text. Result in network order.
std::uint32_t ResolveHost(const std::string& text);

// Skips leading spaces and reads decimal digits up to the first other character; no sign and
// no overflow test (the value wraps); an empty or non-numeric text gives 0.
std::uint32_t DecimalValue(const std::string& text);

// Removes characters with codes below 33 at both ends.
std::string TrimBlanks(const std::string& text);
