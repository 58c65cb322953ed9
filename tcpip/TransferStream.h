#pragma once
// TransferStream: the session's DataStream, a memory stream built for transfers of hundreds of
// megabytes. Its room is anonymous memory that is never zero-filled by us (the kernel gives
// zero pages on first touch), grows by remapping instead of copying, and asks for huge pages
// once it is large (fewer page faults). Received bytes can go straight into it (appendRoom /
// commitAppend) instead of through a separate receive buffer, and a file to upload is mapped,
// not copied (loadFromFile); until the stream is changed, the file itself can be sent
// (sourceFile).
//
// Invariants: size() <= capacity; position() <= size() after every operation except seek and
// setPosition past the end (a write there fills the gap with zero bytes); data() views the
// bytes 0..size() and is invalidated by anything that grows the stream.
#include "base/Streams.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tcpip {

class TransferStream : public base::Stream {
public:
    TransferStream() = default;
    ~TransferStream() override;
    TransferStream(const TransferStream&) = delete;
    TransferStream& operator=(const TransferStream&) = delete;

    using Stream::write;
    std::size_t read(void* buffer, std::size_t count) override;
    std::size_t write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, base::SeekOrigin origin) override;
    std::int64_t size() const override { return static_cast<std::int64_t>(size_); }

    // Truncates or extends (with zero bytes); the position is kept within the new size.
    void setSize(std::int64_t size);
    // Room for at least bytes more without moving the data again (contents kept).
    void reserve(std::size_t bytes);
    // Empties the stream and gives its memory back.
    void clear();
    std::string_view data() const { return { memory_, size_ }; }

    // At least count writable bytes after the end; commitAppend(n) then adds the first n of
    // them to the stream (n <= count) and moves the position to the new end.
    char* appendRoom(std::size_t count);
    void commitAppend(std::size_t count);

    // Throws base::EFileError naming the file and the reason.
    void loadFromFile(const std::string& path);
    // The open file whose bytes the stream holds, unchanged since loadFromFile; -1 once anything
    // was written, cut or appended, and for a stream not loaded from a file.
    int sourceFile() const { return file_; }
    void saveToFile(const std::string& path) const;

private:
    void grow(std::size_t needed);
    void releaseFile();

    char* memory_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t position_ = 0;
    // The room is a private mapping of a loaded file: exactly size_ bytes, grown by copying.
    bool fileBacked_ = false;
    int file_ = -1;
};

} // namespace tcpip
