#pragma once
// The socket's exception and the fixed table of Winsock error descriptions.
#include "base/Exception.h"

#include <string>

// Raised by the socket for a report when no OnError handler is assigned, and always for a
// failed start-up or an address that cannot be resolved. Carries only the message.
class ESocketException : public base::Exception {
public:
    explicit ESocketException(const std::string& message) : base::Exception(message) {}
};

// English description of a Winsock code; "Not a WinSock error" for any code not in the table.
std::string WinsockErrorText(int code);
