// ParseURL and DocumentNameFromPath on arbitrary bytes: no crash, no read out of bounds, and
// every field is a piece of the input.
#include "httpprot/UrlRoutines.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string url(reinterpret_cast<const char*>(data), size);
    std::string protocol, user, password, host, port, path;
    httpprot::ParseURL(url, protocol, user, password, host, port, path);
    const std::size_t total = protocol.size() + user.size() + password.size() + host.size()
        + port.size() + path.size();
    if (total > url.size() + 4) // "http" may be supplied
        std::abort();
    const std::string name = httpprot::DocumentNameFromPath(path);
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos
        || name.find('\0') != std::string::npos || name.size() > 255)
        std::abort();
    httpprot::ChangeDocExt(name, "htm");
    httpprot::EncodeBase64(user + ":" + password);
    return 0;
}
