#include "tcpip/FtpReply.h"

#include "base/Text.h"
#include "platform/net/Sockets.h"
#include "tcpip/ListingParser.h"
#include "tcpip/TextNumber.h"

#include <arpa/inet.h>

#include <vector>

namespace tcpip {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::optional<int> byteNumber(std::string_view text)
{
    const auto n = ToNumber(trimmed(text));
    if (!n || *n < 0 || *n > 255)
        return std::nullopt;
    return *n;
}

} // namespace

void LineAssembler::append(std::string_view bytes)
{
    // Taken lines are dropped once they are most of the buffer: each byte is moved a bounded
    // number of times, however many lines a block holds.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(0, start_);
        scanned_ -= start_;
        start_ = 0;
    }
    buffer_.append(bytes);
}

LineAssembler::Next LineAssembler::next(std::string& line)
{
    const std::size_t lf = buffer_.find('\n', scanned_);
    if (lf == std::string::npos) {
        scanned_ = buffer_.size();
        const std::size_t length = buffer_.size() - start_;
        const bool crLast = length > 0 && buffer_.back() == '\r';
        return length - (crLast ? 1 : 0) > kMaxLineLength ? Next::TooLong : Next::None;
    }
    std::size_t length = lf - start_;
    if (length > 0 && buffer_[lf - 1] == '\r')
        --length;
    if (length > kMaxLineLength)
        return Next::TooLong;
    line.clear();
    for (std::size_t i = start_; i < lf; ++i)
        if (buffer_[i] != '\r')
            line += buffer_[i];
    start_ = scanned_ = lf + 1;
    return Next::Line;
}

void LineAssembler::clear()
{
    buffer_.clear();
    start_ = scanned_ = 0;
}

bool HoldsControlByte(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

int ReplyCode(std::string_view line)
{
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
        return 999;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

std::string ReplyText(std::string_view line)
{
    return line.size() > 4 ? std::string(line.substr(4)) : std::string();
}

bool ReplyReader::addLine(std::string line)
{
    if (complete_)
        return true;
    bytes_ += line.size() + 1;
    if (lines_.empty()) {
        code_ = ReplyCode(line);
        text_ = ReplyText(line);
        if (code_ != 999 && line.size() > 3 && line[3] == '-')
            closing_ = line.substr(0, 3);
        else
            complete_ = true;
    } else if (line.compare(0, 3, closing_) == 0 && (line.size() == 3 || line[3] == ' ')) {
        complete_ = true;
    }
    lines_.push_back(std::move(line));
    return complete_;
}

std::optional<PassiveAddress> ParsePassiveReply(std::string_view replyText)
{
    std::string_view s = replyText;
    if (const auto open = s.find('('); open != std::string_view::npos) {
        s.remove_prefix(open + 1);
    } else {
        std::size_t first = 0;
        while (first < s.size() && !isDigit(s[first]))
            ++first;
        std::size_t end = first;
        while (end < s.size() && (isDigit(s[end]) || s[end] == ','))
            ++end;
        s = s.substr(first, end - first);
    }
    if (const auto close = s.find(')'); close != std::string_view::npos)
        s = s.substr(0, close);

    const std::size_t fourth = NthPosition(',', s, 4);
    if (fourth == 0)
        return std::nullopt;
    std::string host(s.substr(0, fourth - 1));
    for (char& c : host)
        if (c == ',')
            c = '.';
    const std::string_view ports = s.substr(fourth);
    const auto comma = ports.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto p1 = byteNumber(ports.substr(0, comma));
    const auto p2 = byteNumber(ports.substr(comma + 1));
    if (!p1 || !p2)
        return std::nullopt;
    PassiveAddress result;
    result.address = host.find('\0') == std::string::npos ? platform::net::inet_addr(host.c_str()) : INADDR_NONE;
    result.port = static_cast<std::uint16_t>(*p1 * 256 + *p2);
    return result;
}

std::optional<std::string> ParseFolderReply(std::string_view replyText)
{
    const std::size_t open = replyText.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    std::string folder;
    for (std::size_t i = open + 1; i < replyText.size(); ++i) {
        if (replyText[i] != '"') {
            folder += replyText[i];
            continue;
        }
        if (i + 1 < replyText.size() && replyText[i + 1] == '"') {
            folder += '"';
            ++i;
            continue;
        }
        if (folder.empty() || folder.front() != '/' || HoldsControlByte(folder))
            return std::nullopt;
        return folder;
    }
    return std::nullopt;
}

std::string PortCommand(std::uint32_t address, std::uint16_t port)
{
    const std::uint32_t host = ntohl(address);
    std::string text = "PORT ";
    for (int shift = 24; shift >= 0; shift -= 8)
        text.append(std::to_string((host >> shift) & 0xFF)).append(",");
    text.append(std::to_string(port / 256)).append(",").append(std::to_string(port % 256));
    return text;
}

std::string JoinFolder(const std::string& folder, const std::string& change)
{
    const bool absolute = !change.empty() && change.front() == '/';
    const std::string path = absolute || folder.empty() ? change : folder + "/" + change;
    const bool rooted = !path.empty() && path.front() == '/';
    std::vector<std::string> steps;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        std::string step = path.substr(start, end - start);
        start = end + 1;
        if (step.empty() || step == ".")
            continue;
        if (step == ".." && !steps.empty() && steps.back() != "..")
            steps.pop_back();
        else if (step != ".." || !rooted)
            steps.push_back(std::move(step));
    }
    std::string joined = rooted ? "/" : "";
    for (std::size_t i = 0; i < steps.size(); ++i)
        joined += (i > 0 ? "/" : "") + steps[i];
    return joined;
}

} // namespace tcpip
