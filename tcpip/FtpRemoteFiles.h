#pragma once
// FtpRemoteFiles: remote files over plain FTP (RemoteFiles.h), a thin adapter that owns one
// T_FTP and keeps the session's own design: its log-in, its data connections, its waits
// (Async is handed to the session before every operation) and its log-in-again-and-return.
//
// Mapping: List -> LIST and the session's listing parse; Retrieve -> SIZE, RETR; Store -> STOR;
// Delete -> DELE; RemoveFolder -> RMD; MakeFolder -> MKD; Rename -> RNFR, RNTO (the server
// replaces an existing target); ChangeFolder -> CWD, then PWD; Stat -> SIZE and MDTM.
//
// Every name and path is checked with RemoteNames before anything is sent. The session's
// failures come out as ERemoteError (a refused log-in as EAuthenticationFailed, a busy session
// as ERemoteBusy). Cancel() ends a running download at its next block of data, and Connect at
// once (its waits turn the event loop in both modes, see T_TcpIp::ConnectCancellably: the
// caller shows a modal box); a store or a command that is not a transfer runs to its end (the
// session has no way to stop them).
//
// Invariants: folder_ is the server's absolute current folder as PWD last named it ("" before
// the first log-in, and again once Connect or Disconnect starts afresh); busy_ is set exactly
// while an operation of this adapter runs.
#include "remote/RemoteFiles.h"
#include "tcpip/Ftp.h"

#include <optional>
#include <string_view>

namespace tcpip {

// "YYYYMMDDHHMMSS" with an optional ".fraction" (an MDTM answer, UTC) -> seconds since 1970;
// empty for any other text or an impossible date.
std::optional<std::int64_t> ParseFtpTimestamp(std::string_view text);

class FtpRemoteFiles : public remote::RemoteFiles {
public:
    FtpRemoteFiles();
    ~FtpRemoteFiles() override;

    void Connect() override;
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
    void Cancel() override
    {
        cancel_ = true;
        ftp_.Cancel();
    }

    // The session underneath, for what only FTP has (a raw command and its reply).
    T_FTP& session() { return ftp_; }

private:
    // Runs job under the operation rules (busy, settings handed on, failures translated).
    template <typename Job>
    void operation(Job&& job);
    // Inside a catch: raises the current failure as an ERemoteError.
    [[noreturn]] void translateFailure();
    void applySite();
    // A transfer whose final reply failed leaves the session busy: ABOR ends it, or a log-out
    // when the server will not, so the session stays usable.
    void settleFailedTransfer();
    // PWD into folder_.
    void notePwd();

    T_FTP ftp_;
    std::string folder_;
    bool busy_ = false;
    bool cancel_ = false;
};

} // namespace tcpip
