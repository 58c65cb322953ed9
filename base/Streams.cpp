#include "base/Streams.h"

#include "base/Exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace base {

namespace {

[[noreturn]] void throwFileError(const char* what, const std::string& path, int error)
{
    throw EFileError(std::string(what) + " \"" + path + "\". " + std::strerror(error), error);
}

} // namespace

void Stream::copyFrom(Stream& source)
{
    char buffer[65536];
    for (;;) {
        const std::size_t n = source.read(buffer, sizeof buffer);
        if (n == 0)
            break;
        write(buffer, n);
    }
}

std::size_t MemoryStream::read(void* buffer, std::size_t count)
{
    if (position_ >= data_.size())
        return 0;
    const std::size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

std::size_t MemoryStream::write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    if (position_ == data_.size()) {
        // Writing at the end appends: the new bytes are copied once, never zero-filled first.
        data_.append(static_cast<const char*>(buffer), count);
        position_ += count;
        return count;
    }
    if (position_ + count > data_.size())
        data_.resize(position_ + count);
    std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

std::size_t SeekInMemory(std::size_t position, std::int64_t size, std::int64_t offset, SeekOrigin origin)
{
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = static_cast<std::int64_t>(position);
    else if (origin == SeekOrigin::End)
        base = size;
    return static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
}

std::int64_t MemoryStream::seek(std::int64_t offset, SeekOrigin origin)
{
    position_ = SeekInMemory(position_, size(), offset, origin);
    return static_cast<std::int64_t>(position_);
}

void MemoryStream::setSize(std::int64_t size)
{
    data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, size)));
    position_ = std::min(position_, data_.size());
}

std::string MemoryStream::take()
{
    std::string bytes = std::move(data_);
    data_.clear();
    position_ = 0;
    return bytes;
}

void MemoryStream::clear()
{
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void MemoryStream::loadFromFile(const std::string& path)
{
    data_ = ReadWholeFile(path);
    position_ = 0;
}

void MemoryStream::saveToFile(const std::string& path) const
{
    WriteWholeFile(path, data_);
}

FileStream::FileStream(const std::string& path, Mode mode) : path_(path)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenRead: flags |= O_RDONLY; break;
    case OpenReadWrite: flags |= O_RDWR; break;
    case Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0)
        throwFileError(mode == Create ? "Cannot create file" : "Cannot open file", path, errno);
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throwFileError("Cannot open file", path, EISDIR);
    }
}

FileStream::~FileStream()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t FileStream::read(void* buffer, std::size_t count)
{
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, count);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throwFileError("Cannot read file", path_, errno);
    }
}

std::size_t FileStream::write(const void* buffer, std::size_t count)
{
    const char* p = static_cast<const char*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwFileError("Cannot write file", path_, errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return count;
}

std::int64_t FileStream::seek(std::int64_t offset, SeekOrigin origin)
{
    const int whence = origin == SeekOrigin::Beginning ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    const off_t at = ::lseek(fd_, offset, whence);
    if (at < 0)
        throwFileError("Cannot seek in file", path_, errno);
    return at;
}

std::int64_t FileStream::size() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throwFileError("Cannot read file", path_, errno);
    return st.st_size;
}

std::string ReadWholeFile(const std::string& path)
{
    FileStream file(path, FileStream::OpenRead);
    std::string out;
    const auto size = file.size();
    if (size > 0)
        out.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    for (;;) {
        const std::size_t n = file.read(buffer, sizeof buffer);
        if (n == 0)
            break;
        out.append(buffer, n);
    }
    return out;
}

void WriteWholeFile(const std::string& path, std::string_view bytes)
{
    FileStream file(path, FileStream::Create);
    file.write(bytes.data(), bytes.size());
}

} // namespace base
