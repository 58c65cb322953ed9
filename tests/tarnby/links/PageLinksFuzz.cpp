// Fuzz target: any bytes make link lines that each hold exactly one "|", with a page address
// and without.
#include "tarnby/PageLinks.h"
#include "tarnby/PaneText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    for (const char* url : {"", "http://example.org/a/b.html?q"}) {
        for (const std::string& line : tarnby::SplitPaneLines(tarnby::LinkLines(tarnby::ExtractLinks(page, url))))
            if (std::count(line.begin(), line.end(), '|') != 1)
                std::abort();
    }
    return 0;
}
