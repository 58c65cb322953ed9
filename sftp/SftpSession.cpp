#include "sftp/SftpSession.h"

#include "remote/ConnectLimit.h"
#include "remote/RemoteNames.h"
#include "sftp/SshWorker.h"

#include <QDir>

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <vector>

namespace sftp {

using remote::ERemoteError;

struct SshHandles {
    ssh_session session = nullptr;
    sftp_session sftp = nullptr;
};

namespace {

std::uint16_t portOf(const remote::RemoteSite& site)
{
    return site.port == 0 ? 22 : site.port;
}

std::string hostLabel(const remote::RemoteSite& site)
{
    const auto port = portOf(site);
    return port == 22 ? site.host : "[" + site.host + "]:" + std::to_string(port);
}

const char* sftpErrorText(int code)
{
    switch (code) {
    case SSH_FX_EOF: return "End of file";
    case SSH_FX_NO_SUCH_FILE: return "No such file or folder";
    case SSH_FX_PERMISSION_DENIED: return "Permission denied";
    case SSH_FX_FAILURE: return "The server refused it";
    case SSH_FX_BAD_MESSAGE: return "The server did not understand the request";
    case SSH_FX_NO_CONNECTION:
    case SSH_FX_CONNECTION_LOST: return "The connection has gone";
    case SSH_FX_OP_UNSUPPORTED: return "The server does not support it";
    case SSH_FX_FILE_ALREADY_EXISTS: return "It exists already";
    default: return nullptr;
    }
}

remote::EntryKind kindOf(std::uint8_t type)
{
    switch (type) {
    case SSH_FILEXFER_TYPE_REGULAR: return remote::EntryKind::File;
    case SSH_FILEXFER_TYPE_DIRECTORY: return remote::EntryKind::Folder;
    case SSH_FILEXFER_TYPE_SYMLINK: return remote::EntryKind::Link;
    default: return remote::EntryKind::Other;
    }
}

remote::RemoteEntry entryOf(sftp_attributes attributes, std::string name)
{
    remote::RemoteEntry entry;
    entry.name = std::move(name);
    if (attributes->flags & SSH_FILEXFER_ATTR_SIZE)
        entry.size = static_cast<std::int64_t>(std::min<std::uint64_t>(attributes->size, INT64_MAX));
    entry.kind = kindOf(attributes->type);
    if (attributes->flags & SSH_FILEXFER_ATTR_ACMODTIME)
        entry.modified = attributes->mtime;
    return entry;
}

struct AttributesFree {
    void operator()(sftp_attributes attributes) const { sftp_attributes_free(attributes); }
};
using Attributes = std::unique_ptr<sftp_attributes_struct, AttributesFree>;

// Connects fd (non-blocking) to address:port, waiting until deadline at most; 0 or the errno.
// A shutdown of fd from another thread ends the wait at once.
int connectTcp(int fd, std::uint32_t address, std::uint16_t port, std::chrono::steady_clock::time_point deadline)
{
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = address;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    pollfd wait{ fd, POLLOUT, 0 };
    int ready = 0;
    do {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        ready = ::poll(&wait, 1, static_cast<int>(std::max<std::int64_t>(0, left.count())));
    } while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return errno;
    if (ready == 0)
        return ETIMEDOUT;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    return error;
}

} // namespace

SftpSession::SftpSession()
    : sshFolder(QDir::homePath() + "/.ssh")
    , worker_(std::make_unique<SshWorker>())
    , ssh_(std::make_unique<SshHandles>())
{
}

SftpSession::~SftpSession()
{
    OnTrace = nullptr;
    OnProgress = nullptr;
    Disconnect();
}

remote::ConnectionState SftpSession::State() const
{
    if (busy_)
        return remote::ConnectionState::Busy;
    return state_;
}

void SftpSession::onWorker(const std::function<void()>& job)
{
    SshWorker::Wait wait;
    // A log-in's waits turn the event loop in both modes: its progress box must take a cancel.
    wait.turnEventLoop = Async || loggingIn_;
    wait.silence = silenceTimeout();
    if (loggingIn_)
        wait.deadline = logInDeadline_;
    wait.drop = [this] {
        dropped_ = true;
        cutConnection();
    };
    wait.progress = [this](std::int64_t done, std::int64_t total) { base::raise(OnProgress, done, total); };
    wait.cancel = [this] { cancel_ = true; };
    worker_->run(job, wait);
}

void SftpSession::operation(const std::function<void()>& job)
{
    if (busy_)
        throw remote::ERemoteBusy();
    busy_ = true;
    cancel_ = false;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{ busy_ };
    if (state_ == remote::ConnectionState::LoggedOut)
        logIn();
    connectionLost_ = false;
    disconnectAsked_ = false;
    const auto logOut = [this](const char* why) {
        onWorker([this] { closeHandles(); });
        state_ = remote::ConnectionState::LoggedOut;
        trace(why, remote::TraceLevel::Connection);
    };
    try {
        onWorker(job);
    } catch (...) {
        // A Disconnect inside the wait logs out even when the job saw its cancel before the cut.
        if (connectionLost_ || disconnectAsked_)
            logOut(disconnectAsked_ ? "Logged out" : "Logged out: the connection has gone");
        throw;
    }
    if (disconnectAsked_)
        logOut("Logged out");
}

void SftpSession::Connect()
{
    if (busy_)
        throw remote::ERemoteBusy();
    busy_ = true;
    cancel_ = false;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{ busy_ };
    if (state_ != remote::ConnectionState::LoggedOut)
        return;
    folder_.clear();
    logIn();
}

void SftpSession::Cancel()
{
    cancel_ = true;
    if (loggingIn_) {
        cutConnection();
        lookUp_.cancel();
    }
}

void SftpSession::cutConnection()
{
    std::lock_guard lock(socketMutex_);
    if (socket_ >= 0)
        ::shutdown(socket_, SHUT_RDWR);
}

void SftpSession::logIn()
{
    remote::RequirePath(Site.host);
    if (!Site.user.empty())
        remote::RequireEntryName(Site.user);
    const std::string target = hostLabel(Site);
    trace("Connecting to " + remote::Printable(target), remote::TraceLevel::Connection);
    logInLimit_ = std::min(remote::kConnectTimeout, silenceTimeout());
    logInDeadline_ = std::chrono::steady_clock::now() + logInLimit_;
    dropped_ = false;
    step_ = LogInStep::Open;
    loggingIn_ = true;
    try {
        const std::uint32_t address = lookUpHost();
        onWorker([this, address] { connectTransport(address); });
        checkHostKey();
        base::raise(OnLoggingIn);
        step_ = LogInStep::Authenticate;
        onWorker([this] {
            authenticate();
            startSftp();
        });
        // A cancel that came with the last answer still wins: the user asked not to be connected.
        checkCancel();
    } catch (...) {
        loggingIn_ = false;
        const bool cancelled = cancel_;
        const bool timedOut = dropped_;
        onWorker([this] { closeHandles(); });
        if (cancelled) {
            trace("Connect cancelled", remote::TraceLevel::Connection);
            throw remote::ERemoteCancelled();
        }
        if (timedOut)
            throw ERemoteError(logInTimedOut());
        throw;
    }
    loggingIn_ = false;
    state_ = remote::ConnectionState::Idle;
    trace("Logged in to " + remote::Printable(target) + " as " + remote::Printable(Site.user) + ", folder " +
              remote::Printable(folder_),
          remote::TraceLevel::Reply);
}

std::uint32_t SftpSession::lookUpHost()
{
    std::uint32_t address = 0;
    switch (lookUp_.run(Site.host, logInDeadline_, address)) {
    case HostLookUp::Outcome::Found:
        return address;
    case HostLookUp::Outcome::Cancelled:
        throw remote::ERemoteCancelled();
    case HostLookUp::Outcome::TimedOut:
        throw ERemoteError("Name look-up timed out: " + remote::Printable(Site.host) + " was not found within " +
                           remote::DurationText(logInLimit_));
    case HostLookUp::Outcome::NotFound:
        break;
    }
    throw ERemoteError("Couldn't resolve hostname " + remote::Printable(Site.host));
}

std::string SftpSession::logInTimedOut() const
{
    const std::string host = remote::Printable(Site.host);
    const std::string within = " within " + remote::DurationText(logInLimit_);
    switch (step_) {
    case LogInStep::Open:
        return "Connection timed out: " + host + " port " + std::to_string(portOf(Site)) + " did not answer" + within;
    case LogInStep::Handshake:
        return "SSH connection to " + host + " failed: the server did not complete the SSH handshake" + within;
    case LogInStep::Authenticate:
        break;
    }
    return "Log-in timed out: " + host + " did not accept or refuse the log-in" + within;
}

void SftpSession::connectTransport(std::uint32_t address)
{
    const std::uint16_t port = portOf(Site);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        throw ERemoteError(std::string("Cannot open a socket: ") + std::strerror(errno));
    {
        std::lock_guard lock(socketMutex_);
        socket_ = fd;
    }
    // From here a cancel shuts the socket down, which also ends the TCP connect's wait; one that
    // came before is seen here.
    checkCancel();
    const int error = connectTcp(fd, address, port, logInDeadline_);
    checkCancel();
    if (error != 0) {
        const std::string host = remote::Printable(Site.host);
        switch (error) {
        case ECONNREFUSED:
            throw ERemoteError("Connection refused: nothing answers at " + host + " port " + std::to_string(port));
        case ETIMEDOUT:
            throw ERemoteError(logInTimedOut());
        case ENETUNREACH:
        case EHOSTUNREACH:
            throw ERemoteError("No route to " + host + ": the host cannot be reached");
        default:
            throw ERemoteError("Cannot connect to " + host + " port " + std::to_string(port) + ": " +
                               std::strerror(error));
        }
    }
    // libssh waits in poll() on its own: a blocking socket is what it expects.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Read requests and window adjustments are small packets sent while data is unacknowledged:
    // Nagle's algorithm would hold each of them back for an acknowledgement.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    step_ = LogInStep::Handshake;
    worker_->noteActivity();
    ssh_->session = ssh_new();
    if (ssh_->session == nullptr)
        throw ERemoteError("Out of memory");
    const std::string folder = sshFolder.toStdString();
    const std::string knownHosts = folder + "/known_hosts";
    // libssh's own limit is only a backstop, a second past the watchdog's, which cuts first and
    // so names the true reason.
    long seconds = static_cast<long>(std::chrono::ceil<std::chrono::seconds>(silenceTimeout()).count()) + 1;
    int verbosity = SSH_LOG_NOLOG;
    unsigned int portOption = port;
    ssh_options_set(ssh_->session, SSH_OPTIONS_HOST, Site.host.c_str());
    ssh_options_set(ssh_->session, SSH_OPTIONS_PORT, &portOption);
    if (!Site.user.empty())
        ssh_options_set(ssh_->session, SSH_OPTIONS_USER, Site.user.c_str());
    ssh_options_set(ssh_->session, SSH_OPTIONS_SSH_DIR, folder.c_str());
    ssh_options_set(ssh_->session, SSH_OPTIONS_KNOWNHOSTS, knownHosts.c_str());
    ssh_options_set(ssh_->session, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, "/etc/ssh/ssh_known_hosts");
    ssh_options_set(ssh_->session, SSH_OPTIONS_TIMEOUT, &seconds);
    ssh_options_set(ssh_->session, SSH_OPTIONS_LOG_VERBOSITY, &verbosity);
    // AES-GCM first: OpenSSL runs it on the processor's AES instructions, several times faster
    // than libssh's own ChaCha20; every cipher here is one OpenSSH offers by default.
    static constexpr const char* kCiphers =
        "aes128-gcm@openssh.com,aes256-gcm@openssh.com,chacha20-poly1305@openssh.com,aes128-ctr,aes256-ctr";
    ssh_options_set(ssh_->session, SSH_OPTIONS_CIPHERS_C_S, kCiphers);
    ssh_options_set(ssh_->session, SSH_OPTIONS_CIPHERS_S_C, kCiphers);
    // Never read ~/.ssh/config behind the program's back: the site says where to go.
    bool no = false;
    ssh_options_set(ssh_->session, SSH_OPTIONS_PROCESS_CONFIG, &no);
    socket_t socketOption = fd;
    ssh_options_set(ssh_->session, SSH_OPTIONS_FD, &socketOption);
    if (ssh_connect(ssh_->session) != SSH_OK)
        throw ERemoteError("SSH connection to " + remote::Printable(Site.host) + " failed: " +
                           ssh_get_error(ssh_->session));
    worker_->noteActivity();
    hostKeyState_ = ssh_session_is_known_server(ssh_->session);
    hostKeyFingerprint_.clear();
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(ssh_->session, &key) != SSH_OK)
        throw ERemoteError("The server sent no host key");
    unsigned char* hash = nullptr;
    size_t length = 0;
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) == SSH_OK) {
        char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length);
        if (text != nullptr)
            hostKeyFingerprint_ = text;
        ssh_string_free_char(text);
        ssh_clean_pubkey_hash(&hash);
    }
    ssh_key_free(key);
}

void SftpSession::checkHostKey()
{
    const std::string target = hostLabel(Site);
    switch (hostKeyState_) {
    case SSH_KNOWN_HOSTS_OK:
        return;
    case SSH_KNOWN_HOSTS_CHANGED:
    case SSH_KNOWN_HOSTS_OTHER:
        throw EHostKeyChanged("WARNING: the host key of " + remote::Printable(target) +
                              " has changed since it was stored in known_hosts. Someone may be "
                              "listening in, or the server was reinstalled. Nothing was sent. The "
                              "new key is " + hostKeyFingerprint_ +
                              "; if the change is expected, remove the old key from " +
                              sshFolder.toStdString() + "/known_hosts.");
    case SSH_KNOWN_HOSTS_UNKNOWN:
    case SSH_KNOWN_HOSTS_NOT_FOUND:
        break;
    default:
        throw ERemoteError("Cannot check the host key of " + remote::Printable(target) + " against " +
                           sshFolder.toStdString() + "/known_hosts");
    }
    trace("Unknown host key " + hostKeyFingerprint_, remote::TraceLevel::Connection);
    // The user's time at the question is not the server's: the log-in's time limit waits.
    const auto asked = std::chrono::steady_clock::now();
    const bool accepted = OnHostKeyQuestion && OnHostKeyQuestion(target, hostKeyFingerprint_);
    logInDeadline_ += std::chrono::steady_clock::now() - asked;
    // A cancel while the question was open outweighs its answer: nothing is stored.
    checkCancel();
    if (!accepted)
        throw EHostKeyRejected("The host key of " + remote::Printable(target) + " (" + hostKeyFingerprint_ +
                               ") was not accepted. Nothing was sent.");
    onWorker([this] {
        QDir().mkpath(sshFolder);
        QFile::setPermissions(sshFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (ssh_session_update_known_hosts(ssh_->session) != SSH_OK)
            throw ERemoteError("Cannot store the host key in " + sshFolder.toStdString() +
                               "/known_hosts: " + ssh_get_error(ssh_->session));
    });
    trace("Stored the host key in known_hosts", remote::TraceLevel::Connection);
}

void SftpSession::authenticate()
{
    ssh_session session = ssh_->session;
    int result = ssh_userauth_none(session, nullptr);
    worker_->noteActivity();
    if (result == SSH_AUTH_SUCCESS)
        return;
    const int methods = ssh_userauth_list(session, nullptr);
    if (methods & SSH_AUTH_METHOD_PUBLICKEY) {
        result = ssh_userauth_publickey_auto(session, nullptr, nullptr);
        worker_->noteActivity();
        if (result == SSH_AUTH_SUCCESS)
            return;
    }
    if ((methods & SSH_AUTH_METHOD_PASSWORD) && !Site.password.empty()) {
        result = ssh_userauth_password(session, nullptr, Site.password.c_str());
        worker_->noteActivity();
        if (result == SSH_AUTH_SUCCESS)
            return;
    }
    if (result == SSH_AUTH_ERROR)
        throw ERemoteError(std::string("Authentication failed: ") + ssh_get_error(session));
    throw remote::EAuthenticationFailed("Access denied for " + remote::Printable(Site.user) + " on " +
                                        remote::Printable(hostLabel(Site)) +
                                        (Site.password.empty() ? ": no key was accepted and no password was given"
                                                               : ": wrong password or no accepted key"));
}

void SftpSession::startSftp()
{
    ssh_->sftp = sftp_new(ssh_->session);
    if (ssh_->sftp == nullptr)
        throw ERemoteError(std::string("Cannot open the SFTP channel: ") + ssh_get_error(ssh_->session));
    if (sftp_init(ssh_->sftp) != SSH_OK)
        throw ERemoteError(std::string("The server refused SFTP: ") + ssh_get_error(ssh_->session));
    worker_->noteActivity();
    // Back to the folder an earlier log-in had reached, else the server's starting folder.
    const std::string start = folder_.empty() ? "." : folder_;
    char* canonical = sftp_canonicalize_path(ssh_->sftp, start.c_str());
    if (canonical == nullptr)
        fail("Cannot find the folder " + remote::Printable(start));
    folder_ = canonical;
    ssh_string_free_char(canonical);
}

void SftpSession::closeHandles()
{
    if (ssh_->sftp != nullptr)
        sftp_free(ssh_->sftp);
    ssh_->sftp = nullptr;
    if (ssh_->session != nullptr) {
        {
            std::lock_guard lock(socketMutex_);
            socket_ = -1;
        }
        // libssh owns the socket from ssh_connect on and closes it here.
        ssh_disconnect(ssh_->session);
        ssh_free(ssh_->session);
    } else {
        std::lock_guard lock(socketMutex_);
        if (socket_ >= 0)
            ::close(socket_);
        socket_ = -1;
    }
    ssh_->session = nullptr;
}

void SftpSession::Disconnect()
{
    if (busy_) {
        // Called from inside a wait: the running operation ends at once and logs out.
        cancel_ = true;
        disconnectAsked_ = true;
        cutConnection();
        lookUp_.cancel();
        return;
    }
    if (state_ == remote::ConnectionState::LoggedOut && ssh_->session == nullptr)
        return;
    try {
        onWorker([this] { closeHandles(); });
    } catch (...) {
        // Logging out never fails: the handles are gone whatever the server said.
    }
    state_ = remote::ConnectionState::LoggedOut;
    trace("Logged out", remote::TraceLevel::Connection);
}

bool SftpSession::connectionGone() const
{
    if (ssh_->session == nullptr || !ssh_is_connected(ssh_->session) ||
        (ssh_get_status(ssh_->session) & (SSH_CLOSED | SSH_CLOSED_ERROR)) != 0 ||
        ssh_get_error_code(ssh_->session) == SSH_FATAL)
        return true;
    const int code = ssh_->sftp != nullptr ? sftp_get_error(ssh_->sftp) : SSH_FX_NO_CONNECTION;
    return code == SSH_FX_NO_CONNECTION || code == SSH_FX_CONNECTION_LOST;
}

void SftpSession::fail(const std::string& what)
{
    std::string reason;
    bool status = false; // the server answered with a status of its own
    if (ssh_->sftp != nullptr) {
        const int code = sftp_get_error(ssh_->sftp);
        if (const char* text = sftpErrorText(code)) {
            reason = text;
            status = code != SSH_FX_NO_CONNECTION && code != SSH_FX_CONNECTION_LOST;
        }
    }
    if (ssh_->session != nullptr && (reason.empty() || !ssh_is_connected(ssh_->session))) {
        const char* text = ssh_get_error(ssh_->session);
        if (text != nullptr && *text != '\0')
            reason = text;
    }
    if (reason.empty())
        reason = "The connection has gone";
    // The handles go only when the job has ended: its open files and folders still use them.
    if (connectionGone()) {
        connectionLost_ = true;
        status = false;
    }
    if (status)
        throw remote::ERemoteRefused(what + ": " + reason);
    throw ERemoteError(what + ": " + reason);
}

void SftpSession::checkCancel()
{
    if (cancel_)
        throw remote::ERemoteCancelled();
}

std::string SftpSession::path(const std::string& name) const
{
    return name.front() == '/' ? name : remote::JoinPath(folder_, name);
}

std::vector<remote::RemoteEntry> SftpSession::List(const std::string& folder)
{
    const bool current = folder.empty() || folder == ".";
    if (!current)
        remote::RequirePath(folder);
    trace("List " + remote::Printable(current ? "." : folder), remote::TraceLevel::Command);
    std::vector<remote::RemoteEntry> entries;
    std::vector<std::string> refused;
    operation([&] {
        // Resolved on the helper thread, after a log-in has set the current folder.
        const std::string where = current ? folder_ : path(folder);
        sftp_dir dir = sftp_opendir(ssh_->sftp, where.c_str());
        if (dir == nullptr)
            fail("Cannot list " + remote::Printable(where));
        struct Close {
            sftp_dir dir;
            ~Close() { sftp_closedir(dir); }
        } close{ dir };
        std::size_t seen = 0;
        while (Attributes attributes{ sftp_readdir(ssh_->sftp, dir) }) {
            worker_->noteActivity();
            if (++seen > kMaxListingEntries)
                throw ERemoteError("The listing of " + remote::Printable(where) + " has more than " +
                                   std::to_string(kMaxListingEntries) + " entries");
            if ((seen & 1023) == 0)
                checkCancel();
            std::string name = attributes->name != nullptr ? attributes->name : "";
            if (name == "." || name == "..")
                continue;
            if (!remote::EntryNameProblem(name).empty()) {
                if (refused.size() < 100)
                    refused.push_back(std::move(name));
                continue;
            }
            entries.push_back(entryOf(attributes.get(), std::move(name)));
        }
        if (!sftp_dir_eof(dir))
            fail("The listing of " + remote::Printable(where) + " broke off");
    });
    for (const auto& name : refused)
        trace("Left out an unusable name: \"" + remote::Printable(name) + "\" " + remote::EntryNameProblem(name),
              remote::TraceLevel::Reply);
    trace(std::to_string(entries.size()) + " entries", remote::TraceLevel::Reply);
    return entries;
}

void SftpSession::Retrieve(const std::string& name, base::Stream& target)
{
    remote::RequireEntryName(name);
    trace("Retrieve " + remote::Printable(name), remote::TraceLevel::Command);
    operation([&] { retrieveFile(path(name), target); });
}

void SftpSession::retrieveFile(const std::string& remotePath, base::Stream& target)
{
    sftp_file file = sftp_open(ssh_->sftp, remotePath.c_str(), O_RDONLY, 0);
    if (file == nullptr)
        fail("Cannot open " + remote::Printable(remotePath));
    struct Close {
        sftp_file file;
        ~Close() { sftp_close(file); }
    } close{ file };
    std::int64_t total = -1;
    if (Attributes attributes{ sftp_fstat(file) }; attributes && (attributes->flags & SSH_FILEXFER_ATTR_SIZE))
        total = static_cast<std::int64_t>(attributes->size);

    // Requests in flight, oldest first: their ids and the lengths asked for.
    struct Request {
        std::uint32_t id;
        std::uint32_t length;
    };
    std::deque<Request> inFlight;
    std::vector<char> buffer(kReadChunk);
    std::int64_t done = 0;
    const auto ask = [&] {
        const int id = sftp_async_read_begin(file, kReadChunk);
        if (id < 0)
            fail("Cannot read " + remote::Printable(remotePath));
        inFlight.push_back({ static_cast<std::uint32_t>(id), kReadChunk });
    };
    // Drops what is still on its way (answers to requests past a short read or the end).
    const auto drain = [&] {
        while (!inFlight.empty()) {
            const auto request = inFlight.front();
            inFlight.pop_front();
            if (sftp_async_read(file, buffer.data(), request.length, request.id) < 0)
                fail("Cannot read " + remote::Printable(remotePath));
        }
    };
    worker_->postProgress(0, total);
    const auto readAll = [&] {
        for (;;) {
            checkCancel();
            while (static_cast<int>(inFlight.size()) < kReadsInFlight)
                ask();
            const auto request = inFlight.front();
            inFlight.pop_front();
            const int got = sftp_async_read(file, buffer.data(), request.length, request.id);
            if (got < 0)
                fail("Cannot read " + remote::Printable(remotePath));
            if (got == 0)
                return;
            target.write(buffer.data(), static_cast<std::size_t>(got));
            done += got;
            worker_->postProgress(done, total);
            if (static_cast<std::uint32_t>(got) < request.length) {
                // A short answer: the later requests asked for the wrong places. Ask again from here.
                drain();
                sftp_seek64(file, static_cast<std::uint64_t>(done));
            }
        }
    };
    try {
        readAll();
    } catch (...) {
        // Answers still on their way would wait in libssh's queue for ever: take them first.
        if (!connectionGone()) {
            try {
                drain();
            } catch (const ERemoteError&) {
                // The connection broke while draining: the first failure is the one to report.
            }
        }
        throw;
    }
    drain();
}

void SftpSession::Store(base::Stream& source, const std::string& name)
{
    remote::RequireEntryName(name);
    trace("Store " + remote::Printable(name), remote::TraceLevel::Command);
    operation([&] { storeFile(source, path(name)); });
}

void SftpSession::storeFile(base::Stream& source, const std::string& remotePath)
{
    sftp_file file = sftp_open(ssh_->sftp, remotePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file == nullptr)
        fail("Cannot create " + remote::Printable(remotePath));
    bool closed = false;
    struct Close {
        sftp_file file;
        bool& closed;
        ~Close() { if (!closed) sftp_close(file); }
    } close{ file, closed };
    const std::int64_t total = source.size() - source.position();
    std::vector<char> buffer(kWriteChunk);
    std::int64_t done = 0;
    worker_->postProgress(0, total);
    for (;;) {
        checkCancel();
        const std::size_t count = source.read(buffer.data(), buffer.size());
        if (count == 0)
            break;
        std::size_t written = 0;
        while (written < count) {
            const ssize_t result = sftp_write(file, buffer.data() + written, count - written);
            if (result <= 0)
                fail("Cannot write " + remote::Printable(remotePath));
            written += static_cast<std::size_t>(result);
        }
        done += static_cast<std::int64_t>(count);
        worker_->postProgress(done, total);
    }
    closed = true;
    if (sftp_close(file) != SSH_OK)
        fail("Cannot finish " + remote::Printable(remotePath));
}

void SftpSession::Delete(const std::string& name)
{
    remote::RequireEntryName(name);
    trace("Delete " + remote::Printable(name), remote::TraceLevel::Command);
    operation([&] {
        if (sftp_unlink(ssh_->sftp, path(name).c_str()) != SSH_OK)
            fail("Cannot delete " + remote::Printable(name));
    });
}

void SftpSession::RemoveFolder(const std::string& name)
{
    remote::RequireEntryName(name);
    trace("Remove folder " + remote::Printable(name), remote::TraceLevel::Command);
    operation([&] {
        if (sftp_rmdir(ssh_->sftp, path(name).c_str()) != SSH_OK)
            fail("Cannot remove the folder " + remote::Printable(name));
    });
}

void SftpSession::Rename(const std::string& oldName, const std::string& newName)
{
    remote::RequireEntryName(oldName);
    remote::RequireEntryName(newName);
    trace("Rename " + remote::Printable(oldName) + " to " + remote::Printable(newName), remote::TraceLevel::Command);
    operation([&] {
        const std::string from = path(oldName);
        const std::string to = path(newName);
        if (sftp_rename(ssh_->sftp, from.c_str(), to.c_str()) == SSH_OK)
            return;
        // Servers without posix-rename refuse to replace a file: make room and try once more.
        Attributes target{ sftp_lstat(ssh_->sftp, to.c_str()) };
        if (!target || target->type == SSH_FILEXFER_TYPE_DIRECTORY || sftp_unlink(ssh_->sftp, to.c_str()) != SSH_OK ||
            sftp_rename(ssh_->sftp, from.c_str(), to.c_str()) != SSH_OK)
            fail("Cannot rename " + remote::Printable(oldName) + " to " + remote::Printable(newName));
    });
}

void SftpSession::MakeFolder(const std::string& name)
{
    remote::RequireEntryName(name);
    trace("Make folder " + remote::Printable(name), remote::TraceLevel::Command);
    operation([&] {
        if (sftp_mkdir(ssh_->sftp, path(name).c_str(), 0755) != SSH_OK)
            fail("Cannot make the folder " + remote::Printable(name));
    });
}

void SftpSession::ChangeFolder(const std::string& target)
{
    remote::RequirePath(target);
    trace("Change folder " + remote::Printable(target), remote::TraceLevel::Command);
    operation([&] {
        const std::string wanted = path(target);
        char* canonical = sftp_canonicalize_path(ssh_->sftp, wanted.c_str());
        if (canonical == nullptr)
            fail("Cannot change to " + remote::Printable(target));
        std::string reached = canonical;
        ssh_string_free_char(canonical);
        Attributes attributes{ sftp_stat(ssh_->sftp, reached.c_str()) };
        if (!attributes)
            fail("Cannot change to " + remote::Printable(target));
        if (attributes->type != SSH_FILEXFER_TYPE_DIRECTORY)
            throw ERemoteError("Cannot change to " + remote::Printable(target) + ": not a folder");
        folder_ = std::move(reached);
    });
}

remote::RemoteEntry SftpSession::Stat(const std::string& name)
{
    remote::RequireEntryName(name);
    remote::RemoteEntry entry;
    operation([&] {
        Attributes attributes{ sftp_stat(ssh_->sftp, path(name).c_str()) };
        if (!attributes)
            fail("Cannot find " + remote::Printable(name));
        entry = entryOf(attributes.get(), name);
        if ((attributes->flags & SSH_FILEXFER_ATTR_SIZE) == 0)
            entry.size = -1;
        if (attributes->flags & SSH_FILEXFER_ATTR_PERMISSIONS)
            entry.permissions = static_cast<int>(attributes->permissions & 07777);
    });
    return entry;
}

bool SftpSession::SetPermissions(const std::string& name, int mode)
{
    remote::RequireEntryName(name);
    if (mode < 0 || mode > 07777)
        throw ERemoteError("No such permissions: " + std::to_string(mode));
    trace("Set permissions of " + remote::Printable(name), remote::TraceLevel::Command);
    bool supported = true;
    operation([&] {
        if (sftp_chmod(ssh_->sftp, path(name).c_str(), static_cast<mode_t>(mode)) == SSH_OK)
            return;
        if (sftp_get_error(ssh_->sftp) == SSH_FX_OP_UNSUPPORTED)
            supported = false;
        else
            fail("Cannot set the permissions of " + remote::Printable(name));
    });
    return supported;
}

} // namespace sftp
