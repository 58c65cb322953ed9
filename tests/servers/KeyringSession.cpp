#include "KeyringSession.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <sys/stat.h>

#include <chrono>
#include <stdexcept>

namespace testservers {
namespace {

constexpr auto kReadyTimeout = std::chrono::seconds(10);

std::string busConfig(const std::string& socket)
{
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:path=" + socket + "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

bool secretServiceOwned(const std::string& address)
{
    QProcess ask;
    ask.start(QString::fromStdString(RequireProgram("dbus-send")),
              { "--bus=" + QString::fromStdString(address), "--print-reply", "--dest=org.freedesktop.DBus",
                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.freedesktop.secrets" });
    if (!ask.waitForFinished(2000)) {
        ask.kill();
        ask.waitForFinished(1000);
        return false;
    }
    return ask.readAll().contains("boolean true");
}

std::string readLog(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void stop(std::unique_ptr<QProcess>& process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(2000)) {
        process->kill();
        process->waitForFinished(2000);
    }
}

} // namespace

KeyringSession::KeyringSession()
{
    try {
        start();
    } catch (...) {
        stop(keyring_);
        stop(bus_);
        throw;
    }
}

void KeyringSession::start()
{
    const std::string socket = folder_.file("bus");
    busAddress_ = "unix:path=" + socket;
    folder_.write("bus.conf", busConfig(socket));
    for (const char* sub : { "run", "home", "data", "config" }) {
        folder_.makeFolder(sub);
        ::chmod(folder_.file(sub).c_str(), 0700);
    }

    bus_ = std::make_unique<QProcess>();
    bus_->setProcessChannelMode(QProcess::MergedChannels);
    bus_->setStandardOutputFile(QString::fromStdString(folder_.file("dbus-daemon.log")));
    bus_->start(QString::fromStdString(RequireProgram("dbus-daemon")),
                { "--nofork", "--nopidfile", "--config-file=" + QString::fromStdString(folder_.file("bus.conf")) });
    if (!bus_->waitForStarted(5000))
        throw std::runtime_error("cannot start dbus-daemon");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(busAddress_));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder_.file("run")));
    environment.insert("HOME", QString::fromStdString(folder_.file("home")));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(folder_.file("data")));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder_.file("config")));
    environment.remove("DISPLAY");
    keyring_ = std::make_unique<QProcess>();
    keyring_->setProcessChannelMode(QProcess::MergedChannels);
    keyring_->setStandardOutputFile(QString::fromStdString(folder_.file("gnome-keyring-daemon.log")));
    keyring_->setProcessEnvironment(environment);

    const auto deadline = std::chrono::steady_clock::now() + kReadyTimeout;
    while (!QFile::exists(QString::fromStdString(socket))) {
        if (std::chrono::steady_clock::now() > deadline || bus_->state() == QProcess::NotRunning)
            throw std::runtime_error("dbus-daemon did not come up: " + output());
        QThread::msleep(10);
    }

    // --unlock reads the login keyring's password on stdin and makes that keyring when missing.
    keyring_->start(QString::fromStdString(RequireProgram("gnome-keyring-daemon")),
                    { "--foreground", "--components=secrets", "--unlock" });
    if (!keyring_->waitForStarted(5000))
        throw std::runtime_error("cannot start gnome-keyring-daemon");
    keyring_->write("quellin-test-keyring\n");
    keyring_->waitForBytesWritten(2000); // no event loop turns here to write it later
    keyring_->closeWriteChannel();
    while (!secretServiceOwned(busAddress_)) {
        if (std::chrono::steady_clock::now() > deadline || keyring_->state() == QProcess::NotRunning)
            throw std::runtime_error("gnome-keyring-daemon did not come up: " + output());
        QThread::msleep(20);
    }
}

KeyringSession::~KeyringSession()
{
    stop(keyring_);
    stop(bus_);
}

void KeyringSession::useInThisProcess() const
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(busAddress_));
}

std::string KeyringSession::output() const
{
    return "dbus-daemon: " + readLog(folder_.file("dbus-daemon.log")) + "\ngnome-keyring-daemon: " +
           readLog(folder_.file("gnome-keyring-daemon.log"));
}

std::string AbsentBusAddress(const TempFolder& folder) { return "unix:path=" + folder.file("no-bus-here"); }

} // namespace testservers
