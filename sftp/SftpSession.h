#pragma once
// SftpSession: remote files over SSH's file transfer protocol, on libssh (RemoteFiles.h).
//
// Log-in: a TCP connection to Site.host:Site.port (22 when 0), then the server's host key is
// checked against known_hosts in sshFolder (default ~/.ssh) before any credential is sent:
//   known and the same  -> go on;
//   unknown             -> OnHostKeyQuestion(host, SHA256 fingerprint) decides; yes stores the
//                          key in known_hosts, no (or no handler) refuses with EHostKeyRejected;
//   changed (or another key type known for the host) -> refused with EHostKeyChanged, whose
//                          message says so plainly and names the new key's fingerprint.
// Then authentication: public keys first (ssh-agent, then the keys in sshFolder), then
// Site.password when there is one; nothing accepted raises EAuthenticationFailed.
//
// Downloads keep many read requests in flight (kReadsInFlight of kReadChunk bytes), so round
// trips do not bound them; uploads send one large write at a time (see kWriteChunk). Rename replaces an existing target (the server's posix-rename
// where it offers it, an atomic replacement). Stat reports the mode bits, SetPermissions sets
// them (setstat). All libssh calls run on the session's one helper thread (SshWorker.h);
// the session itself belongs to the thread that created it.
//
// A broken connection logs the session out; the next operation logs in again and returns to
// the folder it had reached.
//
// A log-in (Connect's, or an operation's on a logged-out session) turns the event loop in both
// wait modes, so that Cancel() from a handler inside it (a progress box) ends it at once with
// ERemoteCancelled: the name look-up is left behind (HostLookUp.h), a TCP connect or a blocked
// libssh call is ended by shutting the socket down, the host-key question's answer is ignored.
// The session is then logged out with nothing left open. All steps together wait at most
// remote::kConnectTimeout (less when the silence timeout is shorter; the user's time at the
// host-key question does not count); the error then says which step the server did not answer.
#include "remote/RemoteFiles.h"
#include "sftp/HostLookUp.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace sftp {

class EHostKeyRejected : public remote::ERemoteError {
public:
    using ERemoteError::ERemoteError;
};
class EHostKeyChanged : public remote::ERemoteError {
public:
    using ERemoteError::ERemoteError;
};

class SshWorker;
struct SshHandles;

class SftpSession : public remote::RemoteFiles {
public:
    static constexpr std::uint32_t kReadChunk = 64 * 1024;
    static constexpr int kReadsInFlight = 64;
    // libssh 0.10 waits for each write's answer before the next; large writes make up for it,
    // just below OpenSSH's limit of 256 kB per message.
    static constexpr std::size_t kWriteChunk = 248 * 1024;
    // A listing with more entries is refused: a server that never ends one is cut off.
    static constexpr std::size_t kMaxListingEntries = 1000000;

    SftpSession();
    ~SftpSession() override;

    // Where known_hosts and the user's keys are; default $HOME/.ssh.
    QString sshFolder;
    // (host as "name" or "[name]:port", fingerprint "SHA256:...") -> store the key and go on?
    // Asked on the caller's thread, before any credential is sent.
    std::function<bool(const std::string& host, const std::string& fingerprint)> OnHostKeyQuestion;

    void Connect() override;
    // Inside a running operation's wait: cancels it and cuts the connection; the operation then
    // fails and the session is logged out.
    void Disconnect() override;
    remote::ConnectionState State() const override;

    std::vector<remote::RemoteEntry> List(const std::string& folder) override;
    void Retrieve(const std::string& name, base::Stream& target) override;
    void Store(base::Stream& source, const std::string& name) override;
    void Delete(const std::string& name) override;
    void RemoveFolder(const std::string& name) override;
    void Rename(const std::string& oldName, const std::string& newName) override;
    void MakeFolder(const std::string& name) override;
    void ChangeFolder(const std::string& path) override;
    std::string CurrentFolder() const override { return folder_; }
    remote::RemoteEntry Stat(const std::string& name) override;
    bool SetPermissions(const std::string& name, int mode) override;
    // Ends a log-in at once; a transfer at its next request (the session stays logged in).
    void Cancel() override;

private:
    // Runs job on the helper thread under the operation rules (busy, log-in first, cancel).
    void operation(const std::function<void()>& job);
    void onWorker(const std::function<void()>& job);
    // Where a log-in has got to, for the message when the server stops answering.
    enum class LogInStep : std::uint8_t { Open, Handshake, Authenticate };

    void logIn();
    std::uint32_t lookUpHost();
    void connectTransport(std::uint32_t address);
    // The message for a log-in that waited too long at step_.
    std::string logInTimedOut() const;
    void cutConnection();
    void checkHostKey();
    void authenticate();
    void startSftp();
    void closeHandles();
    // Raises ERemoteError for the last SFTP failure (what, and the server's or libssh's word);
    // notes a connection that has gone, for operation() to log out once the job has ended.
    [[noreturn]] void fail(const std::string& what);
    bool connectionGone() const;
    void checkCancel();
    // An absolute path as it is, anything else below the current folder (name is not empty).
    std::string path(const std::string& name) const;
    void retrieveFile(const std::string& remotePath, base::Stream& target);
    void storeFile(base::Stream& source, const std::string& remotePath);

    std::unique_ptr<SshWorker> worker_;
    std::unique_ptr<SshHandles> ssh_;
    std::mutex socketMutex_;           // guards socket_ between the worker and the watchdog
    int socket_ = -1;                  // libssh's socket while connected
    std::string folder_;               // absolute, as the server canonicalised it
    std::string hostKeyFingerprint_;
    int hostKeyState_ = 0;
    bool busy_ = false;
    bool connectionLost_ = false;      // set by a job (fail), read after it has ended
    bool disconnectAsked_ = false;     // Disconnect() inside the running operation's wait
    std::atomic<bool> cancel_{false};
    // Log-in state, on the caller's thread (step_ also by the job while the caller waits).
    bool loggingIn_ = false;
    std::atomic<bool> dropped_{false}; // the watchdog cut the connection
    LogInStep step_ = LogInStep::Open;
    std::chrono::milliseconds logInLimit_{0};
    std::chrono::steady_clock::time_point logInDeadline_;
    HostLookUp lookUp_;
    remote::ConnectionState state_ = remote::ConnectionState::LoggedOut;
};

} // namespace sftp
