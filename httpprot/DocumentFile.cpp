#include "httpprot/DocumentFile.h"

#include <cstring>

namespace httpprot {

DocumentFile::DocumentFile(const std::string& path)
    : file_(std::make_unique<base::FileStream>(path, base::FileStream::Create))
{
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
    // Emptied even when the write fails, so that the destructor does not write it again; the
    // buffer keeps its room for the next bytes.
    try {
        file_->write(buffer_.data(), buffer_.size());
    } catch (...) {
        buffer_.clear();
        throw;
    }
    buffer_.clear();
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
