#pragma once
// Reads HTTP/1.x responses from the bytes of a connection as they arrive, one after another
// on the same connection: the status line, the header fields, and the body framed by
// Content-Length, by chunks, or by the end of the connection. Socket-free, so every rule is
// tested with bytes alone.
//
// Hostile answers are bounded: the header of a response (interim 1xx answers included) at
// most kMaxHeaderBytes, a chunk-size line at most kMaxChunkLine, chunk sizes below 2^60; a
// header line with a control character (other than TAB) fails the response. The body is
// handed to the caller as it arrives; how much of it to read is the caller's choice.
//
// Invariant: after start(), stage() moves forward only: Header, Body, Done or Failed; once
// Done or Failed, feed() consumes nothing until the next start().
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarnby::check {

class ResponseReader {
public:
    static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
    static constexpr std::size_t kMaxChunkLine = 1024;

    enum class Stage { Header, Body, Done, Failed };
    enum class Fault {
        None,
        NoStatus,    // the first line is not an HTTP/1.x status line: not an HTTP answer
        ClosedEarly, // the connection ended before the header did
        Hostile,     // too long, control characters, unreadable framing
        Truncated,   // the connection ended inside the body
    };

    // A new response to a request; head: it was HEAD, so the answer has no body.
    void start(bool head);
    // Consumes bytes; body bytes go to onBody. Returns how many were consumed: everything,
    // unless the response ended (Done or Failed) inside bytes, or its header ended (the
    // caller then decides about the body before it feeds the rest).
    std::size_t feed(std::string_view bytes, const std::function<void(std::string_view)>& onBody = {});
    // The connection ended: Done for a body that runs to the end, else a failure.
    void endOfStream();

    Stage stage() const { return stage_; }
    Fault fault() const { return fault_; }
    const std::string& failure() const { return failure_; }

    int status() const { return status_; }
    const std::string& location() const { return location_; }
    const std::string& retryAfter() const { return retryAfter_; }
    const std::string& contentType() const { return contentType_; }
    // The server keeps the connection open for the next request once this body is read.
    bool keepAlive() const { return keepAlive_ && framing_ != Framing::UntilClose; }
    // Body bytes still to come when the body's length is known; -1 otherwise.
    std::int64_t bodyLeft() const;

private:
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class ChunkStage { Size, Data, DataEnd, Trailer };

    bool takeLine(std::string_view bytes, std::size_t& used, std::string& line, std::size_t limit);
    void headerLine(const std::string& line);
    void headerEnded();
    std::size_t bodyBytes(std::string_view bytes, const std::function<void(std::string_view)>& onBody);
    void chunkSizeLine(const std::string& line);
    void fail(Fault fault, std::string why);

    Stage stage_ = Stage::Done;
    Fault fault_ = Fault::None;
    std::string failure_;
    bool head_ = false;
    bool statusSeen_ = false;
    std::string partial_; // a line not yet ended
    std::size_t headerBytes_ = 0;
    int status_ = 0;
    bool http10_ = false;
    std::string location_, retryAfter_, contentType_;
    std::int64_t contentLength_ = -1;
    bool chunked_ = false;
    bool connectionClose_ = false, connectionKeepAlive_ = false;
    bool keepAlive_ = false;
    Framing framing_ = Framing::None;
    ChunkStage chunkStage_ = ChunkStage::Size;
    std::int64_t left_ = 0; // of the body (Length) or of the chunk (Chunked)
};

} // namespace tarnby::check
