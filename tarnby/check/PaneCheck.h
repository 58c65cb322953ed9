#pragma once
// The window's "Check links" without the window: the pane's "URL|text" lines checked, and the
// pane's new text with each such line's result appended ("URL|text|RESULT"). A line without a
// "|" is not a link line and stays as it is; so do empty lines.
//
// Invariant: the text given at the start is the only input; resultText() is complete only
// after OnFinished, and never after cancel().
#include "tarnby/check/LinkChecker.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tarnby::check {

class PaneCheck : public QObject {
public:
    PaneCheck(std::string_view paneText, const CheckSettings& settings, QObject* parent = nullptr);

    std::function<void(int done, int total)> OnProgress;
    std::function<void()> OnFinished; // not raised after cancel()

    void start();
    void cancel();
    bool running() const { return running_; }
    int linkCount() const { return linkCount_; }
    std::string resultText() const;
    CheckSummary summary() const { return checker_->summary(); }

private:
    std::vector<std::string> lines_; // the pane's lines, without line ends
    std::vector<int> linkRow_;       // per line: the checker's row, or -1
    int linkCount_ = 0;
    std::unique_ptr<LinkChecker> checker_;
    bool running_ = false;
    bool cancelled_ = false;
};

} // namespace tarnby::check
