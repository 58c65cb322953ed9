#include "quellin/SafeNames.h"

#include "tcpip/FtpReply.h"

namespace quellin {

namespace {

// Why name cannot be used; empty when it can.
std::string refusal(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return "a name must not be empty, \".\" or \"..\"";
    if (name.find_first_of(std::string_view("/\\", 2)) != std::string_view::npos)
        return "a name must not hold \"/\" or \"\\\"";
    if (tcpip::HoldsControlByte(name))
        return "a name must not hold control characters (line breaks, tabs, bytes below 32 or 127)";
    return {};
}

// The name as it can be shown in a message: control bytes as <XX>, so that a line break in it
// cannot fake a second line of the message.
std::string printable(std::string_view name)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            shown.append({ '<', digits[byte >> 4], digits[byte & 15], '>' });
        else
            shown += c;
    }
    return shown;
}

} // namespace

bool IsSafeFileName(std::string_view name)
{
    return refusal(name).empty();
}

void RequireSafeFileName(std::string_view name)
{
    const std::string why = refusal(name);
    if (!why.empty())
        throw EUnsafeName("The name \"" + printable(name) + "\" cannot be used as a file name: " + why
                          + ". Nothing was transferred.");
}

void RequireSafeFolderPath(std::string_view path)
{
    if (tcpip::HoldsControlByte(path))
        throw EUnsafeName("The folder \"" + printable(path) + "\" cannot be used: a folder must not hold control "
                          "characters (line breaks, tabs, bytes below 32 or 127). Nothing was sent.");
}

} // namespace quellin
