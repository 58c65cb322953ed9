// Recovery files on arbitrary bytes: the parser never crashes, and whatever it accepts writes
// back to exactly the same bytes.
#include "quellin/RecoveryStore.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    if (const std::optional<quellin::RecoveryCopy> copy = quellin::ParseRecoveryCopy(file)) {
        const std::optional<quellin::RecoveryCopy> again = quellin::ParseRecoveryCopy(quellin::SerializeRecoveryCopy(*copy));
        if (!again || again->bytes != copy->bytes || !(again->origin == copy->origin))
            std::abort();
    }
    return 0;
}
