#include "tarnby/check/ResponseReader.h"

#include "base/Text.h"

#include <algorithm>
#include <cstring>

namespace tarnby::check {

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool HasControlCharacter(std::string_view line)
{
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\t') || b == 0x7F;
    });
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Calls each(token) for the comma-separated tokens of a field value, trimmed and lower-cased.
template <typename Each>
void ForEachToken(std::string_view value, Each&& each)
{
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        each(base::LowerCase(std::string(Trimmed(value.substr(0, comma)))));
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    }
}

constexpr std::size_t kMaxChunkDigits = 15; // below 2^60: no overflow, far past any real chunk

} // namespace

void ResponseReader::start(bool head)
{
    *this = ResponseReader();
    head_ = head;
    stage_ = Stage::Header;
}

void ResponseReader::fail(Fault fault, std::string why)
{
    stage_ = Stage::Failed;
    fault_ = fault;
    failure_ = std::move(why);
}

// Takes bytes up to and including the next LF into line (without CR LF); false when they
// hold no LF yet (the bytes are kept for the next call). A line longer than limit fails the
// response.
bool ResponseReader::takeLine(std::string_view bytes, std::size_t& used, std::string& line, std::size_t limit)
{
    const char* const start = bytes.data() + used;
    const std::size_t n = bytes.size() - used;
    const void* const lf = std::memchr(start, '\n', n);
    const std::size_t take = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1 : n;
    if (partial_.size() + take > limit) {
        used += take;
        fail(Fault::Hostile, stage_ == Stage::Header ? "response header longer than " + std::to_string(kMaxHeaderBytes) + " bytes"
                                                     : "chunk size line longer than " + std::to_string(kMaxChunkLine) + " bytes");
        return false;
    }
    partial_.append(start, take);
    used += take;
    if (!lf)
        return false;
    line = std::move(partial_);
    partial_.clear();
    line.pop_back();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

std::size_t ResponseReader::feed(std::string_view bytes, const std::function<void(std::string_view)>& onBody)
{
    std::size_t used = 0;
    while (used < bytes.size()) {
        if (stage_ == Stage::Body) {
            used += bodyBytes(bytes.substr(used), onBody);
            continue;
        }
        if (stage_ != Stage::Header)
            break;
        std::string line;
        const std::size_t before = used;
        const bool got = takeLine(bytes, used, line, kMaxHeaderBytes - headerBytes_);
        headerBytes_ += used - before;
        if (!got)
            continue;
        if (line.empty() && statusSeen_) {
            headerEnded();
            if (stage_ != Stage::Header)
                break; // the caller decides about the body
        } else {
            headerLine(line);
        }
    }
    return used;
}

void ResponseReader::headerLine(const std::string& line)
{
    if (!statusSeen_) {
        // "HTTP/1.x SP three digits", then a blank and the reason, or nothing.
        const bool http = line.size() >= 9 && line.compare(0, 7, "HTTP/1.") == 0
            && line[7] >= '0' && line[7] <= '9' && line[8] == ' ' && !HasControlCharacter(line);
        if (!http)
            return fail(Fault::NoStatus, "no HTTP status in the answer");
        const std::string code = line.substr(9, 3);
        if (!AllDigits(code) || code.size() != 3 || (line.size() > 12 && line[12] != ' '))
            return fail(Fault::NoStatus, "status code is not a number: \"" + code + "\"");
        status_ = std::stoi(code);
        http10_ = line[7] == '0';
        statusSeen_ = true;
        return;
    }
    if (HasControlCharacter(line))
        return fail(Fault::Hostile, "control character in the response header");
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0 || line[0] == ' ' || line[0] == '\t')
        return; // not a field (or an obsolete continuation): nothing a check needs
    const std::string name = base::LowerCase(line.substr(0, colon));
    const std::string_view value = Trimmed(std::string_view(line).substr(colon + 1));
    if (name == "location" && location_.empty()) {
        location_ = value;
    } else if (name == "retry-after") {
        retryAfter_ = value;
    } else if (name == "content-type") {
        contentType_ = value;
    } else if (name == "content-length") {
        if (!AllDigits(value) || value.size() > 18)
            return fail(Fault::Hostile, "content length is not a number: \"" + std::string(value.substr(0, 40)) + "\"");
        const std::int64_t length = std::stoll(std::string(value));
        if (contentLength_ >= 0 && contentLength_ != length)
            return fail(Fault::Hostile, "two different content lengths");
        contentLength_ = length;
    } else if (name == "transfer-encoding") {
        ForEachToken(value, [this](const std::string& coding) { chunked_ = coding == "chunked"; });
        framing_ = Framing::UntilClose; // unless it ends in chunked (decided at the header's end)
    } else if (name == "connection") {
        ForEachToken(value, [this](const std::string& token) {
            connectionClose_ = connectionClose_ || token == "close";
            connectionKeepAlive_ = connectionKeepAlive_ || token == "keep-alive";
        });
    }
}

void ResponseReader::headerEnded()
{
    if (status_ >= 100 && status_ < 200) {
        if (status_ == 101)
            return fail(Fault::Hostile, "the server switched protocols unasked");
        // An interim answer: the response follows on the same connection, within the limit.
        const std::size_t counted = headerBytes_;
        start(head_);
        headerBytes_ = counted;
        return;
    }
    keepAlive_ = http10_ ? connectionKeepAlive_ && !connectionClose_ : !connectionClose_;
    const bool transferCoded = framing_ == Framing::UntilClose;
    if (head_ || status_ == 204 || status_ == 304) {
        framing_ = Framing::None;
    } else if (transferCoded) {
        // A length beside a transfer coding is ignored, and the connection not trusted again.
        framing_ = chunked_ ? Framing::Chunked : Framing::UntilClose;
        keepAlive_ = keepAlive_ && contentLength_ < 0;
    } else if (contentLength_ > 0) {
        framing_ = Framing::Length;
        left_ = contentLength_;
    } else {
        framing_ = contentLength_ == 0 ? Framing::None : Framing::UntilClose;
    }
    stage_ = framing_ == Framing::None ? Stage::Done : Stage::Body;
}

std::size_t ResponseReader::bodyBytes(std::string_view bytes, const std::function<void(std::string_view)>& onBody)
{
    const auto deliver = [&onBody](std::string_view piece) {
        if (onBody && !piece.empty())
            onBody(piece);
    };
    if (framing_ == Framing::UntilClose) {
        deliver(bytes);
        return bytes.size();
    }
    if (framing_ == Framing::Length) {
        const std::size_t take = static_cast<std::size_t>(std::min<std::int64_t>(left_, static_cast<std::int64_t>(bytes.size())));
        deliver(bytes.substr(0, take));
        left_ -= static_cast<std::int64_t>(take);
        if (left_ == 0)
            stage_ = Stage::Done;
        return take;
    }
    std::size_t used = 0;
    while (used < bytes.size() && stage_ == Stage::Body) {
        std::string line;
        if (chunkStage_ == ChunkStage::Data) {
            const std::size_t take =
                static_cast<std::size_t>(std::min<std::int64_t>(left_, static_cast<std::int64_t>(bytes.size() - used)));
            deliver(bytes.substr(used, take));
            used += take;
            left_ -= static_cast<std::int64_t>(take);
            if (left_ == 0)
                chunkStage_ = ChunkStage::DataEnd;
        } else if (chunkStage_ == ChunkStage::Trailer) {
            const std::size_t before = used;
            const bool got = takeLine(bytes, used, line, kMaxHeaderBytes - std::min(headerBytes_, kMaxHeaderBytes));
            headerBytes_ += used - before;
            if (got && line.empty())
                stage_ = Stage::Done;
        } else if (takeLine(bytes, used, line, kMaxChunkLine)) {
            if (chunkStage_ == ChunkStage::Size)
                chunkSizeLine(line);
            else if (!line.empty())
                fail(Fault::Hostile, "chunk not followed by its line end");
            else
                chunkStage_ = ChunkStage::Size;
        }
    }
    return used;
}

// Hexadecimal digits, then optional extensions after ";" (ignored).
void ResponseReader::chunkSizeLine(const std::string& line)
{
    const std::string_view digits = Trimmed(std::string_view(line).substr(0, line.find(';')));
    if (digits.empty() || digits.size() > kMaxChunkDigits || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
        return fail(Fault::Hostile, "chunk size is not a number: \"" + line.substr(0, 40) + "\"");
    left_ = std::stoll(std::string(digits), nullptr, 16);
    chunkStage_ = left_ == 0 ? ChunkStage::Trailer : ChunkStage::Data;
}

void ResponseReader::endOfStream()
{
    if (stage_ == Stage::Header)
        fail(Fault::ClosedEarly, "connection closed before the end of the response header");
    else if (stage_ == Stage::Body && framing_ == Framing::UntilClose)
        stage_ = Stage::Done;
    else if (stage_ == Stage::Body)
        fail(Fault::Truncated, "connection closed inside the body");
}

std::int64_t ResponseReader::bodyLeft() const
{
    if (framing_ == Framing::Length)
        return left_;
    return framing_ == Framing::None ? 0 : -1;
}

} // namespace tarnby::check
