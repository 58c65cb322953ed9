#pragma once
// The FTP control connection's wire format, as pure logic fed with bytes and lines:
// lines (LineAssembler), replies (ReplyReader), and the texts of PASV replies and PORT commands.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tcpip {

// Control-connection bytes -> lines, fed in blocks as they are received. CR bytes are dropped
// wherever they stand; LF ends a line. A line of more than kMaxLineLength bytes (its CR before
// the LF not counted) is no FTP: it is reported as soon as that many bytes have come without a
// LF, so an endless line never grows the buffer past that.
class LineAssembler {
public:
    static constexpr std::size_t kMaxLineLength = 8192;
    enum class Next { None, Line, TooLong };

    void append(std::string_view bytes);
    // The next complete line into line (Line); None while its LF has not come; TooLong for an
    // over-long line, complete or not (it stays; the connection is of no further use).
    Next next(std::string& line);
    // Bytes received and not yet taken as lines.
    std::size_t pendingBytes() const { return buffer_.size() - start_; }
    void clear();

private:
    std::string buffer_;
    std::size_t start_ = 0;   // where the first line not yet taken begins
    std::size_t scanned_ = 0; // no LF between start_ and here
};

// Whether text holds a byte below 0x20 or 0x7F. Such a byte in a name that goes into a command
// line would end the line early (CR, LF) or reach the server as something no one typed.
bool HoldsControlByte(std::string_view text);

// 999 unless the first three characters are digits.
int ReplyCode(std::string_view line);
// The line from its fifth character on (after the code and the separator).
std::string ReplyText(std::string_view line);

// Lines -> one reply. The first line sets code and text. A first line with a numeric code and
// "-" as fourth character opens a multi-line reply, which ends at the first later line that
// begins with the same code followed by a space (or is just that code); lines between may be
// anything. Every other first line (code 999 included) is a whole reply by itself.
class ReplyReader {
public:
    // More than this many bytes in one reply mean a server that does not speak FTP.
    static constexpr std::size_t kMaxReplyBytes = 1 << 20;

    // Adds the next line; true when the reply is complete. Lines after completion are refused
    // (returns true, nothing changes).
    bool addLine(std::string line);
    bool started() const { return !lines_.empty(); }
    bool complete() const { return complete_; }
    bool tooLong() const { return bytes_ > kMaxReplyBytes; }
    int code() const { return code_; }
    const std::string& text() const { return text_; }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    std::string closing_;
    int code_ = 999;
    std::string text_;
    std::size_t bytes_ = 0;
    bool complete_ = false;
};

struct PassiveAddress {
    std::uint32_t address = 0xFFFFFFFF; // network order; INADDR_NONE when the text is no address
    std::uint16_t port = 0;
};

// The "h1,h2,h3,h4,p1,p2" of a 227 reply text: the part inside the first "(" and the next ")";
// without a "(" (some servers omit it) the run of digits and commas from the first digit on. Port = p1 * 256 + p2
// with p1 and p2 in 0..255. Empty for anything else (junk numbers, missing commas).
std::optional<PassiveAddress> ParsePassiveReply(std::string_view replyText);

// The folder of a 257 reply text ("/a ""quoted"" b" is current directory): the text between the
// first quote and the next single one, each doubled quote standing for one. Empty when there is
// no quoted text, it is not absolute, or it holds a control byte.
std::optional<std::string> ParseFolderReply(std::string_view replyText);

// "PORT h1,h2,h3,h4,p1,p2" for an address in network order and a port.
std::string PortCommand(std::uint32_t address, std::uint16_t port);

// The folder reached by "CWD change" from folder: an absolute change replaces it, a relative one
// is appended; "." steps and empty steps vanish, ".." removes the step before it (and stays at
// the root of an absolute path, or is kept at the front of a relative one).
std::string JoinFolder(const std::string& folder, const std::string& change);

} // namespace tcpip
