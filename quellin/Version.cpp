#include "quellin/Version.h"

namespace quellin {

std::string ProgramVersion()
{
    return QUELLIN_VERSION;
}

} // namespace quellin
