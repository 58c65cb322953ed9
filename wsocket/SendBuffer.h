#pragma once
// TBuffer: one fixed-capacity block of outgoing bytes in the socket's send chain.
// Invariant: 0 <= read position <= write position <= capacity, and an empty block is always at
// 0/0. A block never moves its bytes: it is written from the front up to its capacity, read
// from the front, and its space is reused only once it has been read completely.
#include <cstdint>
#include <memory>

constexpr std::int32_t kSendBlockSize = 1514;

class TBuffer {
public:
    // capacity <= 0 means 1514.
    explicit TBuffer(std::int32_t capacity);
    TBuffer(const TBuffer&) = delete;
    TBuffer& operator=(const TBuffer&) = delete;

    std::int32_t Capacity() const { return capacity_; }
    // n <= 0 means 1514. A non-empty block keeps its written bytes; a size below the write
    // position is raised to it, so written bytes are never lost.
    void SetCapacity(std::int32_t n);

    // Copies as many bytes as fit behind the write position; returns that count (0 when full).
    std::int32_t Write(const void* source, std::int32_t length);
    // The unread bytes: pointer and count, or nullptr and 0. Changes nothing.
    const char* Peek(std::int32_t& length) const;
    // Drops up to length unread bytes; returns how many. Reading the last one resets to 0/0.
    std::int32_t Remove(std::int32_t length);

    std::int32_t Unread() const { return writePos_ - readPos_; }
    std::int32_t Free() const { return capacity_ - writePos_; }

private:
    std::unique_ptr<char[]> data_;
    std::int32_t capacity_ = 0;
    std::int32_t writePos_ = 0;
    std::int32_t readPos_ = 0;
};
