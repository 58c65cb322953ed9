#pragma once
// PasswordStore: a site's password kept in the desktop's keyring instead of a settings file.
// Sites are keys such as "sftp://user@host:22"; the store never sees other settings.
//
// Every call returns when the keyring has answered, or with Failed after the wait bound. A
// store that finds no keyring running says so once (OnNoKeyring, with the reason) and from
// then on answers NoKeyring at once, so the program goes on as it would without a keyring.
#include "base/Event.h"

#include <string>

namespace platform::keyring {

enum class KeyringStatus { Ok, NotFound, NoKeyring, Failed };

struct KeyringResult {
    KeyringStatus status = KeyringStatus::Failed;
    std::string password;   // Read with Ok only
    std::string message;    // why, for anything but Ok
};

class PasswordStore {
public:
    virtual ~PasswordStore() = default;

    virtual KeyringResult Read(const std::string& site) = 0;
    // Replaces what was stored for site.
    virtual KeyringResult Write(const std::string& site, const std::string& password) = 0;
    // Deleting what is not there is NotFound.
    virtual KeyringResult Delete(const std::string& site) = 0;

    base::Event<const std::string&> OnNoKeyring;
};

} // namespace platform::keyring
