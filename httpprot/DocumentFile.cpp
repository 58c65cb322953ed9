#include "httpprot/DocumentFile.h"

#include <cstring>

namespace httpprot {

DocumentFile::DocumentFile(const std::string& path)
    : file_(std::make_unique<base::FileStream>(path, base::FileStream::Create))
{
    buffer_.reserve(BufferSize);
}

DocumentFile::~DocumentFile()
{
    try {
        flush();
    } catch (const std::exception&) {
        // Nobody is left to tell; close() reports it to callers that care.
    }
}

void DocumentFile::flush()
{
    if (buffer_.empty())
        return;
    // Emptied first: a failed write must not be written again by the destructor.
    const std::string pending = std::move(buffer_);
    buffer_.clear();
    buffer_.reserve(BufferSize);
    file_->write(pending.data(), pending.size());
}

void DocumentFile::close()
{
    flush();
}

std::size_t DocumentFile::read(void* buffer, std::size_t count)
{
    flush();
    return file_->read(buffer, count);
}

std::size_t DocumentFile::write(const void* buffer, std::size_t count)
{
    if (buffer_.size() + count > BufferSize)
        flush();
    if (count >= BufferSize)
        return file_->write(buffer, count);
    buffer_.append(static_cast<const char*>(buffer), count);
    return count;
}

std::int64_t DocumentFile::seek(std::int64_t offset, base::SeekOrigin origin)
{
    flush();
    return file_->seek(offset, origin);
}

std::int64_t DocumentFile::size() const
{
    return file_->size() + static_cast<std::int64_t>(buffer_.size());
}

} // namespace httpprot
