#pragma once
// The file a received document is written to: created (truncated) at once, written through
// a buffer of up to 256 kB, so that a body arriving in 8 kB chunks costs one file write per
// 256 kB. The buffer grows with the document: a small page does not pay for 256 kB of fresh
// memory.
// Everything is on disk after close(); the destructor writes what is left as well, but
// can only drop a failure there, so callers close() where a failure must be seen.
#include "base/Streams.h"

#include <memory>
#include <string>

namespace httpprot {

class DocumentFile : public base::Stream {
public:
    static constexpr std::size_t BufferSize = 256 * 1024;

    // Throws base::EFileError naming the file when it cannot be created.
    explicit DocumentFile(const std::string& path);
    ~DocumentFile() override;

    using base::Stream::write;
    std::size_t read(void* buffer, std::size_t count) override;
    // Throws base::EFileError when the file cannot be written.
    std::size_t write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, base::SeekOrigin origin) override;
    std::int64_t size() const override;

    // Writes out what is buffered; throws base::EFileError.
    void close();

private:
    void flush();
    std::unique_ptr<base::FileStream> file_;
    std::string buffer_;
};

} // namespace httpprot
