#pragma once
// The password store on the desktop's Secret Service (gnome-keyring, KWallet, KeePassXC, ...)
// through QtKeychain. Entries are filed under the service name given to the constructor, one
// per site. A call waits in a nested event loop (the keyring may show its own unlock prompt),
// bounded by waitLimit.
#include "platform/keyring/PasswordStore.h"

#include <QString>

#include <chrono>

namespace platform::keyring {

class SecretServiceStore : public PasswordStore {
public:
    explicit SecretServiceStore(QString service, std::chrono::milliseconds waitLimit = std::chrono::seconds(120));

    KeyringResult Read(const std::string& site) override;
    KeyringResult Write(const std::string& site, const std::string& password) override;
    KeyringResult Delete(const std::string& site) override;

    bool keyringMissing() const { return missing_; }

private:
    template <typename Job, typename Prepare>
    KeyringResult run(const std::string& site, Prepare&& prepare);
    KeyringResult checkSite(const std::string& site) const;

    QString service_;
    std::chrono::milliseconds waitLimit_;
    bool missing_ = false;
    std::string missingReason_;
};

} // namespace platform::keyring
