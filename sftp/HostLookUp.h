#pragma once
// HostLookUp: the IPv4 address of a host name by the platform's asynchronous resolver, waited
// for in the event loop, so that a cancel from a handler inside the wait ends it at once. The
// look-up runs on a helper thread that nothing can interrupt: a cancel or the deadline leaves
// it behind, and its late answer is dropped (the resolver shares its state by shared_ptr).
// Needs a QCoreApplication; belongs to the thread that runs it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace sftp {

class HostLookUp {
public:
    enum class Outcome : std::uint8_t { Found, NotFound, TimedOut, Cancelled };

    // Waits until the name is found (address set, network order) or known not to exist, the
    // deadline has passed or cancel() was called. A dotted address needs no look-up.
    Outcome run(const std::string& host, std::chrono::steady_clock::time_point deadline, std::uint32_t& address);
    // From inside run()'s wait; nothing when no look-up runs.
    void cancel();

private:
    std::function<void()> wake_; // set while run() waits
    bool cancelled_ = false;
};

} // namespace sftp
