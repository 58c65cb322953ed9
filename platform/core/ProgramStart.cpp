#include "platform/core/ProgramStart.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform::core {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The program name: up to the next blank, or between quotes.
std::size_t TakeProgramName(std::string_view line, std::size_t at, std::string& name)
{
    bool quoted = false;
    for (; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"')
            quoted = !quoted;
        else if (IsBlank(c) && !quoted)
            break;
        else
            name += c;
    }
    return at;
}

std::size_t TakeArgument(std::string_view line, std::size_t at, std::string& argument)
{
    bool quoted = false;
    while (at < line.size()) {
        const char c = line[at];
        if (c == '\\') {
            std::size_t backslashes = 0;
            while (at < line.size() && line[at] == '\\') {
                ++backslashes;
                ++at;
            }
            if (at < line.size() && line[at] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                    ++at;
                }
            } else {
                argument.append(backslashes, '\\');
            }
        } else if (c == '"') {
            if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                argument += '"';
                at += 2;
            } else {
                quoted = !quoted;
                ++at;
            }
        } else if (IsBlank(c) && !quoted) {
            break;
        } else {
            argument += c;
            ++at;
        }
    }
    return at;
}

int ResultOfError(int error)
{
    switch (error) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM: return 5;
    case ENOMEM: return 8;
    case ENOEXEC: return 11;
    default: return 0;
    }
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::size_t at = 0;
    while (at < commandLine.size() && IsBlank(commandLine[at]))
        ++at;
    if (at == commandLine.size())
        return arguments;
    std::string program;
    at = TakeProgramName(commandLine, at, program);
    arguments.push_back(std::move(program));
    for (;;) {
        while (at < commandLine.size() && IsBlank(commandLine[at]))
            ++at;
        if (at == commandLine.size())
            break;
        std::string argument;
        at = TakeArgument(commandLine, at, argument);
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

int WinExec(std::string_view commandLine)
{
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty() || arguments.front().empty())
        return 2;
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return ResultOfError(error);
    // The program runs on its own; a waiter collects its exit so that no zombie is left.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return 33;
}

} // namespace platform::core
