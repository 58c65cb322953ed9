#include "tarnby/BatchMode.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "tarnby/BatchOptions.h"
#include "tarnby/PageSources.h"
#include "tarnby/ReductionPasses.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <cstdio>
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

// Standard output gets LF line ends: every line of a pane text ends with CR LF.
std::string WithLineFeeds(const std::string& pane)
{
    std::string out;
    out.reserve(pane.size());
    for (std::size_t i = 0; i < pane.size(); ++i)
        if (!(pane[i] == '\r' && i + 1 < pane.size() && pane[i + 1] == '\n'))
            out += pane[i];
    return out;
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
            break;
        }
        const std::string pane = RunPasses(LoadSources(options.sources), options.passes);
        if (options.outputFile)
            WriteOutputFile(*options.outputFile, pane);
        else
            WriteStandardOutput(WithLineFeeds(pane));
        return 0;
    } catch (const base::Exception& error) {
        Report(error.message());
        return 1;
    }
}

} // namespace tarnby
