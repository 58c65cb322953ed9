#pragma once
// Names that become files in one folder (the temporary folder, the local folder, the server's
// current folder) come from the server's listing or from the user. One holding "/" or "\", or
// equal to "." or "..", or empty, would put the file elsewhere or nowhere: it is refused.
#include "base/Exception.h"

#include <string>
#include <string_view>

namespace quellin {

class EUnsafeName : public base::Exception {
public:
    using Exception::Exception;
};

bool IsSafeFileName(std::string_view name);

// Throws EUnsafeName with a message naming the name and why it is refused.
void RequireSafeFileName(std::string_view name);

} // namespace quellin
