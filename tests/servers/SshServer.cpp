#include "SshServer.h"

#include "LocalUsers.h"

#include <QDir>
#include <QFile>

#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <map>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace testservers {
namespace {

const std::string kPasswordUser = "quellinsftp";
const std::string kKeyUser = "quellinkey";
const std::string kPassword = "Qu3llin-sftp";
// sshd's privilege separation needs this folder, owned by root.
constexpr const char* kPrivilegeSeparationDir = "/run/sshd";

std::string config(std::uint16_t port, const TempFolder& folder)
{
    std::ostringstream c;
    c << "Port " << port << "\n"
      << "ListenAddress 127.0.0.1\n"
      << "HostKey " << folder.file("host_ed25519") << "\n"
      << "PidFile " << folder.file("sshd.pid") << "\n"
      << "AuthorizedKeysFile " << folder.file("authorized/%u") << "\n"
      << "StrictModes no\n"
      << "UsePAM no\n"
      << "PasswordAuthentication yes\n"
      << "KbdInteractiveAuthentication no\n"
      << "PubkeyAuthentication yes\n"
      << "PermitRootLogin no\n"
      << "AllowUsers " << kPasswordUser << " " << kKeyUser << "\n"
      << "MaxStartups 64\n"
      << "MaxAuthTries 10\n"
      << "LogLevel VERBOSE\n"
      << "Subsystem sftp internal-sftp -d " << folder.file("home/%u") << "\n";
    return c.str();
}

void makeKey(const std::string& path, const std::string& comment)
{
    RunTool(QString::fromStdString(RequireProgram("ssh-keygen")),
            { "-q", "-t", "ed25519", "-N", "", "-C", QString::fromStdString(comment), "-f",
              QString::fromStdString(path) });
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

} // namespace

const std::string& SshServer::passwordUser() { return kPasswordUser; }
const std::string& SshServer::password() { return kPassword; }
const std::string& SshServer::keyUser() { return kKeyUser; }

SshServer::SshServer(std::uint16_t port)
{
    const std::string sshd = RequireProgram("/usr/sbin/sshd");
    EnsureLocalUser(kPasswordUser, kPassword);
    EnsureLocalUser(kKeyUser, kPassword + "-unused");
    QDir().mkpath(kPrivilegeSeparationDir);
    ::chmod(kPrivilegeSeparationDir, 0755);

    makeKey(folder_.file("host_ed25519"), "host");
    const QString fingerprint = QString::fromUtf8(
        RunTool("ssh-keygen", { "-l", "-f", QString::fromStdString(folder_.file("host_ed25519.pub")) }));
    fingerprint_ = fingerprint.section(' ', 1, 1).toStdString();

    folder_.makeFolder("client");
    ::chmod(folder_.file("client").c_str(), 0700);
    makeKey(folder_.file("client/id_ed25519"), kKeyUser);
    folder_.write("authorized/" + kKeyUser, readFile(folder_.file("client/id_ed25519.pub")));

    for (const auto& user : { kPasswordUser, kKeyUser }) {
        folder_.makeFolder("home/" + user);
        GiveToUser(folderOf(user), user);
    }

    if (port == 0)
        port = FreeLoopbackPort();
    folder_.write("sshd_config", config(port, folder_));
    process_ = std::make_unique<ServerProcess>(ServerOptions{
        "sshd", sshd, { "-D", "-e", "-f", folder_.file("sshd_config") }, port, folder_.path() });
}

SshServer::~SshServer() = default;

std::string SshServer::keyFolder() const { return folder_.file("client"); }

std::string SshServer::folderOf(const std::string& user) const { return folder_.file("home/" + user); }

void SshServer::write(const std::string& relative, const std::string& bytes) const
{
    const std::string full = root() + "/" + relative;
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + full);
    GiveToUser(full, kPasswordUser);
}

void SshServer::makeFolder(const std::string& relative) const
{
    const std::string full = root() + "/" + relative;
    if (!QDir().mkpath(QString::fromStdString(full)))
        throw std::runtime_error("cannot make " + full);
    GiveToUser(full, kPasswordUser);
}

std::string SshServer::read(const std::string& relative) const { return readFile(root() + "/" + relative); }

bool SshServer::exists(const std::string& relative) const
{
    struct stat info {};
    return ::lstat((root() + "/" + relative).c_str(), &info) == 0;
}

void SshServer::endSessions() const
{
    signalSessions(SIGKILL);
}

void SshServer::pauseSessions() const
{
    signalSessions(SIGSTOP);
}

void SshServer::signalSessions(int signal) const
{
    // Each session is a privileged child of the listener and an unprivileged grandchild that
    // holds the connection: end every descendant.
    std::map<long long, long long> parents;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const long long pid = entry.toLongLong(&number);
        QFile stat("/proc/" + entry + "/stat");
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks, so read after its ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parents[pid] = fields[1].toLongLong();
    }
    const long long listener = process_->processId();
    for (const auto& [pid, parent] : parents) {
        for (long long up = parent; up > 1 && parents.count(up) != 0; up = parents[up]) {
            if (up == listener) {
                ::kill(static_cast<pid_t>(pid), signal);
                break;
            }
        }
    }
}

std::unique_ptr<SshServer> StartSshServer(std::uint16_t port) { return std::make_unique<SshServer>(port); }

} // namespace testservers
