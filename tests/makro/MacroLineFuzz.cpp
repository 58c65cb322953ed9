// Macro lines on arbitrary bytes: dispatch, the argument split and the key-text scanner never
// crash or read beyond the line, and every key the scanner pressed is released in the end.
#include "makro/KeyTyper.h"
#include "makro/MacroLine.h"
#include "platform/x11/RecordingDesktop.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string line = makro::CutLine(std::string(reinterpret_cast<const char*>(data), size));
    // At most 255 characters of up to four bytes each, and always the start of the input.
    if (line.size() > 4 * makro::maxLineLength
        || std::string_view(reinterpret_cast<const char*>(data), size).substr(0, line.size()) != line)
        std::abort();
    const makro::LineKind kind = makro::ClassifyLine(line);
    if (kind == makro::LineKind::Wait || kind == makro::LineKind::Sleep || kind == makro::LineKind::Repeat)
        makro::SplitNumberAndRest(line, kind);
    platform::x11::RecordingDesktop desktop;
    makro::KeyTyper typer(desktop);
    typer.send(line);
    typer.releaseHeld();
    if (!typer.held().empty())
        std::abort();
    return 0;
}
