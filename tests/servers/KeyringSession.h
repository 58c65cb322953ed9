#pragma once
// A desktop keyring for tests: a private D-Bus session bus (dbus-daemon with its own
// configuration, no service activation) and gnome-keyring-daemon's secret service on it, with
// a "login" keyring made and unlocked at start. Everything lives in the fixture's temporary
// folder; both processes stop when the object goes.
//
// useInThisProcess() points DBUS_SESSION_BUS_ADDRESS of the test process at the private bus.
// D-Bus clients keep their session connection for the life of the process: use one fixture
// per test executable, made before the first keyring call.
#include "ServerProcess.h"

#include <memory>
#include <string>

class QProcess;

namespace testservers {

class KeyringSession {
public:
    // Throws std::runtime_error when a program is missing or the service does not come up
    // within ten seconds.
    KeyringSession();
    ~KeyringSession();
    KeyringSession(const KeyringSession&) = delete;
    KeyringSession& operator=(const KeyringSession&) = delete;

    const std::string& busAddress() const { return busAddress_; }
    void useInThisProcess() const;
    // What both processes wrote so far.
    std::string output() const;

private:
    void start();
    TempFolder folder_;
    std::string busAddress_;
    std::unique_ptr<QProcess> bus_;
    std::unique_ptr<QProcess> keyring_;
};

// A session bus address where nobody listens: "no keyring running".
std::string AbsentBusAddress(const TempFolder& folder);

} // namespace testservers
