#include "tcpip/TransferStream.h"

#include "base/Exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tcpip {

namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = 2 * 1024 * 1024;
constexpr std::size_t kSmallest = 64 * 1024;

std::size_t roundUp(std::size_t n, std::size_t unit)
{
    return (n + unit - 1) / unit * unit;
}

} // namespace

TransferStream::~TransferStream()
{
    clear();
}

void TransferStream::grow(std::size_t needed)
{
    if (needed <= capacity_)
        return;
    // Doubling keeps appends amortised; huge-page multiples once large, so that every huge page
    // of the room can be one.
    std::size_t capacity = std::max({ needed, capacity_ * 2, kSmallest });
    capacity = roundUp(capacity, capacity >= kHugePage ? kHugePage : kPage);
    void* moved = memory_ == nullptr || fileBacked_
        ? ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
        : ::mremap(memory_, capacity_, capacity, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED)
        throw std::bad_alloc();
    if (fileBacked_) {
        // A file's pages end with the file: its bytes move to anonymous room once.
        std::memcpy(moved, memory_, size_);
        ::munmap(memory_, capacity_);
        fileBacked_ = false;
    }
    memory_ = static_cast<char*>(moved);
    capacity_ = capacity;
    if (capacity_ >= kHugePage)
        ::madvise(memory_, capacity_, MADV_HUGEPAGE);
}

void TransferStream::reserve(std::size_t bytes)
{
    grow(size_ + bytes);
}

std::size_t TransferStream::read(void* buffer, std::size_t count)
{
    if (position_ >= size_)
        return 0;
    const std::size_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, memory_ + position_, n);
    position_ += n;
    return n;
}

std::size_t TransferStream::write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    releaseFile();
    if (position_ > size_)
        setSize(static_cast<std::int64_t>(position_));
    grow(position_ + count);
    std::memcpy(memory_ + position_, buffer, count);
    position_ += count;
    size_ = std::max(size_, position_);
    return count;
}

std::int64_t TransferStream::seek(std::int64_t offset, base::SeekOrigin origin)
{
    position_ = base::SeekInMemory(position_, size(), offset, origin);
    return static_cast<std::int64_t>(position_);
}

void TransferStream::setSize(std::int64_t size)
{
    const auto wanted = static_cast<std::size_t>(std::max<std::int64_t>(0, size));
    if (wanted != size_)
        releaseFile();
    if (wanted > size_) {
        grow(wanted);
        // Bytes once written and cut off are zeroed again; untouched room is zero already.
        std::memset(memory_ + size_, 0, wanted - size_);
    }
    size_ = wanted;
    position_ = std::min(position_, size_);
}

void TransferStream::releaseFile()
{
    if (file_ != -1)
        ::close(file_);
    file_ = -1;
}

void TransferStream::clear()
{
    releaseFile();
    if (memory_ != nullptr)
        ::munmap(memory_, capacity_);
    memory_ = nullptr;
    size_ = capacity_ = position_ = 0;
    fileBacked_ = false;
}

char* TransferStream::appendRoom(std::size_t count)
{
    releaseFile();
    grow(size_ + count);
    return memory_ + size_;
}

void TransferStream::commitAppend(std::size_t count)
{
    size_ = std::min(size_ + count, capacity_);
    position_ = size_;
}

void TransferStream::loadFromFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = fd < 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : errno;
        if (fd >= 0)
            ::close(fd);
        throw base::EFileError("Cannot open file \"" + path + "\". " + std::strerror(error), error);
    }
    clear();
    // The file's own pages, mapped privately: no copy and no zero-filled room for an upload, and
    // a write to the stream copies only the page it touches. The file stays open to be sent.
    const auto length = static_cast<std::size_t>(info.st_size);
    void* mapped = length == 0 ? MAP_FAILED
                               : ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    if (mapped != MAP_FAILED) {
        memory_ = static_cast<char*>(mapped);
        size_ = capacity_ = length;
        fileBacked_ = true;
        file_ = fd;
    } else {
        const int error = errno;
        ::close(fd);
        if (length != 0)
            throw base::EFileError("Cannot read file \"" + path + "\". " + std::strerror(error), error);
    }
    position_ = 0;
}

void TransferStream::saveToFile(const std::string& path) const
{
    base::FileStream file(path, base::FileStream::Create);
    file.write(memory_, size_);
}

} // namespace tcpip
