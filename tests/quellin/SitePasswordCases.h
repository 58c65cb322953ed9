#pragma once
// A log-in through SitePassword against a stand-in server that accepts one password: what was
// tried, what the prompt was asked (answered from a list), what was noticed.
#include "quellin/SitePassword.h"

#include <stdexcept>
#include <vector>

enum class LogInOutcome { In, Cancelled, Refused, Unreachable };

class LogInRun {
public:
    LogInRun(std::unique_ptr<platform::keyring::PasswordStore> store,
             std::vector<std::optional<quellin::PasswordAnswer>> answers)
        : answers_(std::move(answers))
        , passwords_(std::move(store), [this](const quellin::PasswordQuestion& question) {
            questions.push_back(question);
            if (questions.size() > answers_.size())
                return std::optional<quellin::PasswordAnswer>();
            return answers_[questions.size() - 1];
        })
    {
        passwords_.OnNotice = [this](const std::string& text) { notices.push_back(text); };
    }

    // accepted: the one password the server takes; nullopt: the server cannot be reached.
    LogInOutcome logIn(const quellin::SiteLogin& site, const std::optional<std::string>& accepted)
    {
        try {
            const bool in = passwords_.logIn(
                site,
                [&](const std::string& password) {
                    tried.push_back(password);
                    if (!accepted)
                        throw std::runtime_error("Connection refused");
                    if (password != *accepted)
                        throw Refused();
                },
                [](const std::exception& error) { return dynamic_cast<const Refused*>(&error) != nullptr; });
            return in ? LogInOutcome::In : LogInOutcome::Cancelled;
        } catch (const Refused&) {
            return LogInOutcome::Refused;
        } catch (const std::runtime_error&) {
            return LogInOutcome::Unreachable;
        }
    }

    std::vector<std::string> tried;
    std::vector<quellin::PasswordQuestion> questions;
    std::vector<std::string> notices;

private:
    struct Refused : std::runtime_error {
        Refused() : std::runtime_error("530 Login incorrect.") {}
    };
    std::vector<std::optional<quellin::PasswordAnswer>> answers_;
    quellin::SitePassword passwords_;
};
