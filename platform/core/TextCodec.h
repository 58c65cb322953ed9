#pragma once
// How the panes turn the programs' 8-bit text into characters and back.
// A text that is valid UTF-8 is UTF-8 (a byte order mark stays a character); any other text
// is Windows-1252 as a whole, every byte one character (the five bytes that code page leaves
// undefined become the C1 controls of the same number). Encoding a decoded text with its own
// encoding gives back the original bytes exactly.
#include <QString>
#include <string>
#include <string_view>

namespace platform::core {

enum class TextEncoding { Utf8, Windows1252 };

struct DecodedText {
    QString text;
    TextEncoding encoding;
};

DecodedText DecodeText(std::string_view bytes);
// The encoding DecodeText reads bytes in, without decoding them.
TextEncoding EncodingOf(std::string_view bytes);
// Every byte one character, whether or not the bytes would be valid UTF-8.
QString DecodeWindows1252(std::string_view bytes);

// In Windows-1252, a character that the code page lacks (one typed by the user) is written as
// its UTF-8 bytes rather than replaced or dropped: nothing typed is ever lost.
std::string EncodeText(const QString& text, TextEncoding encoding);

// The Windows-1252 byte of a character, or -1 when the code page has none.
int Windows1252Byte(char32_t c);

} // namespace platform::core
