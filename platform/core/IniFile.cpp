#include "platform/core/IniFile.h"

#include "base/Exception.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/ConfigFolder.h"

#include <QFile>

namespace platform::core {

namespace {

[[noreturn]] void throwFileError(const char* what, const QString& path, const QString& reason)
{
    throw base::EFileError(std::string(what) + " \"" + path.toStdString() + "\". "
                           + reason.toStdString());
}

} // namespace

IniFile::IniFile(const QString& fileName) : path_(ProfilePath(fileName)) {}

IniText IniFile::load() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return IniText();
    const QByteArray bytes = file.readAll();
    return IniText(bytes.toStdString());
}

IniText IniFile::loadForUpdate() const
{
    QFile file(path_);
    if (!file.exists())
        return IniText();
    if (!file.open(QIODevice::ReadOnly))
        throwFileError("Cannot read settings file", path_, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throwFileError("Cannot read settings file", path_, file.errorString());
    return IniText(bytes.toStdString());
}

void IniFile::store(const IniText& text) const
{
    WriteFileAtomically(path_, text.serialize());
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    return load().value(section, key).value_or(std::string(defaultValue));
}

std::vector<std::string> IniFile::sectionKeys(std::string_view section) const
{
    return load().keys(section);
}

std::vector<std::string> IniFile::sections() const
{
    return load().sections();
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    IniText text = loadForUpdate();
    text.setValue(section, key, value);
    store(text);
}

void IniFile::deleteKey(std::string_view section, std::string_view key)
{
    IniText text = loadForUpdate();
    const std::string before = text.serialize();
    text.removeKey(section, key);
    if (text.serialize() != before)
        store(text);
}

void IniFile::deleteSection(std::string_view section)
{
    IniText text = loadForUpdate();
    const std::string before = text.serialize();
    text.removeSection(section);
    if (text.serialize() != before)
        store(text);
}

} // namespace platform::core
