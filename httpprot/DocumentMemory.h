#pragma once
// The memory a document is received into when it is kept in memory rather than in a file:
// room reserved for an announced length, filled by the client's reads where the bytes will
// lie (receiveRoom), and handed over as one std::string without a copy (take).
//
// The bytes lie in a std::string whose size runs a little ahead of the document: the room
// ahead is made (faulted in and zero-filled) a stretch at a time, just before the reads fill
// it, so that no byte is zero-filled twice and a server that announces more than it sends
// costs address space only.
#include "base/Streams.h"

#include <span>
#include <string>
#include <string_view>

namespace httpprot {

class DocumentMemory : public base::Stream {
public:
    using base::Stream::write;
    std::size_t read(void* buffer, std::size_t count) override;
    std::size_t write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, base::SeekOrigin origin) override;
    std::int64_t size() const override { return static_cast<std::int64_t>(size_); }

    // At the end only; empty when the position is elsewhere.
    std::span<char> receiveRoom(std::size_t wanted) override;
    void commitReceived(std::size_t count) override;

    // Room for size bytes in all, so that writing up to there never moves what was written.
    void reserve(std::size_t size);
    // Empties the stream and gives its memory back.
    void clear();
    // Hands the bytes over without a copy (with the reserved capacity); the stream is empty
    // afterwards.
    std::string take();
    std::string_view data() const { return {bytes_.data(), size_}; }

private:
    // Makes bytes_ at least end bytes long, a stretch ahead where the capacity allows.
    void makeRoom(std::size_t end);

    std::string bytes_; // the document, then zero bytes of room
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

} // namespace httpprot
