#include "tarnby/BatchCheck.h"

#include "base/Exception.h"
#include "tarnby/PageSources.h"
#include "tarnby/check/CheckReport.h"
#include "tarnby/check/LinkChecker.h"

#include <QEventLoop>

#include <filesystem>

namespace tarnby {

std::string FileUrlFor(const std::string& path)
{
    std::error_code error;
    std::string absolute = path == "-" ? std::filesystem::current_path(error).string() + "/"
                                       : std::filesystem::absolute(path, error).lexically_normal().string();
    std::string url = "file://";
    for (const char c : absolute) {
        if (c == '%')
            url += "%25";
        else if (c == '#')
            url += "%23";
        else if (c == '?')
            url += "%3F";
        else
            url += c;
    }
    return url;
}

CheckRun RunCheck(const BatchOptions& options)
{
    CheckRun run;
    check::LinkChecker checker(options.check);
    for (const std::string& source : options.sources) {
        if (IsPageUrl(source)) {
            checker.addPageUrl(source);
            continue;
        }
        try {
            const LoadedPage page = SourceFor(source)->read();
            checker.addPage(page.bytes, FileUrlFor(source));
        } catch (const base::Exception& error) {
            run.failures.push_back(error.message());
        }
    }
    QEventLoop loop;
    checker.OnFinished = [&loop] { loop.quit(); };
    checker.run();
    if (!checker.finished())
        loop.exec();
    for (const std::string& failure : checker.pageFailures())
        run.failures.push_back(failure);
    run.report = check::FormatResults(checker.results(), options.check.format);
    const check::CheckSummary summary = checker.summary();
    run.summary = check::SummaryLine(summary);
    run.exitStatus = !run.failures.empty() ? 1 : summary.broken > 0 ? 2 : 0;
    return run;
}

} // namespace tarnby
