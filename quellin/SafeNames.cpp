#include "quellin/SafeNames.h"

namespace quellin {

bool IsSafeFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

void RequireSafeFileName(std::string_view name)
{
    if (!IsSafeFileName(name))
        throw EUnsafeName("The name \"" + std::string(name)
                          + "\" cannot be used as a file name: a name must not be empty, \".\" or \"..\", "
                            "nor hold \"/\" or \"\\\". Nothing was transferred.");
}

} // namespace quellin
