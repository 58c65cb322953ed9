#pragma once
// RemoteEdit: the remote edit round trip over the window's remote files (remote/RemoteFiles.h),
// whatever the protocol, without the window.
//   Open(name)         Retrieve into memory; the bytes go to the download file (temporary folder
//                      + name + ".DOWNLOAD") and to OnOpened, with the text's shape remembered
//                      for the write-back, and the session's folder then is the file's folder.
//                      The server copy's stamp (remote/ServerStamp.h) is taken before the
//                      retrieve, so a change between the two shows as a conflict later; a stamp
//                      the server will not give leaves it unknown, and the open goes on.
//   WriteBack(text)    the pane's text (CR LF lines) in the shape it was read in, to the upload
//                      file, then stored whole (remote/WriteBack.h) under EditTempName in the
//                      folder the file was opened from (absolute), so neither a re-login nor a
//                      walk to another folder sends it elsewhere: from any other folder the
//                      session changes there for the store and back afterwards.
//                      The opened file's own name is checked against its stamp first, and
//                      OnConflict answers when the server copy changed; another name, or no
//                      stamp (a text restored from a recovery copy), is stored without asking.
//                      KeepMineOpenTheirs saves the text as a write-back would send it into
//                      LocalFolder under a name that clashes with nothing there, then opens
//                      the server's version (OnOpened) from the file's folder.
//                      Each store's stamp is the base of the next write-back.
// Temporary files: the download file of the opened file only (the exact bytes an unchanged
// write-back sends), replaced by the next open and removed with this object; an upload file
// lives only while its write-back runs.
// Texts travel as bytes (FTP in binary mode): the line breaks are kept here instead
// (TextShape.h), so a file comes back byte for byte.
//   CopyToLocal(name)  Retrieve straight into a temporary file, which replaces local folder +
//                      name only when complete: a copy of any size needs little memory.
//   CopyToFtp(path, caption)  Store of the local file under caption in the current folder.
// Each does nothing (returns false) while the session is busy: asynchronous waits turn the event
// loop, so a command can arrive inside one. Names are checked first (SafeNames.h).
//
// Progress goes to OnProgress as status panel 0's text: "N of M Bytes received" when the server
// told the size, else "N Bytes received"; an upload shows "N Bytes sent" at its end.
//
// Failures are exceptions for the application's default handler. EditTempName changes only
// when an open has completed, so a failed open never points a later write-back at the wrong
// file. A failed write-back raises EWriteBackFailed ("... was not written ..."): the caller's
// text and its modified flag stay as they were, and the next write-back logs in again if the
// server had gone.
#include "base/Event.h"
#include "base/Exception.h"
#include "quellin/TextShape.h"
#include "remote/RemoteFiles.h"
#include "remote/WriteBack.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <string>
#include <string_view>

namespace quellin {

class EWriteBackFailed : public base::Exception {
public:
    using Exception::Exception;
};

// A file too large to open into the editor; Copy To Local takes it.
class EFileTooLarge : public base::Exception {
public:
    using Exception::Exception;
};

// A file the editor cannot hold as text (EditableText.h); Copy To Local takes it.
class EFileNotText : public base::Exception {
public:
    using Exception::Exception;
};

// The largest file Open takes into the editor (100 MB); Copy To Local has no limit.
constexpr std::int64_t kOpenLimit = std::int64_t{ 100 } << 20;

class RemoteEdit {
public:
    // tempFolder ends with "/" (platform::core::PrivateTempFolder).
    RemoteEdit(remote::RemoteFiles& files, QString tempFolder);
    // Removes the opened file's download copy: no temporary file outlives the round trip.
    ~RemoteEdit();
    RemoteEdit(const RemoteEdit&) = delete;
    RemoteEdit& operator=(const RemoteEdit&) = delete;

    // The session of another protocol, when the window changed it; the opened file stays.
    void setSession(remote::RemoteFiles& files) { files_ = &files; }

    // The edited file's remote name; the user may change it before writing back.
    std::string EditTempName;
    // The local browser's folder, ending with "/": where "Copy To Local" puts files.
    QString LocalFolder;
    // An open whose file is larger (by the server's SIZE answer, or by the bytes received) ends
    // with EFileTooLarge as soon as that is known, nothing kept: a server cannot fill our memory.
    std::int64_t OpenLimit = kOpenLimit;
    base::Event<const std::string&> OnProgress;
    // An opened file: its name and its bytes as they came (the pane takes any line break). The
    // bytes are the session's and valid only during the call; they are let go after it.
    base::Event<const std::string&, std::string_view> OnOpened;
    // Asked when the server copy changed since the open; none counts as Cancel.
    remote::ConflictHandler OnConflict;
    // One line for the status bar: how a store went when not as planned, where a kept text
    // went, or (once per host) that the server's files carry no stamp.
    base::Event<const std::string&> OnNotice;

    // An open ends with EFileNotText, nothing shown or kept, for bytes that are no text.
    bool Open(const std::string& name);
    // A write-back of the text the pane shows for the opened file (PaneTextOf its bytes) sends
    // the file's bytes exactly as they came (mixed line breaks and all), not a reshaped copy.
    // Nothing (no outcome) while the session is busy or no name is given.
    std::optional<remote::WriteBackOutcome> WriteBack(std::string_view paneText);
    bool CopyToLocal(const std::string& name);
    bool CopyToFtp(const QString& localPath, const std::string& caption);

    std::int64_t ReceivedTotal() const { return receivedTotal_; }
    // The absolute folder of the opened file ("" before the first open).
    const std::string& EditFolder() const { return editFolder_; }
    const TextShape& Shape() const { return shape_; }
    // A text restored from elsewhere (a recovery copy) is written back in its own shape, and
    // without a stamp: what the server holds now is not what it was based on.
    void AdoptShape(const TextShape& shape)
    {
        shape_ = shape;
        stamp_.reset();
    }
    // The kept text of the last KeepMineOpenTheirs (local path).
    const QString& KeptCopy() const { return keptCopy_; }
    QString DownloadFile(const std::string& name) const;
    QString UploadFile(const std::string& name) const;

private:
    bool busy() const { return files_->State() == remote::ConnectionState::Busy; }
    // Retrieves name into target with progress texts; an open (limit set) ends with
    // EFileTooLarge once the size or the bytes pass the limit.
    void retrieve(const std::string& name, base::Stream& target, std::int64_t limit);
    // action() with its bytes counted as "N Bytes sent".
    template <class Action>
    auto sending(const Action& action);
    // The write-back proper, in the file's folder.
    remote::WriteBackOutcome writeBackHere(const QString& source, const std::string& name);
    void keepLocally(const QString& source, const std::string& name);
    void notice(const std::string& line) { base::raise(OnNotice, line); }

    remote::RemoteFiles* files_;
    QString tempFolder_;
    std::int64_t receivedTotal_ = 0;
    TextShape shape_;
    // The absolute folder of the opened file.
    std::string editFolder_;
    // The opened file's name (its download file holds its bytes) and its text as the pane
    // shows it (size and hash; none before the first open).
    std::string openedName_;
    std::optional<std::pair<std::size_t, std::size_t>> shownText_;
    // The opened file's server copy as last seen (none: unknown).
    std::optional<remote::ServerStamp> stamp_;
    std::set<std::string> hostsWithoutStamps_;
    QString keptCopy_;
};

} // namespace quellin
