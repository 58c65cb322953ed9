#pragma once
// RemoteFiles: what Quellin's window does with the files of a server, whatever the protocol.
// One implementation per protocol; the window holds a RemoteFiles& and never the session type.
//
// Operations:
//   Connect / Disconnect   log in and out. Any operation on a logged-out session logs in first
//                          and returns to the folder it had reached.
//   List(folder)           the entries of a folder ("" or "." the current one), without "."
//                          and ".."; entries whose names could not be used safely are left out
//                          and traced (RemoteNames.h).
//   Retrieve(name, target) the file's bytes written to target from its current position.
//   Store(source, name)    source from its current position to its end, replacing the file.
//   Delete, RemoveFolder, Rename (replaces an existing target), MakeFolder, ChangeFolder,
//   CurrentFolder, Stat (size, modification time and permissions, for a conflict check before
//   a write-back), SetPermissions (where the server lets us: keeps a file's mode across a
//   whole-file store, WholeFileStore.h).
// Names are entries of the current folder (no "/"); folders for List/ChangeFolder are paths.
// Every name is checked before anything is sent (ERemoteNameRefused).
//
// Waits: with Async set, an operation waits by turning the event loop (window commands, timers
// and input run inside, as with FTP's asynchronous transfers); without it the call sleeps and
// the event loop does not turn, except in a log-in that can be cancelled: Connect turns the
// event loop in both modes (FTP's and SFTP's), and so does SFTP's log-in before an operation on
// a logged-out session; the caller limits input meanwhile (Connect: a progress box whose Cancel
// ends it, told by OnLoggingIn when the log-in proper begins). Every wait is bounded by the
// silence timeout: an operation fails with ERemoteError when nothing has moved for that long.
//
// Only one operation runs at a time: another one started from inside the event loop raises
// ERemoteBusy. Cancel() (from a handler or a command inside the wait) ends the running
// operation with ERemoteCancelled; the session stays usable.
//
// Failures raise ERemoteError or a class derived from it; the message says what happened.
#include "base/Event.h"
#include "base/Exception.h"
#include "base/Streams.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace remote {

class ERemoteError : public base::Exception {
public:
    using Exception::Exception;
};
// A name or path that may not go to the server (control characters, "/", too long, ...).
class ERemoteNameRefused : public ERemoteError {
public:
    using ERemoteError::ERemoteError;
};
// The server answered the request with a refusal (an FTP reply of 400 to 599 other than 421,
// an SFTP status); the connection stands.
class ERemoteRefused : public ERemoteError {
public:
    using ERemoteError::ERemoteError;
};
class ERemoteBusy : public ERemoteError {
public:
    ERemoteBusy() : ERemoteError("Protocol busy") {}
};
class ERemoteCancelled : public ERemoteError {
public:
    ERemoteCancelled() : ERemoteError("Cancelled") {}
};
// The server refused the user name and every credential we had.
class EAuthenticationFailed : public ERemoteError {
public:
    using ERemoteError::ERemoteError;
};

enum class EntryKind : std::uint8_t { File, Folder, Link, Other };

constexpr int kUnknownPermissions = -1;

struct RemoteEntry {
    std::string name;             // the server's bytes
    std::int64_t size = 0;        // bytes; 0 when a listing does not give it, -1 when Stat could not learn it
    EntryKind kind = EntryKind::File;
    std::int64_t modified = 0;    // seconds since 1970-01-01 UTC; 0 when not given
    int permissions = kUnknownPermissions; // Unix mode bits (07777) where the server reports them
    bool operator==(const RemoteEntry&) const = default;
};

struct RemoteSite {
    std::string host;
    std::uint16_t port = 0;       // 0: the protocol's own port
    std::string user;
    std::string password;         // may be empty: public keys or a prompt
};

enum class ConnectionState : std::uint8_t { LoggedOut, Idle, Busy };

enum class TraceLevel : std::uint8_t { Command, Reply, Connection };

// (bytes so far, total bytes or -1 when unknown)
using ProgressEvent = base::Event<std::int64_t, std::int64_t>;
using TraceEvent = base::Event<const std::string&, TraceLevel>;

class RemoteFiles {
public:
    virtual ~RemoteFiles() = default;

    RemoteSite Site;
    bool Async = false;
    TraceEvent OnTrace;
    // Raised on the caller's thread while a transfer runs, and once at its end.
    ProgressEvent OnProgress;
    // Raised on the caller's thread during a log-in once the connection to the server stands
    // and the log-in proper (credentials) begins: a progress display's second step.
    base::Event<> OnLoggingIn;

    virtual void Connect() = 0;
    // Always ends logged out; never raises.
    virtual void Disconnect() = 0;
    virtual ConnectionState State() const = 0;

    virtual std::vector<RemoteEntry> List(const std::string& folder) = 0;
    // target belongs to the transfer until the call returns.
    virtual void Retrieve(const std::string& name, base::Stream& target) = 0;
    virtual void Store(base::Stream& source, const std::string& name) = 0;
    virtual void Delete(const std::string& name) = 0;
    virtual void RemoveFolder(const std::string& name) = 0;
    virtual void Rename(const std::string& oldName, const std::string& newName) = 0;
    virtual void MakeFolder(const std::string& name) = 0;
    virtual void ChangeFolder(const std::string& path) = 0;
    virtual std::string CurrentFolder() const = 0;
    // Size, time and permissions as far as the server reports them (see RemoteEntry); a
    // missing file or a reply that is no answer raises.
    virtual RemoteEntry Stat(const std::string& name) = 0;
    // The modification time alone (0 when not reported), for the stamp of a file the caller has
    // just written and knows the size of: a protocol that asks for it apart saves exchanges.
    virtual std::int64_t ModifiedTime(const std::string& name) { return Stat(name).modified; }
    // Sets the Unix mode bits of a file. False when the server offers no way to do it; a server
    // that refuses it for this file raises.
    virtual bool SetPermissions(const std::string& name, int mode) = 0;
    virtual void Cancel() = 0;

    std::chrono::milliseconds silenceTimeout() const { return silenceTimeout_; }
    void setSilenceTimeout(std::chrono::milliseconds timeout) { silenceTimeout_ = timeout; }

protected:
    RemoteFiles() = default;
    RemoteFiles(const RemoteFiles&) = delete;
    RemoteFiles& operator=(const RemoteFiles&) = delete;
    void trace(const std::string& text, TraceLevel level) const { base::raise(OnTrace, text, level); }

private:
    std::chrono::milliseconds silenceTimeout_{60000};
};

} // namespace remote
