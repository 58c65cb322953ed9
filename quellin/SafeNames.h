#pragma once
// Names that become files in one folder (the temporary folder, the local folder, the server's
// current folder) come from the server's listing or from the user. One holding "/" or "\", or
// equal to "." or "..", or empty, would put the file elsewhere or nowhere; one holding a control
// byte (below 0x20, or 0x7F) would end an FTP command line early and smuggle in a second command.
// Either is refused.
#include "base/Exception.h"

#include <string>
#include <string_view>

namespace quellin {

class EUnsafeName : public base::Exception {
public:
    using Exception::Exception;
};

bool IsSafeFileName(std::string_view name);

// A folder path typed by the user ("/www/pages"): slashes are fine, control bytes are not.
// Throws EUnsafeName naming the path.
void RequireSafeFolderPath(std::string_view path);

// Throws EUnsafeName with a message naming the name (control bytes shown as <0D>) and why it is
// refused.
void RequireSafeFileName(std::string_view name);

} // namespace quellin
