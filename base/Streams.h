#pragma once
// Byte streams with read, write, seek and size: in memory and on files.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace base {

enum class SeekOrigin { Beginning, Current, End };

// Where a seek in memory lands: offset from the origin, never before the first byte (a stream
// in memory may be positioned past its end; the next write fills the gap).
std::size_t SeekInMemory(std::size_t position, std::int64_t size, std::int64_t offset, SeekOrigin origin);

class Stream {
public:
    virtual ~Stream() = default;
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual std::size_t read(void* buffer, std::size_t count) = 0;
    // Writes all count bytes or throws EFileError; returns count.
    virtual std::size_t write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t size() const = 0;

    std::int64_t position() { return seek(0, SeekOrigin::Current); }
    void setPosition(std::int64_t p) { seek(p, SeekOrigin::Beginning); }
    std::size_t write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Copies everything from the current position of source to its end.
    void copyFrom(Stream& source);

    // Room for up to wanted bytes at the end of the stream, for a reader that receives
    // straight into it instead of through a buffer of its own; commitReceived(n) then appends
    // the first n bytes written there. Empty (the default) when the stream offers no such
    // room: write() is the way then.
    virtual std::span<char> receiveRoom(std::size_t /*wanted*/) { return {}; }
    virtual void commitReceived(std::size_t /*count*/) {}
};

class MemoryStream : public Stream {
public:
    using Stream::write;
    std::size_t read(void* buffer, std::size_t count) override;
    std::size_t write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t size() const override { return static_cast<std::int64_t>(data_.size()); }

    // Truncates or extends (with zero bytes); the position is kept within the new size.
    void setSize(std::int64_t size);
    void clear();
    // Room for size bytes in all, so that writing up to there never moves what was written.
    void reserve(std::size_t size) { data_.reserve(size); }
    // Hands the bytes over without a copy; the stream is empty afterwards.
    std::string take();
    const std::string& data() const { return data_; }
    void loadFromFile(const std::string& path);
    void saveToFile(const std::string& path) const;

private:
    std::string data_;
    std::size_t position_ = 0;
};

class FileStream : public Stream {
public:
    using Stream::write;
    enum Mode { OpenRead, OpenReadWrite, Create };
    // Throws EFileError naming the file and the system's reason when it cannot be opened.
    FileStream(const std::string& path, Mode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    std::size_t read(void* buffer, std::size_t count) override;
    std::size_t write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t size() const override;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

// Whole-file helpers; they throw EFileError with the file's name and the system's reason.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, std::string_view bytes);

} // namespace base
