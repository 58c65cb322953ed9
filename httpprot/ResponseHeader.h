#pragma once
// The socket-free half of receiving a response: the client's receive buffer, which turns
// received bytes into lines, and the reading of one response header line. THttpCli feeds
// both from its socket; tests and the fuzz target feed them bytes directly.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace httpprot {

// The 8,192-byte receive buffer; one byte is kept for a terminating zero, so it holds at most
// 8,191 bytes. Bytes are written at writePointer() and then commit()ted; whole lines are taken
// from the front. A line, with its line end, must fit: when full() holds and no line can be
// taken, the line is too long and nothing more can be received.
class ReceiveBuffer {
public:
    static constexpr std::size_t Size = 8192;
    static constexpr std::size_t MaxData = Size - 1;

    // Room for the next receive, after the bytes already held (moved to the front first).
    char* writePointer();
    std::size_t freeCount() const { return MaxData - count_; }
    // n bytes were written at writePointer(); n <= freeCount().
    void commit(std::size_t n);
    // Copies as many bytes as fit; returns how many were taken.
    std::size_t append(std::string_view bytes);

    // Takes the text before the first LF (without a CR just before the LF) and removes it and
    // the LF. False, leaving the buffer as it is, when the held bytes contain no LF.
    bool takeLine(std::string& line);
    // Everything held, as one chunk; the buffer is empty afterwards.
    std::string_view contents() const { return {data_.data() + start_, count_}; }
    void clear();

    std::size_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ == MaxData; }

private:
    std::array<char, Size> data_{};
    std::size_t start_ = 0;
    std::size_t count_ = 0;
};

// What one non-empty response header line says.
struct HeaderLine {
    enum class Kind {
        Status,    // "HTTP/1.0 ..." or "HTTP/1.1 ...": statusCode and reasonPhrase
        Field,     // "name: value": name lower-cased
        Other,     // neither (no ":"); kept in the response header only
        Malformed  // a status line whose code is not a number: error says so
    };
    Kind kind = Kind::Other;
    int statusCode = 0;
    std::string reasonPhrase;
    std::string name;
    std::string value;
    std::string error;
};

// A status line starts with exactly "HTTP/1.0" or "HTTP/1.1"; its code is characters 10 to 12
// and its reason phrase runs from character 14 to the end. A field's name is the text before
// the first ":", lower-cased; its value starts two characters after that ":" (one blank after
// the colon is assumed, so "Name:value" loses the "v").
HeaderLine ReadHeaderLine(std::string_view line);

// The number of a content-length value: decimal digits with optional blanks around them.
// Empty for anything else (a sign, other characters, a value beyond 64 bits).
std::optional<std::int64_t> ParseContentLength(std::string_view value);

} // namespace httpprot
