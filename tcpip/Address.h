#pragma once
// IPv4 addresses in network byte order, as the sockets use them. INADDR_NONE (-1) means none.
#include <cstdint>
#include <string>

namespace tcpip {

constexpr std::uint32_t kNoAddress = 0xFFFFFFFF;

// "" gives kNoAddress; a dotted address converts without a name look-up; else the first address
// of the host look-up, or kNoAddress when it fails. Never throws.
std::uint32_t ResolveAddress(const std::string& text);

// "a.b.c.d", most significant byte first, no padding.
std::string AddressToText(std::uint32_t address);

// The first address of this host's own name; 127.0.0.1 when the name does not resolve.
std::uint32_t LocalAddress();

} // namespace tcpip
