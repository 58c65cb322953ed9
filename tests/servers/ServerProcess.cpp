#include "ServerProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <stdexcept>

namespace testservers {

namespace {

sockaddr_in loopback(std::uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool portBindable(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in a = loopback(port);
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TempFolder::TempFolder()
    : dir_(std::make_unique<QTemporaryDir>(QDir::tempPath() + "/quellin-test-XXXXXX"))
{
    if (!dir_->isValid())
        throw std::runtime_error("cannot create a temporary folder: " + dir_->errorString().toStdString());
    path_ = dir_->path().toStdString();
    QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                            | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                            | QFile::ExeOther);
}

TempFolder::~TempFolder() = default;

std::string TempFolder::file(const std::string& relative) const
{
    return path_ + "/" + relative;
}

void TempFolder::write(const std::string& relative, const std::string& bytes) const
{
    const std::string full = file(relative);
    QDir().mkpath(QFileInfo(QString::fromStdString(full)).path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.good())
        throw std::runtime_error("cannot write " + full);
}

void TempFolder::makeFolder(const std::string& relative) const
{
    if (!QDir().mkpath(QString::fromStdString(file(relative))))
        throw std::runtime_error("cannot create folder " + file(relative));
}

std::uint16_t FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw std::runtime_error("socket() failed");
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot bind an ephemeral port on 127.0.0.1");
    }
    ::close(fd);
    return ntohs(a.sin_port);
}

std::uint16_t FreeLoopbackPortRange(int count)
{
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> start(20000, 30000);
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int first = start(random);
        bool free = true;
        for (int p = first; p < first + count && free; ++p)
            free = portBindable(static_cast<std::uint16_t>(p));
        if (free)
            return static_cast<std::uint16_t>(first);
    }
    throw std::runtime_error("no free range of ports on 127.0.0.1");
}

std::string RequireProgram(const std::string& program)
{
    const QString found = QStandardPaths::findExecutable(QString::fromStdString(program),
        { "/usr/sbin", "/usr/bin", "/sbin", "/bin", "/usr/local/sbin", "/usr/local/bin" });
    if (found.isEmpty())
        throw std::runtime_error(program + " is not installed (run scripts/install-test-deps.sh)");
    return found.toStdString();
}

bool LoopbackPortAccepts(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in a = loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

ServerProcess::ServerProcess(ServerOptions options)
    : options_(std::move(options)), process_(std::make_unique<QProcess>())
{
    const std::string program = RequireProgram(options_.program);
    logPath_ = options_.workingFolder + "/" + options_.name + ".log";
    QStringList arguments;
    for (const auto& a : options_.arguments)
        arguments << QString::fromStdString(a);
    process_->setWorkingDirectory(QString::fromStdString(options_.workingFolder));
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setStandardOutputFile(QString::fromStdString(logPath_));
    process_->start(QString::fromStdString(program), arguments);
    if (!process_->waitForStarted(5000))
        throw std::runtime_error(options_.name + " did not start: " + process_->errorString().toStdString());

    // Bounded readiness loop: a short sleep between probes; a server that exits is reported at once.
    const auto deadline = std::chrono::steady_clock::now() + options_.readyTimeout;
    while (!LoopbackPortAccepts(options_.port)) {
        if (process_->state() == QProcess::NotRunning || process_->waitForFinished(0)) {
            const std::string log = output();
            throw std::runtime_error(options_.name + " exited before it was ready:\n" + log);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            stop();
            throw std::runtime_error(options_.name + " was not ready on port " + std::to_string(options_.port)
                                     + " in time:\n" + output());
        }
        QThread::msleep(20);
    }
}

ServerProcess::~ServerProcess()
{
    stop();
}

bool ServerProcess::running() const
{
    return process_->state() == QProcess::Running;
}

std::string ServerProcess::output() const
{
    return readFile(logPath_);
}

void ServerProcess::stop()
{
    if (process_->state() == QProcess::NotRunning)
        return;
    process_->terminate();
    if (!process_->waitForFinished(2000)) {
        process_->kill();
        process_->waitForFinished(2000);
    }
}

long long ServerProcess::processId() const
{
    return running() ? static_cast<long long>(process_->processId()) : 0;
}

} // namespace testservers
