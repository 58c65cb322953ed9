#include "platform/core/TextCodec.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace platform::core {

namespace {

// Bytes 0x80..0x9F of Windows-1252; the undefined ones map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isAscii(std::string_view bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

int Windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

DecodedText DecodeText(std::string_view bytes)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (isAscii(bytes))
        return {QString::fromLatin1(bytes.data(), size), TextEncoding::Utf8};
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), size));
    if (!utf8.hasError())
        return {std::move(text), TextEncoding::Utf8};
    return {DecodeWindows1252(bytes), TextEncoding::Windows1252};
}

TextEncoding EncodingOf(std::string_view bytes)
{
    return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8() ? TextEncoding::Utf8
                                                                                          : TextEncoding::Windows1252;
}

QString DecodeWindows1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return text;
}

std::string EncodeText(const QString& text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) {
        const QByteArray bytes = text.toUtf8();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const int b = c.unicode() < 0x80 ? c.unicode() : Windows1252Byte(c.unicode());
        if (b >= 0) {
            out += static_cast<char>(b);
            continue;
        }
        const qsizetype n = (c.isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        out += text.mid(i, n).toStdString();
        i += n - 1;
    }
    return out;
}

} // namespace platform::core
