#pragma once
#include <utility>

namespace tcpip {

// Runs at the end of the scope, also when it is left by an exception.
template <typename F>
class Finally {
public:
    explicit Finally(F f) : f_(std::move(f)) {}
    ~Finally() { f_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F f_;
};

} // namespace tcpip
