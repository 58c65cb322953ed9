#pragma once
// SitePassword: which password a log-in uses, and keeping it in the desktop's keyring.
//
// Order: the keyring's password for the site, else the entry's, else the user's answer to a
// prompt that offers to remember it in the keyring. An anonymous log-in (no user, "anonymous"
// or "ftp", with an empty password) is sent as it stands: nothing is looked up or asked.
//
// A keyring password that the server refuses leads to one prompt, with "remember" preset (the
// user chose to keep one before); a refusal of that answer ends the log-in. A remembered
// answer is written to the keyring only after the server accepted it; an answer not to be
// remembered, given after a refused keyring password, removes the stale entry so that later
// log-ins do not begin with a refusal.
//
// Without a keyring the store says so once (OnNotice); log-ins go on with the entry and the
// prompt, which then offers no remembering. Other keyring failures are noticed too, and the
// log-in goes on as if nothing were stored.
#include "base/Event.h"
#include "platform/keyring/PasswordStore.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quellin {

struct SiteLogin {
    std::string scheme;        // "ftp", "ftps", "sftp"
    std::string user;
    std::string host;
    std::uint16_t port = 0;
    std::string entryPassword; // as the site entry or the log-in row holds it; may be empty
};

// The keyring's name for a site: scheme "://" user "@" host ":" port, the scheme and host in
// lower case and the user's "%", ":", "@" and "/" percent-escaped, so no two sites share one.
std::string KeyringKey(const SiteLogin& site);

struct PasswordQuestion {
    std::string text;          // names user, host, port and protocol
    bool offerRemember = false; // false without a keyring
    bool remember = false;     // the box's preset
};

struct PasswordAnswer {
    std::string password;
    bool remember = false;
};

// nullopt: cancelled.
using PasswordPrompt = std::function<std::optional<PasswordAnswer>(const PasswordQuestion&)>;
// Logs in with the password; raises when it fails.
using LogInAttempt = std::function<void(const std::string& password)>;
// Whether a failure of LogInAttempt is the server refusing the credentials.
using RefusalTest = std::function<bool(const std::exception&)>;

class SitePassword {
public:
    SitePassword(std::unique_ptr<platform::keyring::PasswordStore> store, PasswordPrompt prompt);

    // The whole log-in: attempt with the password the order gives, one prompt after a refused
    // keyring password, the remembered answer written on success. Returns false when the user
    // cancelled a prompt; the attempt's exceptions escape.
    bool logIn(const SiteLogin& site, const LogInAttempt& attempt, const RefusalTest& isRefusal);

    // The same in steps, for callers that drive the log-in themselves: the password to use
    // (nullopt: the prompt was cancelled); after a refusal the password to try once more
    // (nullopt: none, or cancelled); after the server accepted the last one, succeeded().
    std::optional<std::string> passwordFor(const SiteLogin& site);
    std::optional<std::string> refused();
    void succeeded();

    // "No keyring is running ...", said once; and keyring failures.
    base::Event<const std::string&> OnNotice;

private:
    enum class Source { None, Entry, Keyring, Prompt };

    std::optional<std::string> ask(bool storedRefused);
    void notice(const std::string& text) const { base::raise(OnNotice, text); }

    std::unique_ptr<platform::keyring::PasswordStore> store_;
    PasswordPrompt prompt_;
    bool keyringMissing_ = false;
    // The log-in under way.
    SiteLogin site_;
    Source source_ = Source::None;
    bool storedRefused_ = false;
    PasswordAnswer answer_;
};

} // namespace quellin
