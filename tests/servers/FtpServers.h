#pragma once
// Real FTP servers for tests, each on 127.0.0.1 with an ephemeral control port, passive ports
// on loopback and its own temporary root folder that the test fills and inspects directly.
//   auto server = testservers::StartFtpServer(testservers::FtpServerKind::Vsftpd);
//   server->write("a.txt", "hello");   // appears as /a.txt to the client (the root is a chroot)
#include "ServerProcess.h"

#include <memory>
#include <string>

namespace testservers {

enum class FtpServerKind { Vsftpd, Pyftpdlib };
const char* FtpServerName(FtpServerKind kind);

// Plain FTP, or FTP over TLS required on every connection with a certificate signed by the
// fixture's own CA (caFile()): for 127.0.0.1 and localhost, or for "other.invalid" only.
enum class FtpSecurity { Plain, Tls, TlsForOtherName };

class FtpServer {
public:
    // idleSeconds: how long vsftpd keeps a silent session before "421 Timeout." and its close.
    explicit FtpServer(FtpServerKind kind, int idleSeconds = 120, FtpSecurity security = FtpSecurity::Plain);
    ~FtpServer();

    FtpServerKind kind() const { return kind_; }
    std::uint16_t port() const { return process_->port(); }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // Local path of the folder the client sees as "/".
    const std::string& root() const { return root_; }
    // Files and folders below root(), readable and writable by the server's user.
    void write(const std::string& relative, const std::string& bytes) const;
    void makeFolder(const std::string& relative) const;
    void symlink(const std::string& target, const std::string& relative) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    std::string output() const { return process_->output(); }
    // The CA certificate (PEM) that signed a TLS server's certificate.
    std::string caFile() const { return folder_.file("ca.pem"); }

private:
    void grantToUser(const std::string& path) const;
    FtpServerKind kind_;
    TempFolder folder_;
    std::string root_;
    std::string user_;
    std::string password_;
    std::unique_ptr<ServerProcess> process_;
};

// Throws std::runtime_error (so tests fail, never skip) when the server is not installed, the
// test user cannot be created or the server does not come up.
std::unique_ptr<FtpServer> StartFtpServer(FtpServerKind kind, int idleSeconds = 120,
                                          FtpSecurity security = FtpSecurity::Plain);

// A scripted FTP over TLS server (python3) that logs anyone in and then refuses every secure
// data connection after its handshake with "522 SSL connection failed: session reuse
// required", as vsftpd refuses data connections that do not resume the control connection's
// session.
class FtpsDataRefuser {
public:
    FtpsDataRefuser();
    ~FtpsDataRefuser();
    std::uint16_t port() const { return process_->port(); }
    std::string caFile() const { return folder_.file("ca.pem"); }

private:
    TempFolder folder_;
    std::unique_ptr<ServerProcess> process_;
};

} // namespace testservers
