#include "tarnby/BatchMode.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "platform/core/CoreApplication.h"
#include "tarnby/BatchCheck.h"
#include "tarnby/BatchFetcher.h"
#include "tarnby/BatchOptions.h"
#include "tarnby/PageLinks.h"
#include "tarnby/PageSources.h"
#include "tarnby/ReductionPasses.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnby {

namespace {

constexpr const char* kProgram = "tarnby";
constexpr const char* kVersion = "Tarnby v1.1c";

std::vector<std::string> Arguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

std::string RunPasses(std::string pane, int count)
{
    using Pass = std::string (*)(std::string_view);
    constexpr Pass passes[] = {ProcessLinks, RemoveEmptyLinks, RemoveLinkTags};
    for (int i = 0; i < count; ++i)
        pane = passes[i](pane);
    return pane;
}

// The HTML parser's link lines of each page in turn; a page without an address of its own
// takes baseUrl.
std::string ParsedLinks(const std::vector<LoadedPage>& pages, const std::string& baseUrl)
{
    std::string lines;
    for (const LoadedPage& page : pages)
        lines += LinkLines(ExtractLinks(page.bytes, page.url.empty() ? baseUrl : page.url, page.contentType));
    return lines;
}

// Standard output gets LF line ends: every line of a pane text ends with CR LF. The CRs go
// where the text lies, so a page of many megabytes is not held twice.
std::string WithLineFeeds(std::string pane)
{
    char* write = pane.data();
    const char* read = pane.data();
    const char* const end = read + pane.size();
    while (read < end) {
        const char* cr = static_cast<const char*>(std::memchr(read, '\r', static_cast<std::size_t>(end - read)));
        const char* const stop = cr ? cr : end;
        std::memmove(write, read, static_cast<std::size_t>(stop - read));
        write += stop - read;
        if (!cr)
            break;
        if (cr + 1 == end || cr[1] != '\n')
            *write++ = '\r'; // a CR of the line itself
        read = cr + 1;
    }
    pane.resize(static_cast<std::size_t>(write - pane.data()));
    return pane;
}

void WriteStandardOutput(const std::string& bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        throw base::EFileError("Cannot write to standard output");
}

// A regular file appears complete or not at all: it is written beside its final name and
// renamed into place (through a symbolic link, to the file it names). Anything else that
// already exists, such as /dev/null or a pipe, is written in place: renaming over it would
// put a regular file where the device or pipe was.
void WriteOutputFile(const std::string& path, const std::string& bytes)
{
    const QString name = QString::fromLocal8Bit(path);
    const QFileInfo info(name);
    if (info.exists() && !info.isFile()) {
        base::WriteWholeFile(path, bytes);
        return;
    }
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())
        || !file.commit())
        throw base::EFileError("Cannot write file \"" + path + "\". " + file.errorString().toStdString());
}

void Report(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
}

// The report goes out even when pages failed: the links of the others were checked.
int WriteCheck(const CheckRun& run, const BatchOptions& options)
{
    for (const std::string& failure : run.failures)
        Report(failure);
    if (options.outputFile)
        WriteOutputFile(*options.outputFile, run.report);
    else
        WriteStandardOutput(run.report);
    Report(run.summary);
    return run.exitStatus;
}

std::string UncaughtReport(const platform::core::CoreApplication& application)
{
    return "stopped after an internal error: " + application.UncaughtText().toStdString();
}

} // namespace

bool IsBatchInvocation(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            return false;
        if (IsBatchOption(argument))
            return true;
    }
    return false;
}

int RunBatch(int argc, char** argv)
{
    BatchOptions options;
    try {
        options = ParseBatchArguments(Arguments(argc, argv));
    } catch (const BatchUsageError& error) {
        Report(std::string(error.what()) + "\nTry \"tarnby --help\".");
        return 2;
    }
    try {
        switch (options.action) {
        case BatchOptions::Action::Help:
            WriteStandardOutput(BatchUsage());
            return 0;
        case BatchOptions::Action::Version:
            WriteStandardOutput(std::string(kVersion) + "\n");
            return 0;
        case BatchOptions::Action::Links:
        case BatchOptions::Action::Check:
            break;
        }
        // Fetching turns an event loop (host look-ups, sockets, timers).
        std::optional<platform::core::CoreApplication> application;
        int applicationArgc = 1;
        char applicationName[] = "tarnby";
        char* applicationArgv[] = {applicationName, nullptr};
        if (QCoreApplication::instance() == nullptr)
            application.emplace(applicationArgc, applicationArgv);
        if (options.action == BatchOptions::Action::Check)
            return WriteCheck(RunCheck(options), options);
        std::unique_ptr<BatchFetcher> fetcher;
        if (application) {
            application->OnUncaught = [&] {
                if (fetcher)
                    fetcher->AbortOnUncaught(application->UncaughtText().toStdString());
            };
        }
        const FetchUrl fetchUrl = [&](const std::string& url) {
            if (!fetcher)
                fetcher = std::make_unique<BatchFetcher>(options);
            return (*fetcher)(url);
        };
        // Without passes the pages go to standard output as loading leaves them: their LF text
        // is made in one pass where each page lies, never as a pane text first.
        const bool linesOnly = !options.htmlParser && options.passes == 0 && !options.outputFile;
        std::string pane;
        if (options.htmlParser)
            pane = ParsedLinks(ReadSources(options.sources, fetchUrl), options.baseUrl);
        else if (linesOnly)
            pane = LoadSourcesWithLineFeeds(options.sources, fetchUrl);
        else
            pane = RunPasses(LoadSources(options.sources, fetchUrl), options.passes);
        // Output after a swallowed failure could be incomplete: none is written.
        if (application && application->HasUncaught()) {
            Report(UncaughtReport(*application));
            return 1;
        }
        if (options.outputFile)
            WriteOutputFile(*options.outputFile, pane);
        else if (linesOnly)
            WriteStandardOutput(pane);
        else
            WriteStandardOutput(WithLineFeeds(std::move(pane)));
        return 0;
    } catch (const base::Exception& error) {
        Report(error.message());
        return 1;
    }
}

} // namespace tarnby
