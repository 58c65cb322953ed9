#include "quellin/SitePassword.h"

#include "base/Text.h"

namespace quellin {

using platform::keyring::KeyringStatus;

namespace {

// No user, or an anonymous one, without a password: there is nobody to ask a password for.
bool anonymous(const SiteLogin& site)
{
    const std::string user = base::LowerCase(site.user);
    return site.entryPassword.empty() && (user.empty() || user == "anonymous" || user == "ftp");
}

std::string escapedUser(const std::string& user)
{
    std::string escaped;
    for (const char c : user) {
        switch (c) {
        case '%': escaped += "%25"; break;
        case ':': escaped += "%3A"; break;
        case '@': escaped += "%40"; break;
        case '/': escaped += "%2F"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string describe(const SiteLogin& site)
{
    return site.user + " on " + site.host + " (" + site.scheme + ", port " + std::to_string(site.port) + ")";
}

} // namespace

std::string KeyringKey(const SiteLogin& site)
{
    return base::LowerCase(site.scheme) + "://" + escapedUser(site.user) + "@" + base::LowerCase(site.host) + ":"
        + std::to_string(site.port);
}

SitePassword::SitePassword(std::unique_ptr<platform::keyring::PasswordStore> store, PasswordPrompt prompt)
    : store_(std::move(store))
    , prompt_(std::move(prompt))
{
    store_->OnNoKeyring = [this](const std::string& reason) {
        keyringMissing_ = true;
        notice(reason);
    };
}

bool SitePassword::logIn(const SiteLogin& site, const LogInAttempt& attempt, const RefusalTest& isRefusal)
{
    std::optional<std::string> password = passwordFor(site);
    while (password) {
        try {
            attempt(*password);
            succeeded();
            return true;
        } catch (const std::exception& error) {
            // Only a keyring password earns a second try: the entry and the prompt are the user's
            // own words, and the server's refusal of them is the answer.
            if (source_ != Source::Keyring || !isRefusal(error)) {
                source_ = Source::None;
                throw;
            }
            password = refused();
        }
    }
    return false;
}

std::optional<std::string> SitePassword::passwordFor(const SiteLogin& site)
{
    site_ = site;
    source_ = Source::None;
    storedRefused_ = false;
    answer_ = {};
    if (anonymous(site)) {
        source_ = Source::Entry;
        return site.entryPassword;
    }
    const platform::keyring::KeyringResult stored = store_->Read(KeyringKey(site));
    if (stored.status == KeyringStatus::Ok) {
        source_ = Source::Keyring;
        return stored.password;
    }
    if (stored.status == KeyringStatus::Failed)
        notice("The keyring gave no password for " + describe(site) + ": " + stored.message);
    if (!site.entryPassword.empty()) {
        source_ = Source::Entry;
        return site.entryPassword;
    }
    return ask(false);
}

std::optional<std::string> SitePassword::refused()
{
    if (source_ != Source::Keyring) {
        source_ = Source::None;
        return std::nullopt;
    }
    storedRefused_ = true;
    return ask(true);
}

std::optional<std::string> SitePassword::ask(bool storedRefused)
{
    PasswordQuestion question;
    question.text = (storedRefused ? "The server refused the password kept in the keyring.\n" : "")
        + std::string("Password for ") + describe(site_) + ":";
    question.offerRemember = !keyringMissing_;
    question.remember = question.offerRemember && storedRefused;
    std::optional<PasswordAnswer> answer = prompt_(question);
    if (!answer) {
        source_ = Source::None;
        return std::nullopt;
    }
    source_ = Source::Prompt;
    answer_ = std::move(*answer);
    answer_.remember = answer_.remember && question.offerRemember;
    return answer_.password;
}

void SitePassword::succeeded()
{
    if (source_ == Source::Prompt) {
        const std::string key = KeyringKey(site_);
        if (answer_.remember) {
            const auto written = store_->Write(key, answer_.password);
            if (written.status == KeyringStatus::Failed)
                notice("The password for " + describe(site_) + " was not kept in the keyring: " + written.message);
        } else if (storedRefused_) {
            store_->Delete(key);
        }
    }
    source_ = Source::None;
    answer_ = {};
}

} // namespace quellin
