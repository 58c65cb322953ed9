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

// A socket that could not be created or connected; ErrorCode is the Winsock code, the message
// its reason ("Error creating socket" when none is given).
class ESocketError : public ETcpIpError {
public:
    explicit ESocketError(int errorCode, const std::string& reason = "Error creating socket")
        : ETcpIpError(reason, errorCode), ErrorCode(static_cast<std::uint16_t>(errorCode)) {}
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

// A command line holding CR or LF, refused before anything is sent: the server would read the
// rest as a command of its own.
class ECommandRefused : public ETcpIpError {
public:
    ECommandRefused()
        : ETcpIpError("The command was not sent: it holds a line break (CR or LF), which would make the server "
                      "read the rest as another command") {}
};

// A connect that Cancel() stopped; the session is logged out and nothing was left open.
class ECancelled : public ETcpIpError {
public:
    ECancelled() : ETcpIpError("Cancelled") {}
};

// An operation started while a transfer is under way.
class EProtocolBusy : public ETcpIpError {
public:
    EProtocolBusy() : ETcpIpError("Protocol busy") {}
};

} // namespace tcpip
