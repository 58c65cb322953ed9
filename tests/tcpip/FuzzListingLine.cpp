// libFuzzer: any bytes as listing lines (split at line ends), with a fixed and the real today.
#include "base/StringList.h"
#include "tcpip/ListingParser.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tcpip::t_filedata entry;
    for (const auto& line : base::SplitLines(text)) {
        tcpip::ParseListingLine(line, entry, tcpip::CivilDate{ 2024, 2, 29 });
        if (entry.type > tcpip::ft_link)
            __builtin_trap();
    }
    tcpip::ParseListingLine(text, entry);
    return 0;
}
