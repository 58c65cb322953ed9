#include "tcpip/FtpRemoteFiles.h"

#include "remote/RemoteNames.h"
#include "tcpip/DateTime.h"
#include "tcpip/FtpReply.h"
#include "tcpip/TextNumber.h"

#include <cmath>
#include <cstdio>

namespace tcpip {
namespace {

using remote::ERemoteError;

// Day 0 of the listing's dates is 1899-12-30; 1970-01-01 is this many days later.
constexpr double kUnixEpochDays = 25569.0;
constexpr std::int64_t kSecondsPerDay = 86400;
// "Not logged in": the server refused the user or the password.
constexpr int kNotLoggedIn = 530;

std::int64_t unixSeconds(double days)
{
    return static_cast<std::int64_t>(std::llround((days - kUnixEpochDays) * static_cast<double>(kSecondsPerDay)));
}

remote::EntryKind kindOf(std::uint8_t type)
{
    switch (type) {
    case ft_directory: return remote::EntryKind::Folder;
    case ft_link: return remote::EntryKind::Link;
    case ft_file: return remote::EntryKind::File;
    default: return remote::EntryKind::Other;
    }
}

remote::TraceLevel traceLevel(TTraceLevel level)
{
    switch (level) {
    case tl_command: return remote::TraceLevel::Command;
    case tl_reply: return remote::TraceLevel::Reply;
    default: return remote::TraceLevel::Connection;
    }
}

void writeAll(base::Stream& target, std::string_view bytes)
{
    if (target.write(bytes.data(), bytes.size()) != bytes.size())
        throw ERemoteError("The received file could not be written completely");
}

// "Command not recognised", "not implemented", "not implemented for that parameter".
bool unknownCommand(int replyCode)
{
    return replyCode == 500 || replyCode == 502 || replyCode == 504;
}

std::optional<int> digits(std::string_view text, std::size_t from, std::size_t count)
{
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

std::optional<std::int64_t> ParseFtpTimestamp(std::string_view text)
{
    constexpr std::size_t kLength = 14;
    if (text.size() < kLength)
        return std::nullopt;
    const std::string_view fraction = text.substr(kLength);
    if (!fraction.empty()
        && (fraction.size() < 2 || fraction.size() > 10 || fraction[0] != '.'
            || !digits(fraction, 1, fraction.size() - 1)))
        return std::nullopt;
    const auto year = digits(text, 0, 4);
    const auto month = digits(text, 4, 2);
    const auto day = digits(text, 6, 2);
    const auto hour = digits(text, 8, 2);
    const auto minute = digits(text, 10, 2);
    const auto second = digits(text, 12, 2);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    try {
        return unixSeconds(DateTime::fromDateTime(*year, *month, *day, *hour, *minute, *second).days());
    } catch (const EDateError&) {
        return std::nullopt;
    }
}

FtpRemoteFiles::FtpRemoteFiles()
{
    ftp_.OnTrace = [this](const std::string& text, TTraceLevel level) {
        if (level == tl_command)
            replyLines_.clear();
        else if (level == tl_reply)
            replyLines_.push_back(text);
        trace(text, traceLevel(level));
    };
    ftp_.OnConnectStep = [this](TConnectStep step) {
        if (step == TConnectStep::LogIn)
            base::raise(OnLoggingIn);
    };
}

FtpRemoteFiles::~FtpRemoteFiles()
{
    ftp_.OnTrace = nullptr;
    ftp_.OnDataReceived = nullptr;
    ftp_.OnConnectStep = nullptr;
}

void FtpRemoteFiles::applySite()
{
    ftp_.Hostname = Site.host;
    ftp_.Port = Site.port == 0 ? 21 : Site.port;
    ftp_.Username = Site.user;
    ftp_.Password = Site.password;
    ftp_.Async = Async;
    ftp_.ExplicitTls = ExplicitTls;
    ftp_.CaFile = CaFile;
    ftp_.setSilenceTimeout(silenceTimeout());
}

template <typename Job>
void FtpRemoteFiles::operation(Job&& job)
{
    if (busy_)
        throw remote::ERemoteBusy();
    busy_ = true;
    cancel_ = false;
    const auto end = [this] {
        busy_ = false;
        ftp_.OnDataReceived = nullptr;
    };
    applySite();
    try {
        settleFailedTransfer();
        job();
        // The first log-in, whichever operation made it: where the session now stands.
        if (folder_.empty() && ftp_.ControlSocket != -1)
            notePwd();
        end();
    } catch (...) {
        end();
        translateFailure();
    }
}

void FtpRemoteFiles::translateFailure()
{
    try {
        throw;
    } catch (const ERemoteError&) {
        throw;
    } catch (const EProtocolBusy&) {
        throw remote::ERemoteBusy();
    } catch (const ECancelled&) {
        throw remote::ERemoteCancelled();
    } catch (const ECommandRefused& e) {
        throw remote::ERemoteNameRefused(e.message());
    } catch (const EProtocolError& e) {
        if (e.ReplyCode == kNotLoggedIn) {
            ftp_.Disconnect();
            throw remote::EAuthenticationFailed("Access denied for " + Site.user + " on " + Site.host + ": "
                                                + e.message());
        }
        if (e.ReplyCode >= 400 && e.ReplyCode < 600 && e.ReplyCode != 421)
            throw remote::ERemoteRefused(e.message(), e.ReplyCode);
        throw ERemoteError(e.message(), e.ReplyCode);
    } catch (const base::Exception& e) {
        throw ERemoteError(e.message(), e.code());
    }
}

void FtpRemoteFiles::settleFailedTransfer()
{
    if (!ftp_.Busy())
        return;
    try {
        ftp_.AbortTransfer();
    } catch (const ETcpIpError&) {
        // The server would not end it: a fresh log-in (by the operation itself) will.
        ftp_.Disconnect();
    }
}

void FtpRemoteFiles::notePwd()
{
    folder_ = ftp_.CurrentFolder();
}

void FtpRemoteFiles::Connect()
{
    operation([this] {
        if (ftp_.ControlSocket != -1)
            return;
        folder_.clear(); // a fresh log-in starts in the log-in folder
        features_.reset();
        try {
            ftp_.ConnectCancellably();
        } catch (...) {
            ftp_.Disconnect();
            throw;
        }
    });
}

void FtpRemoteFiles::Disconnect()
{
    cancel_ = true;
    folder_.clear();
    features_.reset();
    // The log-out's wait is bounded like every other (a window closing sets a short one).
    ftp_.setSilenceTimeout(silenceTimeout());
    try {
        ftp_.Disconnect();
    } catch (...) {
        // Always ends logged out; the session has closed its sockets whatever the server said.
    }
}

remote::ConnectionState FtpRemoteFiles::State() const
{
    if (ftp_.ControlSocket == -1)
        return remote::ConnectionState::LoggedOut;
    return busy_ || ftp_.Busy() ? remote::ConnectionState::Busy : remote::ConnectionState::Idle;
}

std::vector<remote::RemoteEntry> FtpRemoteFiles::List(const std::string& folder)
{
    const std::string target = folder.empty() ? "." : folder;
    remote::RequirePath(target);
    std::vector<remote::RemoteEntry> entries;
    operation([&] {
        ftp_.ListDirectory(target);
        for (t_filedata entry; ftp_.GetDirEntry(entry), entry.type != ft_none;) {
            if (entry.name == "." || entry.name == "..")
                continue;
            if (const std::string problem = remote::EntryNameProblem(entry.name); !problem.empty()) {
                trace("Left out an unusable name: \"" + remote::Printable(entry.name) + "\" " + problem,
                      remote::TraceLevel::Connection);
                continue;
            }
            entries.push_back({ entry.name, entry.size, kindOf(entry.type), entry.date == 0 ? 0 : unixSeconds(entry.date) });
        }
    });
    return entries;
}

void FtpRemoteFiles::Retrieve(const std::string& name, base::Stream& target)
{
    remote::RequireEntryName(name);
    operation([&] {
        std::int64_t received = 0;
        // Each block goes to target as it comes, so the session holds one block at a time.
        const auto drain = [&] {
            const std::string_view bytes = ftp_.DataStream.data();
            writeAll(target, bytes);
            received += static_cast<std::int64_t>(bytes.size());
            ftp_.DataStream.setSize(0);
        };
        const auto total = [this] { return ftp_.TransferSize > 0 ? ftp_.TransferSize : std::int64_t{ -1 }; };
        ftp_.OnDataReceived = [&](QObject*, t_ftp_mode mode, std::int64_t count) {
            if (mode != tftp_download || count <= 0)
                return;
            drain();
            base::raise(OnProgress, received, total());
            if (cancel_)
                throw remote::ERemoteCancelled();
        };
        ftp_.URI = name;
        ftp_.Retrieve();
        drain();
        base::raise(OnProgress, received, total());
    });
}

void FtpRemoteFiles::Store(base::Stream& source, const std::string& name)
{
    remote::RequireEntryName(name);
    operation([&] {
        // The session sends from its DataStream only.
        ftp_.DataStream.clear();
        ftp_.DataStream.copyFrom(source);
        ftp_.URI = name;
        try {
            ftp_.Store();
        } catch (...) {
            ftp_.DataStream.clear();
            throw;
        }
        ftp_.DataStream.clear();
        base::raise(OnProgress, ftp_.TransferSize, ftp_.TransferSize);
    });
}

void FtpRemoteFiles::Delete(const std::string& name)
{
    remote::RequireEntryName(name);
    operation([&] { ftp_.DeleteFile(name); });
}

void FtpRemoteFiles::RemoveFolder(const std::string& name)
{
    remote::RequireEntryName(name);
    operation([&] { ftp_.RemoveDir(name); });
}

void FtpRemoteFiles::Rename(const std::string& oldName, const std::string& newName)
{
    remote::RequireEntryName(oldName);
    remote::RequireEntryName(newName);
    operation([&] { ftp_.RenameFile(oldName, newName); });
}

void FtpRemoteFiles::MakeFolder(const std::string& name)
{
    remote::RequireEntryName(name);
    operation([&] { ftp_.MakeDir(name); });
}

void FtpRemoteFiles::ChangeFolder(const std::string& path)
{
    remote::RequirePath(path);
    operation([&] {
        ftp_.ChangeDir(path);
        notePwd();
    });
}

const FtpFeatures& FtpRemoteFiles::features()
{
    // Asked again after any new log-in: a session's OPTS end with it, and the server may be
    // another build by now. A hang-up while idle is noticed (and mended) first, so that the
    // commands chosen below go to the log-in they were chosen for.
    ftp_.EnsureLoggedIn();
    if (features_ && featuresLogIn_ == ftp_.LogIns())
        return *features_;
    features_ = askOptionally("FEAT") ? ParseFeatures(replyLines_) : FtpFeatures{};
    featuresLogIn_ = ftp_.LogIns();
    // Servers offer the mode without sending it unless asked (pyftpdlib).
    if (features_->mlst && features_->offers("unix.mode") && !features_->selects("unix.mode")
        && askOptionally("OPTS MLST type;size;modify;UNIX.mode;"))
        features_->selectedFacts = { "type", "size", "modify", "unix.mode" };
    return *features_;
}

bool FtpRemoteFiles::askOptionally(const std::string& command)
{
    try {
        ftp_.SendCommand(command);
        return true;
    } catch (const EProtocolError& e) {
        // No reply, a farewell or a lost log-in are failures of the session, not a "no".
        if (e.ReplyCode == 999 || e.ReplyCode == 421 || e.ReplyCode == kNotLoggedIn)
            throw;
        return false;
    }
}

std::optional<std::string> FtpRemoteFiles::askIfKnown(const std::string& command)
{
    try {
        ftp_.SendCommand(command);
    } catch (const EProtocolError& e) {
        if (unknownCommand(e.ReplyCode))
            return std::nullopt;
        throw;
    }
    return ftp_.ReplyText;
}

void FtpRemoteFiles::statByFacts(remote::RemoteEntry& entry)
{
    ftp_.SendCommand("MLST " + entry.name);
    const std::optional<std::string> line = MlstFactLine(replyLines_);
    if (!line)
        throw ERemoteError("The server described no file \"" + remote::Printable(entry.name) + "\"");
    const FtpFacts facts = ParseMlstFacts(*line);
    entry.size = facts.size.value_or(-1);
    entry.modified = facts.modified.value_or(0);
    entry.permissions = facts.permissions.value_or(remote::kUnknownPermissions);
    entry.kind = facts.plainFile.value_or(true) ? remote::EntryKind::File : remote::EntryKind::Other;
}

void FtpRemoteFiles::statBySizeAndTime(remote::RemoteEntry& entry)
{
    const std::string& name = entry.name;
    entry.modified = modifiedTime(name);
    // STAT lists the file over the control connection: its mode, and its size, which spares a
    // SIZE. A server that will not list it leaves the mode unknown and SIZE tells the size.
    if (askOptionally("STAT " + name)) {
        const FtpFacts facts = ParseStatFacts(replyLines_);
        entry.permissions = facts.permissions.value_or(remote::kUnknownPermissions);
        if (facts.size) {
            entry.size = *facts.size;
            return;
        }
    }
    if (const auto sizeText = askIfKnown("SIZE " + name)) {
        const auto size = ToNumber64(*sizeText);
        if (!size || *size < 0)
            throw ERemoteError("The server named no size for \"" + name + "\": " + remote::Printable(*sizeText));
        entry.size = *size;
    } else {
        entry.size = -1;
    }
}

std::int64_t FtpRemoteFiles::modifiedTime(const std::string& name)
{
    const auto timeText = askIfKnown("MDTM " + name);
    if (!timeText)
        return 0;
    const auto modified = ParseFtpTimestamp(*timeText);
    if (!modified)
        throw ERemoteError("The server named no time for \"" + name + "\": " + remote::Printable(*timeText));
    return *modified;
}

remote::RemoteEntry FtpRemoteFiles::statEntry(const std::string& name, bool timeAlone)
{
    remote::RequireEntryName(name);
    remote::RemoteEntry entry;
    entry.name = name;
    operation([&] {
        if (features().mlst)
            statByFacts(entry);
        else if (timeAlone)
            entry.modified = modifiedTime(name);
        else
            statBySizeAndTime(entry);
    });
    return entry;
}

remote::RemoteEntry FtpRemoteFiles::Stat(const std::string& name)
{
    return statEntry(name, false);
}

std::int64_t FtpRemoteFiles::ModifiedTime(const std::string& name)
{
    return statEntry(name, true).modified;
}

bool FtpRemoteFiles::SetPermissions(const std::string& name, int mode)
{
    remote::RequireEntryName(name);
    if (mode < 0 || mode > 07777)
        throw ERemoteError("No such permissions: " + std::to_string(mode));
    char octal[8];
    std::snprintf(octal, sizeof octal, "%03o", static_cast<unsigned>(mode));
    bool supported = true;
    operation([&] {
        const auto reply = askIfKnown("SITE CHMOD " + std::string(octal) + " " + name);
        // 202: "command not implemented, superfluous at this site".
        supported = reply && ftp_.ReplyCode != 202;
    });
    return supported;
}

} // namespace tcpip
