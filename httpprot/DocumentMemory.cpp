#include "httpprot/DocumentMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <sys/mman.h>

namespace httpprot {

namespace {

// How far the room runs ahead of the bytes when the capacity allows: large enough for few
// steps, small enough to stay in the cache between being zero-filled and being filled.
constexpr std::size_t kStretch = std::size_t{1} << 20;

// Fresh memory costs a fault per 4 kB page, dear on a virtual machine; the kernel makes a
// whole stretch present in one call instead (a hint: kernels before 5.14 refuse it, and the
// first touch faults as before). 2 MB pages were tried: on the shared virtual machine their
// faults took from 0.3 to 1.4 s for 200 MB, depending on what the kernel had to compact.
void FaultIn(char* begin, char* end)
{
    constexpr std::uintptr_t kPage = 4096;
    const auto first = (reinterpret_cast<std::uintptr_t>(begin) + kPage - 1) & ~(kPage - 1);
    const auto last = reinterpret_cast<std::uintptr_t>(end) & ~(kPage - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
}

} // namespace

void DocumentMemory::makeRoom(std::size_t end)
{
    const std::size_t made = bytes_.size();
    if (end <= made)
        return;
    if (end > bytes_.capacity()) {
        bytes_.resize(end);
        return;
    }
    const std::size_t target = std::min(bytes_.capacity(), std::max(end, made + kStretch));
    FaultIn(bytes_.data() + made, bytes_.data() + target);
    bytes_.resize(target);
}

std::size_t DocumentMemory::read(void* buffer, std::size_t count)
{
    if (position_ >= size_)
        return 0;
    const std::size_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

std::size_t DocumentMemory::write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    makeRoom(position_ + count);
    if (position_ > size_)
        std::memset(bytes_.data() + size_, 0, position_ - size_);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    size_ = std::max(size_, position_);
    return count;
}

std::int64_t DocumentMemory::seek(std::int64_t offset, base::SeekOrigin origin)
{
    position_ = base::SeekInMemory(position_, size(), offset, origin);
    return static_cast<std::int64_t>(position_);
}

std::span<char> DocumentMemory::receiveRoom(std::size_t wanted)
{
    if (position_ != size_ || wanted == 0)
        return {};
    makeRoom(size_ + wanted);
    return {bytes_.data() + size_, wanted};
}

void DocumentMemory::commitReceived(std::size_t count)
{
    size_ += std::min(count, bytes_.size() - size_);
    position_ = size_;
}

void DocumentMemory::reserve(std::size_t size)
{
    bytes_.reserve(size);
}

void DocumentMemory::clear()
{
    bytes_ = std::string();
    size_ = position_ = 0;
}

std::string DocumentMemory::take()
{
    bytes_.resize(size_);
    std::string taken = std::move(bytes_);
    clear();
    return taken;
}

} // namespace httpprot
