#pragma once
// Root of every exception the programs raise: a message, and a code where one is defined.
#include <stdexcept>
#include <string>

namespace base {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}
    const std::string message() const { return what(); }
    int code() const { return code_; }

private:
    int code_;
};

// The platform's file error: a file that cannot be opened, created, read or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

} // namespace base
