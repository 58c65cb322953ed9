#pragma once
// OpenSSH's sshd for tests: an ordinary process on 127.0.0.1 with its own configuration, host
// key, log and authorised keys in its temporary folder. Two users log in: a password user and
// a key user whose public key the fixture makes (its private key is keyFolder()/id_ed25519, a
// folder laid out like ~/.ssh without known_hosts). Each user's SFTP session starts in its own
// folder below the fixture (folderOf); the password user's is root().
//   auto server = testservers::StartSshServer();
//   server->write("a.txt", "hello");   // the password user sees it in its starting folder
#include "ServerProcess.h"

#include <memory>
#include <string>

namespace testservers {

class SshServer {
public:
    // port 0: a free one. Every server makes a new host key, so a second server on the port of
    // a first one shows a changed host key.
    explicit SshServer(std::uint16_t port = 0);
    ~SshServer();

    std::uint16_t port() const { return process_->port(); }
    static const std::string& passwordUser();
    static const std::string& password();
    static const std::string& keyUser();
    // A folder with id_ed25519 and id_ed25519.pub of the key user (mode 0700).
    std::string keyFolder() const;
    std::string root() const { return folderOf(passwordUser()); }
    std::string folderOf(const std::string& user) const;
    // The host key's fingerprint as ssh-keygen -l shows it ("SHA256:...").
    const std::string& hostKeyFingerprint() const { return fingerprint_; }

    // Below root(), owned by the password user.
    void write(const std::string& relative, const std::string& bytes) const;
    void makeFolder(const std::string& relative) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    std::string output() const { return process_->output(); }
    // Ends every session sshd has opened (its child processes), as a network that broke
    // would; the server keeps listening.
    void endSessions() const;
    // Stops every session sshd has opened (SIGSTOP), as a server that hangs would: the client
    // hears nothing more on them. endSessions() ends them.
    void pauseSessions() const;

private:
    void signalSessions(int signal) const;

    TempFolder folder_;
    std::string fingerprint_;
    std::unique_ptr<ServerProcess> process_;
};

// Throws std::runtime_error (tests fail, never skip) when sshd is missing or does not come up.
std::unique_ptr<SshServer> StartSshServer(std::uint16_t port = 0);

} // namespace testservers
