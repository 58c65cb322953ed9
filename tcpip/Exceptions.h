#pragma once
// The network layer's exceptions. Every one is an ETcpIpError, so a caller can catch them all.
#include <cstdint>
#include <string>

#include "base/Exception.h"

namespace tcpip {

// Host, connection and timeout failures; the message says what happened.
class ETcpIpError : public base::Exception {
public:
    using Exception::Exception;
};

// A socket that could not be created or connected; ErrorCode is the Winsock code.
class ESocketError : public ETcpIpError {
public:
    explicit ESocketError(int errorCode)
        : ETcpIpError("Error creating socket", errorCode), ErrorCode(static_cast<std::uint16_t>(errorCode)) {}
    std::uint16_t ErrorCode;
};

// A reply code of 400 or more (999: a reply that did not begin with a number, or none at all).
// The message is the reply's text.
class EProtocolError : public ETcpIpError {
public:
    EProtocolError(std::string protocol, int replyCode, const std::string& text)
        : ETcpIpError(text, replyCode), ReplyCode(static_cast<std::uint16_t>(replyCode)), Protocol(std::move(protocol)) {}
    std::uint16_t ReplyCode;
    std::string Protocol;
};

// An operation started while a transfer is under way.
class EProtocolBusy : public ETcpIpError {
public:
    EProtocolBusy() : ETcpIpError("Protocol busy") {}
};

} // namespace tcpip
