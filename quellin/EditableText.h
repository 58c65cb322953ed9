#pragma once
// Whether a file's bytes can be held in the editor as text and written back unchanged: no NUL
// byte, and either valid UTF-8 or Windows-1252 without the five bytes that code page leaves
// undefined (a file invalid in both is no text; the editor would show it as control codes).
#include <QString>
#include <string_view>

namespace quellin {

bool IsEditableText(std::string_view bytes);

// The distinct characters of text that Windows-1252 has no byte for, in order of first
// appearance, at most limit of them.
QString CharactersOutsideWindows1252(const QString& text, int limit = 20);

} // namespace quellin
