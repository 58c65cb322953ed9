#include "platform/core/UserStore.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/ConfigFolder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

// File layout: {"keys": {"<key path>": {"<value name>": {"string"|"binary": "<text or hex>"}}}}.
// A string whose bytes are not valid UTF-8 is kept exact as {"stringHex": "<hex>"}: JSON text
// could only hold it with its bytes replaced.
// Key paths and value names are stored as first written; lookups fold ASCII case.

namespace platform::core {

namespace {

const QString kKeys = QStringLiteral("keys");
const QString kStringHex = QStringLiteral("stringHex");
const QLatin1Char kSeparator('\\');

QString typeName(bool binary)
{
    return binary ? QStringLiteral("binary") : QStringLiteral("string");
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The spelling under which obj holds name (case folded), or name itself when absent.
QString storedName(const QJsonObject& obj, const QString& name)
{
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        if (sameName(it.key(), name))
            return it.key();
    }
    return name;
}

QString normalisedKey(const QString& key)
{
    QString k = key;
    while (k.endsWith(kSeparator))
        k.chop(1);
    while (k.startsWith(kSeparator))
        k.remove(0, 1);
    return k;
}

struct StoreFile {
    QJsonObject keys;
    bool readable = true; // false: a file exists but is not a store
};

StoreFile load(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {{}, false};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject() || !doc.object().value(kKeys).isObject())
        return {{}, false};
    return {doc.object().value(kKeys).toObject(), true};
}

StoreFile loadForUpdate(const QString& path)
{
    StoreFile store = load(path);
    if (!store.readable)
        throw base::EFileError("Cannot write file \"" + path.toStdString()
                               + "\". It exists but does not hold stored settings.");
    return store;
}

void save(const QString& path, const QJsonObject& keys)
{
    QJsonObject root;
    root.insert(kKeys, keys);
    WriteFileAtomically(path, QJsonDocument(root).toJson().toStdString());
}

} // namespace

ERegistryTypeError::ERegistryTypeError(const QString& valueName)
    : Exception(QStringLiteral("Ungültiger Datentyp für '%1'").arg(valueName).toStdString())
{
}

UserStore::UserStore(const QString& fileName) : path_(ProfilePath(fileName)) {}

bool UserStore::keyExists(const QString& key) const
{
    const QString k = normalisedKey(key);
    const QJsonObject keys = load(path_).keys;
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        if (sameName(it.key(), k) || it.key().startsWith(k + kSeparator, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void UserStore::createKey(const QString& key)
{
    StoreFile store = loadForUpdate(path_);
    const QString k = storedName(store.keys, normalisedKey(key));
    if (store.keys.contains(k))
        return;
    store.keys.insert(k, QJsonObject());
    save(path_, store.keys);
}

void UserStore::deleteKey(const QString& key)
{
    StoreFile store = loadForUpdate(path_);
    const QString k = normalisedKey(key);
    const QStringList names = store.keys.keys();
    bool changed = false;
    for (const QString& name : names) {
        if (sameName(name, k) || name.startsWith(k + kSeparator, Qt::CaseInsensitive)) {
            store.keys.remove(name);
            changed = true;
        }
    }
    if (changed)
        save(path_, store.keys);
}

bool UserStore::valueExists(const QString& key, const QString& name) const
{
    const QJsonObject keys = load(path_).keys;
    const QJsonObject values = keys.value(storedName(keys, normalisedKey(key))).toObject();
    return values.contains(storedName(values, name));
}

std::optional<std::string> UserStore::read(const QString& key, const QString& name,
                                           Type type) const
{
    const QJsonObject keys = load(path_).keys;
    const QJsonObject values = keys.value(storedName(keys, normalisedKey(key))).toObject();
    const QJsonValue value = values.value(storedName(values, name));
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject stored = value.toObject();
    const QJsonValue data = stored.value(typeName(type == Type::Binary));
    if (type == Type::String && !data.isString() && stored.value(kStringHex).isString())
        return QByteArray::fromHex(stored.value(kStringHex).toString().toLatin1()).toStdString();
    if (!data.isString())
        throw ERegistryTypeError(name);
    if (type == Type::Binary)
        return QByteArray::fromHex(data.toString().toLatin1()).toStdString();
    return data.toString().toStdString();
}

std::optional<std::string> UserStore::readString(const QString& key, const QString& name) const
{
    return read(key, name, Type::String);
}

std::optional<std::string> UserStore::readBinary(const QString& key, const QString& name) const
{
    return read(key, name, Type::Binary);
}

void UserStore::write(const QString& key, const QString& name, Type type, std::string_view bytes)
{
    StoreFile store = loadForUpdate(path_);
    const QString k = storedName(store.keys, normalisedKey(key));
    QJsonObject values = store.keys.value(k).toObject();
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QJsonObject value;
    const QString text = QString::fromUtf8(raw);
    if (type == Type::Binary)
        value.insert(typeName(true), QString::fromLatin1(raw.toHex()));
    else if (text.toUtf8() == raw)
        value.insert(typeName(false), text);
    else
        value.insert(kStringHex, QString::fromLatin1(raw.toHex()));
    values.insert(storedName(values, name), value);
    store.keys.insert(k, values);
    save(path_, store.keys);
}

void UserStore::writeString(const QString& key, const QString& name, std::string_view text)
{
    write(key, name, Type::String, text);
}

void UserStore::writeBinary(const QString& key, const QString& name, std::string_view bytes)
{
    write(key, name, Type::Binary, bytes);
}

void UserStore::deleteValue(const QString& key, const QString& name)
{
    StoreFile store = loadForUpdate(path_);
    const QString k = storedName(store.keys, normalisedKey(key));
    if (!store.keys.contains(k))
        return;
    QJsonObject values = store.keys.value(k).toObject();
    values.remove(storedName(values, name));
    store.keys.insert(k, values);
    save(path_, store.keys);
}

} // namespace platform::core
