#include "LocalUsers.h"

#include <QProcess>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <stdexcept>

namespace testservers {

QByteArray RunTool(const QString& program, const QStringList& arguments, const QByteArray& input)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForStarted(5000))
        throw std::runtime_error("cannot run " + program.toStdString());
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(20000))
        p.kill();
    const QByteArray output = p.readAll();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(program.toStdString() + " failed: " + output.toStdString());
    return output;
}

void EnsureLocalUser(const std::string& name, const std::string& password)
{
    if (::getpwnam(name.c_str()) != nullptr)
        return;
    if (::geteuid() != 0)
        throw std::runtime_error("the test user " + name + " is missing and only root can create it");
    const int lock = ::open("/tmp/quellin-test-users.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0)
        throw std::runtime_error("cannot lock the creation of the test user " + name);
    try {
        if (::getpwnam(name.c_str()) == nullptr) {
            RunTool("useradd", { "-M", "-d", "/", "-s", "/bin/sh", QString::fromStdString(name) });
            RunTool("chpasswd", {}, QByteArray::fromStdString(name + ":" + password + "\n"));
        }
    } catch (...) {
        ::close(lock);
        throw;
    }
    ::close(lock);
}

void GiveToUser(const std::string& path, const std::string& name)
{
    const passwd* pw = ::getpwnam(name.c_str());
    if (pw == nullptr || ::lchown(path.c_str(), pw->pw_uid, pw->pw_gid) != 0)
        throw std::runtime_error("cannot give " + path + " to " + name);
}

} // namespace testservers
