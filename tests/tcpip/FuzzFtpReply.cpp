// libFuzzer: any bytes as a control connection: lines, replies, and PASV texts of each reply.
#include "tcpip/FtpReply.h"

#include <algorithm>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tcpip::LineAssembler lines;
    tcpip::ReplyReader reply;
    // Fed in blocks of a size the input chooses, as the socket delivers them.
    const std::size_t block = size > 0 ? data[0] % 64 + 1 : 1;
    for (std::size_t at = 0; at < size; at += block) {
        lines.append(std::string_view(reinterpret_cast<const char*>(data) + at, std::min(block, size - at)));
        std::string line;
        tcpip::LineAssembler::Next next;
        while ((next = lines.next(line)) == tcpip::LineAssembler::Next::Line) {
            if (line.size() > tcpip::LineAssembler::kMaxLineLength)
                __builtin_trap();
            if (reply.addLine(line)) {
                if (reply.code() < 0 || reply.code() > 999)
                    __builtin_trap();
                (void)tcpip::ParsePassiveReply(reply.text());
                reply = tcpip::ReplyReader();
            }
        }
        if (next == tcpip::LineAssembler::Next::TooLong)
            break;
    }
    (void)tcpip::ParsePassiveReply(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
