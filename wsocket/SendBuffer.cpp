#include "wsocket/SendBuffer.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(std::int32_t capacity)
{
    SetCapacity(capacity);
}

void TBuffer::SetCapacity(std::int32_t n)
{
    if (n <= 0)
        n = kSendBlockSize;
    n = std::max(n, writePos_);
    if (n == capacity_)
        return;
    // Left uninitialised: every byte is written before it is read.
    std::unique_ptr<char[]> storage(new char[static_cast<std::size_t>(n)]);
    if (writePos_ != readPos_)
        std::memcpy(storage.get(), data_.get(), static_cast<std::size_t>(writePos_));
    data_ = std::move(storage);
    capacity_ = n;
}

std::int32_t TBuffer::Write(const void* source, std::int32_t length)
{
    const std::int32_t count = std::min(Free(), length);
    if (count <= 0)
        return 0;
    std::memcpy(data_.get() + writePos_, source, static_cast<std::size_t>(count));
    writePos_ += count;
    return count;
}

const char* TBuffer::Peek(std::int32_t& length) const
{
    length = Unread();
    if (length > 0)
        return data_.get() + readPos_;
    length = 0;
    return nullptr;
}

std::int32_t TBuffer::Remove(std::int32_t length)
{
    const std::int32_t count = std::min(Unread(), length);
    if (count <= 0)
        return 0;
    readPos_ += count;
    if (readPos_ == writePos_)
        readPos_ = writePos_ = 0;
    return count;
}
