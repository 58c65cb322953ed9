#include "tarnby/check/LinkChecker.h"

#include "base/Streams.h"

#include <QMetaObject>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tarnby::check {

namespace {

bool WalkablePage(const std::string& resource, const std::vector<std::unique_ptr<SiteScope>>& scopes)
{
    return std::any_of(scopes.begin(), scopes.end(), [&](const auto& scope) { return scope->contains(resource); });
}

std::string Redirect(const HttpOutcome& o)
{
    return "redirect " + std::to_string(o.redirectStatus) + " -> " + o.finalUrl;
}

// A fragment as written, or with its %XX escapes decoded, names an id of the page.
bool HasId(const std::vector<std::string>& ids, const std::string& fragment)
{
    if (std::binary_search(ids.begin(), ids.end(), fragment))
        return true;
    const std::string decoded = FilePath("file:" + fragment);
    return std::binary_search(ids.begin(), ids.end(), decoded);
}

std::vector<std::string> SortedIds(std::string_view page, std::string_view contentType = {})
{
    std::vector<std::string> ids = ExtractIds(page, contentType);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

} // namespace

LinkChecker::LinkChecker(CheckSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)),
      connections_(settings_.caCertFile, static_cast<std::size_t>(std::max(settings_.concurrency, 1)))
{
    if (settings_.exclude)
        exclude_ = std::make_unique<QRegularExpression>(QString::fromStdString(*settings_.exclude));
    holdTimer_.setSingleShot(true);
    holdTimer_.setTimerType(Qt::PreciseTimer);
    connect(&holdTimer_, &QTimer::timeout, this, [this] { schedule(); });
}

LinkChecker::~LinkChecker() = default;

LinkChecker::Entry& LinkChecker::enter(const std::string& resource, LinkKind kind)
{
    auto [it, added] = entries_.try_emplace(resource);
    if (added)
        it->second.kind = kind;
    return it->second;
}

void LinkChecker::addPageUrl(const std::string& url)
{
    const LinkTarget target = ClassifyLink(url);
    if (settings_.recursive)
        scopes_.push_back(std::make_unique<SiteScope>(target.resource));
    Entry& entry = enter(target.resource, LinkKind::Http);
    entry.start = true;
    want(target.resource, true, true);
}

void LinkChecker::addPage(std::string_view bytes, const std::string& url)
{
    ++pagesRead_;
    readLinks(bytes, url);
}

void LinkChecker::addLinks(const std::vector<PageLink>& links)
{
    for (const PageLink& link : links)
        addRow(link);
}

void LinkChecker::readLinks(std::string_view page, const std::string& url, std::string_view contentType)
{
    for (const PageLink& link : ExtractLinks(page, url, contentType))
        addRow(link);
}

void LinkChecker::addRow(const PageLink& link)
{
    const LinkTarget target = ClassifyLink(link.url);
    const bool excluded = exclude_ && exclude_->match(QString::fromStdString(link.url)).hasMatch();
    rows_.push_back({link.url, link.text, target.resource, target.fragment, target.kind, excluded});
    if (excluded || target.kind == LinkKind::Skipped)
        return;
    Entry& entry = enter(target.resource, target.kind);
    if (target.kind == LinkKind::File) {
        if (entry.state == State::Pending)
            checkFile(target.resource, entry);
        if (settings_.fragments && !target.fragment.empty() && !entry.ids && entry.fileFound) {
            try {
                base::MemoryStream file;
                file.loadFromFile(FilePath(target.resource));
                entry.ids = SortedIds(std::string_view(file.data()).substr(0, kMaxPageBytes));
            } catch (const std::exception&) {
                entry.ids.emplace(); // unreadable: no ids
            }
        }
        return;
    }
    const bool walk = settings_.recursive && WalkablePage(target.resource, scopes_);
    const bool idsWanted = settings_.fragments && !target.fragment.empty();
    want(target.resource, walk || idsWanted, walk);
}

void LinkChecker::checkFile(const std::string& resource, Entry& entry)
{
    std::error_code error;
    const std::string path = FilePath(resource);
    entry.fileFound = !path.empty() && std::filesystem::exists(path, error);
    entry.state = State::Done;
}

// Marks what a resource needs and queues it when that is more than it has had.
void LinkChecker::want(const std::string& resource, bool page, bool walk)
{
    Entry& entry = entries_.at(resource);
    const bool more = (page && !entry.wantPage) || (walk && !entry.walk);
    entry.walk = entry.walk || walk;
    entry.wantPage = entry.wantPage || page;
    if (entry.queued)
        return; // the check reads what it wants when it starts
    if (entry.state == State::Running) {
        entry.again = entry.again || more;
        return;
    }
    if (entry.state == State::Done) {
        if (!more)
            return;
        --doneCount_; // fetched once more, now for its page
    }
    entry.state = State::Pending;
    entry.queued = true;
    queues_[OriginOf(resource)].push_back(resource);
    ++pendingCount_;
    if (running_started_)
        schedule();
}

void LinkChecker::run()
{
    running_started_ = true;
    schedule();
}

void LinkChecker::schedule()
{
    if (cancelled_)
        return;
    while (runningCount_ < settings_.concurrency && pendingCount_ > 0) {
        // The next origin after the last one served that has work and room.
        auto it = queues_.upper_bound(lastOrigin_);
        std::string origin;
        for (std::size_t tried = 0; tried < queues_.size(); ++tried, ++it) {
            if (it == queues_.end())
                it = queues_.begin();
            if (!it->second.empty() && running_[it->first] < settings_.perHost && !held(it->first)) {
                origin = it->first;
                break;
            }
        }
        if (origin.empty())
            break; // every origin with work is at its limit or paused
        lastOrigin_ = origin;
        std::deque<std::string>& queue = queues_[origin];
        const std::string resource = queue.front();
        queue.pop_front();
        --pendingCount_;
        HttpCheck* check = nullptr;
        for (const auto& candidate : pool_)
            if (!candidate->busy())
                check = candidate.get();
        if (!check) {
            pool_.push_back(std::make_unique<HttpCheck>(settings_, connections_, this));
            check = pool_.back().get();
        }
        startCheck(*check, resource);
    }
    armHoldTimer();
    maybeFinish();
}

// A server that answered 429 with Retry-After gets no new request from any check until the
// pause is over; checks already under way go on.
void LinkChecker::holdBack(const std::string& origin, int seconds)
{
    const QDeadlineTimer until(std::chrono::seconds(seconds), Qt::PreciseTimer);
    QDeadlineTimer& held = heldUntil_[origin];
    if (held.hasExpired() || held < until)
        held = until;
    armHoldTimer();
}

bool LinkChecker::held(const std::string& origin)
{
    const auto it = heldUntil_.find(origin);
    if (it == heldUntil_.end())
        return false;
    if (!it->second.hasExpired())
        return true;
    heldUntil_.erase(it);
    return false;
}

void LinkChecker::armHoldTimer()
{
    std::erase_if(heldUntil_, [](const auto& hold) { return hold.second.hasExpired(); });
    qint64 earliest = -1;
    for (const auto& [origin, until] : heldUntil_)
        if (const qint64 left = until.remainingTime(); earliest < 0 || left < earliest)
            earliest = left;
    if (earliest < 0 || cancelled_)
        holdTimer_.stop();
    else
        holdTimer_.start(std::chrono::milliseconds(earliest));
}

void LinkChecker::startCheck(HttpCheck& check, const std::string& resource)
{
    Entry& entry = entries_.at(resource);
    entry.state = State::Running;
    entry.queued = false;
    entry.outcome = {};
    ++runningCount_;
    ++running_[OriginOf(resource)];
    check.OnDone = [this, &check, resource](HttpOutcome outcome) { checkDone(check, resource, std::move(outcome)); };
    check.OnHoldBack = [this, origin = OriginOf(resource)](int seconds) { holdBack(origin, seconds); };
    check.start(resource, entry.wantPage ? HttpCheck::Want::Page : HttpCheck::Want::Status);
}

void LinkChecker::checkDone(HttpCheck&, std::string resource, HttpOutcome outcome)
{
    --runningCount_;
    --running_[OriginOf(resource)];
    ++doneCount_;
    Entry& entry = entries_.at(resource);
    entry.state = State::Done;
    const bool working = outcome.failure.empty() && settings_.accept.accepts(outcome.status);
    // An error page's links are not the site's.
    if (entry.wantPage && working && outcome.html && !outcome.body.empty()) {
        if (settings_.fragments)
            entry.ids = SortedIds(outcome.body, outcome.contentType);
        // A page reached by a redirect too is walked once, under its final address.
        if (entry.walk && walked_.insert(outcome.finalUrl).second) {
            ++pagesRead_;
            readLinks(outcome.body, outcome.finalUrl, outcome.contentType);
        }
    } else if (entry.wantPage && working && settings_.fragments) {
        entry.ids.emplace(); // not HTML, or empty: no ids
    }
    if (entry.start && !working)
        pageFailures_.push_back("cannot fetch " + resource + ": "
                                + (outcome.failure.empty() ? std::to_string(outcome.status) : outcome.failure));
    outcome.body.clear();
    outcome.body.shrink_to_fit();
    entry.outcome = std::move(outcome);
    if (entry.again) {
        entry.again = false;
        entry.wantPage = false; // want() compares with what the last check had
        want(resource, true, entry.walk);
    }
    if (OnProgress)
        OnProgress(doneCount_, doneCount_ + runningCount_ + pendingCount_);
    schedule();
}

void LinkChecker::cancel()
{
    cancelled_ = true;
    holdTimer_.stop();
    for (const auto& check : pool_)
        check->cancel();
    runningCount_ = 0;
    pendingCount_ = 0;
    maybeFinish();
}

void LinkChecker::maybeFinish()
{
    if (finished_ || finishQueued_ || !running_started_ || runningCount_ > 0 || pendingCount_ > 0)
        return;
    finishQueued_ = true;
    QMetaObject::invokeMethod(this, [this] {
        finished_ = true;
        if (OnFinished)
            OnFinished();
    }, Qt::QueuedConnection);
}

CheckedLink LinkChecker::verdictFor(const Row& row) const
{
    CheckedLink link{row.url, row.text, "skipped", Verdict::Skipped};
    if (row.excluded) {
        link.result = "excluded";
        link.verdict = Verdict::Excluded;
        return link;
    }
    if (row.kind == LinkKind::Skipped)
        return link;
    const Entry& entry = entries_.at(row.resource);
    const bool checkFragment = settings_.fragments && !row.fragment.empty();
    if (row.kind == LinkKind::File) {
        link.verdict = entry.fileFound ? Verdict::Fine : Verdict::Broken;
        link.result = entry.fileFound ? "found" : "not found";
    } else if (entry.state != State::Done) {
        link.result = "not checked";
        link.verdict = Verdict::Skipped;
        return link;
    } else {
        const HttpOutcome& o = entry.outcome;
        const bool accepted = o.failure.empty() && settings_.accept.accepts(o.status);
        const std::string answer = o.failure.empty() ? std::to_string(o.status) : o.failure;
        if (o.redirectStatus > 0) {
            link.result = accepted ? Redirect(o) : answer + " after " + Redirect(o);
            link.verdict = accepted ? Verdict::Redirected : Verdict::Broken;
        } else {
            link.result = answer;
            link.verdict = accepted ? Verdict::Fine : Verdict::Broken;
        }
    }
    if (checkFragment && link.verdict != Verdict::Broken && entry.ids && !HasId(*entry.ids, row.fragment)) {
        link.result += ", no fragment #" + row.fragment;
        link.verdict = Verdict::Broken;
    }
    return link;
}

std::vector<CheckedLink> LinkChecker::results() const
{
    std::vector<CheckedLink> links;
    links.reserve(rows_.size());
    for (const Row& row : rows_)
        links.push_back(verdictFor(row));
    return links;
}

CheckSummary LinkChecker::summary() const
{
    CheckSummary s;
    s.pages = pagesRead_;
    for (const auto& [resource, entry] : entries_)
        if (entry.state == State::Done)
            ++s.addresses;
    for (const Row& row : rows_) {
        ++s.links;
        switch (verdictFor(row).verdict) {
        case Verdict::Fine:
            ++s.fine;
            break;
        case Verdict::Redirected:
            ++s.redirected;
            break;
        case Verdict::Broken:
            ++s.broken;
            break;
        case Verdict::Skipped:
            ++s.skipped;
            break;
        case Verdict::Excluded:
            ++s.excluded;
            break;
        }
    }
    return s;
}

} // namespace tarnby::check
