#include "richprint/PrintSettings.h"

#include <QString>
#include <cstring>

namespace richprint {

namespace {

const QString kRoot = QStringLiteral("RichPrint.Settings");
const QString kKey = QStringLiteral("RichPrint.Settings\\Marges");

static_assert(sizeof(double) == 8);

double ReadMargin(const platform::core::UserStore& store, const QString& name)
{
    const std::optional<std::string> bytes = store.readBinary(kKey, name);
    if (!bytes || bytes->size() != sizeof(double))
        throw platform::core::ERegistryTypeError(name);
    double value = 0;
    std::memcpy(&value, bytes->data(), sizeof value);
    return value;
}

void WriteMargin(platform::core::UserStore& store, const QString& name, double value)
{
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    store.writeBinary(kKey, name, std::string_view(bytes, sizeof bytes));
}

const char* Flag(bool on)
{
    return on ? "1" : "0";
}

} // namespace

int ParseStoredInteger(const std::optional<std::string>& text)
{
    if (!text)
        return 0;
    const QString s = QString::fromStdString(*text).trimmed();
    bool ok = false;
    int value = 0;
    if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = s.mid(2).toInt(&ok, 16);
    else
        value = s.toInt(&ok, 10);
    return ok ? value : 0;
}

std::optional<StoredPrintSettings> LoadPrintSettings(platform::core::UserStore& store)
{
    store.createKey(kRoot);
    if (!store.keyExists(kKey))
        return std::nullopt;
    StoredPrintSettings s;
    s.marginLeft = ReadMargin(store, QStringLiteral("MarginLeft"));
    s.marginTop = ReadMargin(store, QStringLiteral("MarginTop"));
    s.marginBottom = ReadMargin(store, QStringLiteral("MarginBottom"));
    s.marginRight = ReadMargin(store, QStringLiteral("MarginRight"));
    s.millimeters = ParseStoredInteger(store.readString(kKey, QStringLiteral("CodeMeasurement"))) == 1;
    s.portrait = ParseStoredInteger(store.readString(kKey, QStringLiteral("CodeDirection"))) == 1;
    s.plainText = ParseStoredInteger(store.readString(kKey, QStringLiteral("CodePlainText"))) == 1;
    return s;
}

void SavePrintSettings(platform::core::UserStore& store, const StoredPrintSettings& s)
{
    WriteMargin(store, QStringLiteral("MarginLeft"), s.marginLeft);
    WriteMargin(store, QStringLiteral("MarginTop"), s.marginTop);
    WriteMargin(store, QStringLiteral("MarginBottom"), s.marginBottom);
    WriteMargin(store, QStringLiteral("MarginRight"), s.marginRight);
    store.writeString(kKey, QStringLiteral("CodeMeasurement"), Flag(s.millimeters));
    store.writeString(kKey, QStringLiteral("CodeDirection"), Flag(s.portrait));
    store.writeString(kKey, QStringLiteral("CodePlainText"), Flag(s.plainText));
}

} // namespace richprint
