// The response-header reading fed arbitrary bytes in arbitrary receives, as the client feeds
// it: lines are taken while the buffer holds one, a full buffer without a line ends the
// header, every line is read. No crash, no read out of bounds, no endless loop.
#include "httpprot/ResponseHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    httpprot::ReceiveBuffer buffer;
    std::size_t at = 0;
    std::string line;
    while (at < size) {
        // The first byte of each receive chooses how many bytes arrive at once.
        const std::size_t want = 1 + std::size_t{data[at]} * 40u;
        ++at;
        const std::size_t n = std::min({want, size - at, buffer.freeCount()});
        buffer.append(std::string_view(reinterpret_cast<const char*>(data) + at, n));
        at += n;
        while (buffer.takeLine(line)) {
            if (line.empty())
                return 0;
            const httpprot::HeaderLine h = httpprot::ReadHeaderLine(line);
            if (h.kind == httpprot::HeaderLine::Kind::Field && h.name == "content-length")
                httpprot::ParseContentLength(h.value);
            if (h.kind == httpprot::HeaderLine::Kind::Status && (h.statusCode < 0 || h.statusCode > 999))
                std::abort();
        }
        if (buffer.full())
            return 0;
    }
    return 0;
}
