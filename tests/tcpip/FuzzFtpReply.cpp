// libFuzzer: any bytes as a control connection: lines, replies, and PASV texts of each reply.
#include "tcpip/FtpReply.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tcpip::LineAssembler lines;
    tcpip::ReplyReader reply;
    for (std::size_t i = 0; i < size; ++i) {
        if (!lines.feed(static_cast<char>(data[i])))
            continue;
        const std::string line = lines.takeLine();
        if (line.size() > tcpip::LineAssembler::kMaxLineLength)
            __builtin_trap();
        if (reply.addLine(line)) {
            if (reply.code() < 0 || reply.code() > 999)
                __builtin_trap();
            (void)tcpip::ParsePassiveReply(reply.text());
            reply = tcpip::ReplyReader();
        }
    }
    (void)tcpip::ParsePassiveReply(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
