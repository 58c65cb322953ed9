#pragma once
// A loopback port whose connects never complete: a listener that never accepts, with its
// backlog filled, so the kernel drops every further SYN and the client waits as it would for
// an address that never answers. For tests of connect time limits and cancels.
#include <cstdint>
#include <vector>

namespace testservers {

class UnansweredPort {
public:
    // Throws std::runtime_error when the backlog cannot be filled.
    UnansweredPort();
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;

    std::uint16_t port() const { return port_; }

private:
    void release();

    int listener_ = -1;
    std::vector<int> fillers_;
    std::uint16_t port_ = 0;
};

} // namespace testservers
