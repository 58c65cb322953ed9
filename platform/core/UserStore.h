#pragma once
// The per-user typed key-value store: the stand-in for the registry under the current user's
// root. Keys are paths of names separated by backslashes ("RichPrint.Settings\Marges"); a key
// holds named values, each either a string or binary bytes, kept apart as the registry keeps
// its value types apart. Names of keys and values compare ASCII case-insensitively.
//
// The store is one file, "UserStore.json" in ConfigFolder(), read afresh on every call (another
// program may have changed it) and replaced atomically on every write, so a crash never leaves
// half a file. Reading never fails on a missing or unreadable file: the store is then empty.
// Writing over a file that exists but is not a store throws base::EFileError rather than losing
// what it holds.
//
// Reading a value as the wrong type throws ERegistryTypeError, as the registry does.
#include "base/Exception.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace platform::core {

// "Ungültiger Datentyp für '<name>'": a value read as a type it does not have.
class ERegistryTypeError : public base::Exception {
public:
    explicit ERegistryTypeError(const QString& valueName);
};

class UserStore {
public:
    // A bare name opens in ConfigFolder(); see ProfilePath().
    explicit UserStore(const QString& fileName = QStringLiteral("UserStore.json"));

    const QString& path() const { return path_; }

    // A key exists once created or once a value or a sub-key was written under it.
    bool keyExists(const QString& key) const;
    void createKey(const QString& key);
    // Removes the key, its values and its sub-keys.
    void deleteKey(const QString& key);

    bool valueExists(const QString& key, const QString& name) const;
    // Empty when the key or value is missing; ERegistryTypeError when it is of the other type.
    std::optional<std::string> readString(const QString& key, const QString& name) const;
    std::optional<std::string> readBinary(const QString& key, const QString& name) const;

    // Create the key when needed; a value of the other type under the name is replaced.
    void writeString(const QString& key, const QString& name, std::string_view text);
    void writeBinary(const QString& key, const QString& name, std::string_view bytes);
    void deleteValue(const QString& key, const QString& name);

private:
    enum class Type { String, Binary };
    std::optional<std::string> read(const QString& key, const QString& name, Type type) const;
    void write(const QString& key, const QString& name, Type type, std::string_view bytes);

    QString path_;
};

} // namespace platform::core
