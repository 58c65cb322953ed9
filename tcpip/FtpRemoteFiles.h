#pragma once
// FtpRemoteFiles: remote files over plain FTP (RemoteFiles.h), a thin adapter that owns one
// T_FTP and keeps the session's own design: its log-in, its data connections, its waits
// (Async is handed to the session before every operation) and its log-in-again-and-return.
//
// Mapping: List -> LIST and the session's listing parse; Retrieve -> SIZE, RETR; Store -> STOR;
// Delete -> DELE; RemoveFolder -> RMD; MakeFolder -> MKD; Rename -> RNFR, RNTO (the server
// replaces an existing target); ChangeFolder -> CWD, then PWD; Stat -> MLST where FEAT offers
// it (with OPTS MLST to select UNIX.mode when offered but not selected), else MDTM, STAT name
// for the permissions and the size, and SIZE only when STAT listed no size (MDTM or SIZE
// answered 500/502/504 is unknown, not a failure); ModifiedTime -> MLST or MDTM alone;
// SetPermissions -> SITE CHMOD (500/502/504 or 202: the server has no way).
// FEAT is asked once per log-in (the automatic ones after a hang-up included), by the first Stat; a refused FEAT, OPTS or STAT only means
// that less is known.
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
// while an operation of this adapter runs; replyLines_ holds every line of the reply to the
// last command sent (collected from the session's trace, which therefore belongs to the
// adapter); features_ counts only while featuresLogIn_ is the session's current log-in, so FEAT
// (and OPTS MLST) are asked once per log-in, automatic ones included.
#include "remote/RemoteFiles.h"
#include "tcpip/Ftp.h"
#include "tcpip/FtpFacts.h"

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

    // FTP over TLS (AUTH TLS, then PBSZ 0 and PROT P); never falls back to plain text.
    bool ExplicitTls = false;
    // An extra CA file trusted beside the system store ("" for none).
    std::string CaFile;

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
    std::int64_t ModifiedTime(const std::string& name) override;
    bool SetPermissions(const std::string& name, int mode) override;
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
    const FtpFeatures& features();
    // The command's reply text; empty when the server does not know the command (500, 502,
    // 504). Other refusals raise.
    std::optional<std::string> askIfKnown(const std::string& command);
    // Whether the server answered the command with success; a refusal is no failure.
    bool askOptionally(const std::string& command);
    void statByFacts(remote::RemoteEntry& entry);
    // MLST's facts where offered; else MDTM alone (timeAlone) or the whole stat.
    remote::RemoteEntry statEntry(const std::string& name, bool timeAlone);
    void statBySizeAndTime(remote::RemoteEntry& entry);
    // MDTM's time of name; 0 when the server does not know the command.
    std::int64_t modifiedTime(const std::string& name);

    T_FTP ftp_;
    std::string folder_;
    std::vector<std::string> replyLines_;
    std::optional<FtpFeatures> features_;
    unsigned featuresLogIn_ = 0; // the session's log-in that features_ was asked in
    bool busy_ = false;
    bool cancel_ = false;
};

} // namespace tcpip
