#pragma once
// Checks links: each distinct address once, many at a time, all in this thread's event loop.
// Pages named by URL are fetched and their links (read by the HTML parser) checked; with
// recursive, every page of the start page's site below its folder is walked the same way,
// each once. Links given as they are (the window's lines) are checked without a page.
//
// Concurrency: at most settings.concurrency checks at once, settings.perHost of them to one
// host, and none started to a host while it has asked to be left alone (429 Retry-After);
// the checks share kept-alive connections (ConnectionPool), at most settings.concurrency idle; each check is an HttpCheck of a pool that never grows past the concurrency, so
// memory for checks in flight grows with the concurrency. What grows with the links is one
// row per link (address, text) and one verdict per distinct address.
//
// Invariant: OnFinished is raised once, from the event loop, after every row has its
// verdict (or after cancel(), with the rows checked so far).
#include "tarnby/PageLinks.h"
#include "tarnby/check/CheckSettings.h"
#include "tarnby/check/ConnectionPool.h"
#include "tarnby/check/HttpCheck.h"
#include "tarnby/check/LinkTarget.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QRegularExpression;

namespace tarnby::check {

enum class Verdict { Fine, Redirected, Broken, Skipped, Excluded };

struct CheckedLink {
    std::string url;
    std::string text;
    std::string result; // the status, "redirect CODE -> URL", or what went wrong
    Verdict verdict = Verdict::Skipped;
};

struct CheckSummary {
    int links = 0;
    int addresses = 0; // distinct addresses checked (over HTTP or on disk)
    int fine = 0, redirected = 0, broken = 0, skipped = 0, excluded = 0;
    int pages = 0; // pages read for their links
};

class LinkChecker : public QObject {
public:
    explicit LinkChecker(CheckSettings settings, QObject* parent = nullptr);
    ~LinkChecker() override;

    // A page fetched first; its links are checked. A page that cannot be fetched is a page
    // failure, not a broken link.
    void addPageUrl(const std::string& url);
    // A page already read (a local file: url "file:///..."), whose links are checked.
    void addPage(std::string_view bytes, const std::string& url);
    // Links as they are, each a row.
    void addLinks(const std::vector<PageLink>& links);

    // Starts (or goes on) checking; returns at once.
    void run();
    void cancel();
    bool finished() const { return finished_; }

    std::function<void(int done, int total)> OnProgress;
    std::function<void()> OnFinished;

    // The rows in the order their pages and links came, each with its verdict.
    std::vector<CheckedLink> results() const;
    CheckSummary summary() const;
    // "cannot fetch URL: reason" for each page that could not be read.
    const std::vector<std::string>& pageFailures() const { return pageFailures_; }

private:
    enum class State { Pending, Running, Done };
    struct Entry {
        LinkKind kind = LinkKind::Skipped;
        State state = State::Pending;
        bool wantPage = false; // fetch the body: to walk it, or for its ids
        bool walk = false;     // read its links
        bool start = false;    // named on the command line
        bool queued = false;   // waiting in its origin's queue
        bool again = false;    // wanted more while its check ran: checked once more after it
        HttpOutcome outcome;
        std::optional<std::vector<std::string>> ids; // sorted; known once read
        bool fileFound = false;
    };
    struct Row {
        std::string url, text, resource, fragment;
        LinkKind kind;
        bool excluded;
    };

    Entry& enter(const std::string& resource, LinkKind kind);
    void addRow(const PageLink& link);
    void want(const std::string& resource, bool page, bool walk);
    void schedule();
    void startCheck(HttpCheck& check, const std::string& resource);
    void checkDone(HttpCheck& check, std::string resource, HttpOutcome outcome);
    void checkFile(const std::string& resource, Entry& entry);
    void readLinks(std::string_view page, const std::string& url, std::string_view contentType = {});
    void maybeFinish();
    void holdBack(const std::string& origin, int seconds);
    bool held(const std::string& origin);
    void armHoldTimer();
    CheckedLink verdictFor(const Row& row) const;

    CheckSettings settings_;
    std::unique_ptr<QRegularExpression> exclude_;
    std::vector<std::unique_ptr<SiteScope>> scopes_;
    std::map<std::string, Entry> entries_;
    std::vector<Row> rows_;
    std::set<std::string> walked_; // final addresses of the pages whose links were read
    std::map<std::string, std::deque<std::string>> queues_; // by origin
    std::map<std::string, int> running_;                    // by origin
    std::string lastOrigin_;                                // round robin over origins
    std::map<std::string, QDeadlineTimer> heldUntil_;       // origins that asked for a pause
    QTimer holdTimer_;                                      // ends the earliest pause
    ConnectionPool connections_; // outlives the checks, which borrow from it
    std::vector<std::unique_ptr<HttpCheck>> pool_;
    int pendingCount_ = 0;
    int runningCount_ = 0;
    int doneCount_ = 0;
    int pagesRead_ = 0;
    std::vector<std::string> pageFailures_;
    bool running_started_ = false; // run() was called
    bool cancelled_ = false;
    bool finished_ = false;
    bool finishQueued_ = false;
};

} // namespace tarnby::check
