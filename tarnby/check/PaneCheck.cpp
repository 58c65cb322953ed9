#include "tarnby/check/PaneCheck.h"

namespace tarnby::check {

PaneCheck::PaneCheck(std::string_view paneText, const CheckSettings& settings, QObject* parent)
    : QObject(parent), checker_(std::make_unique<LinkChecker>(settings))
{
    std::vector<PageLink> links;
    for (std::size_t at = 0; at < paneText.size();) {
        std::size_t end = paneText.find('\n', at);
        if (end == std::string_view::npos)
            end = paneText.size();
        std::string_view line = paneText.substr(at, end - at);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines_.emplace_back(line);
        const std::size_t bar = line.find('|');
        if (bar != std::string_view::npos && bar > 0) {
            linkRow_.push_back(static_cast<int>(links.size()));
            links.push_back({std::string(line.substr(0, bar)), std::string(line.substr(bar + 1))});
        } else {
            linkRow_.push_back(-1);
        }
        at = end + 1;
    }
    linkCount_ = static_cast<int>(links.size());
    checker_->addLinks(links);
    checker_->OnProgress = [this](int done, int total) {
        if (OnProgress)
            OnProgress(done, total);
    };
    checker_->OnFinished = [this] {
        running_ = false;
        if (!cancelled_ && OnFinished)
            OnFinished();
    };
}

void PaneCheck::start()
{
    running_ = true;
    checker_->run();
}

void PaneCheck::cancel()
{
    cancelled_ = true;
    running_ = false;
    checker_->cancel();
}

std::string PaneCheck::resultText() const
{
    const std::vector<CheckedLink> results = checker_->results();
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (linkRow_[i] >= 0)
            text += "|" + results[static_cast<std::size_t>(linkRow_[i])].result;
        text += "\r\n";
    }
    return text;
}

} // namespace tarnby::check
