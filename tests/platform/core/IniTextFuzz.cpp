// Any bytes as an ini file: reading never fails, and an edit keeps every unrelated byte.
#include "platform/core/IniText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    platform::core::IniText text(bytes);
    if (text.serialize() != bytes)
        std::abort();
    for (const std::string& section : text.sections())
        for (const std::string& key : text.keys(section))
            (void)text.value(section, key);
    text.setValue("Data", "URL", "value");
    const auto v = text.value("data", "url");
    if (!v || *v != "value")
        std::abort();
    platform::core::IniText again(text.serialize());
    if (again.value("DATA", "URL") != v)
        std::abort();
    return 0;
}
