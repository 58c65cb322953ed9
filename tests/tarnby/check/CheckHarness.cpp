#include "CheckHarness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace checktest {

CheckResult RunChecker(const tarnby::check::CheckSettings& settings,
                       const std::function<void(tarnby::check::LinkChecker&)>& add, std::chrono::milliseconds limit)
{
    tarnby::check::LinkChecker checker(settings);
    add(checker);
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    checker.OnFinished = [&loop] { loop.quit(); };
    QElapsedTimer clock;
    std::vector<std::chrono::milliseconds> doneAt;
    checker.OnProgress = [&](int, int) { doneAt.emplace_back(clock.elapsed()); };
    clock.start();
    guard.start(limit);
    checker.run();
    if (!checker.finished())
        loop.exec();
    CheckResult result;
    result.took = std::chrono::milliseconds(clock.elapsed());
    result.finished = checker.finished();
    result.doneAt = doneAt;
    if (!result.finished) {
        checker.cancel();
        QCoreApplication::processEvents();
    }
    result.links = checker.results();
    result.summary = checker.summary();
    result.pageFailures = checker.pageFailures();
    return result;
}

CheckResult CheckOne(const tarnby::check::CheckSettings& settings, const std::string& url)
{
    return RunChecker(settings, [&](tarnby::check::LinkChecker& c) { c.addLinks({{url, "link"}}); });
}

} // namespace checktest
