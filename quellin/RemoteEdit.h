#pragma once
// RemoteEdit: the remote edit round trip over the window's FTP session, without the window.
//   Open(name)         TYPE I, SIZE, RETR into the session's DataStream; on completion the bytes
//                      go to the download file (temporary folder + name + ".DOWNLOAD") and to
//                      OnOpened, with the text's shape remembered for the write-back.
//   WriteBack(text)    the pane's text (CR LF lines) in the shape it was read in, to the upload
//                      file, then TYPE I and STOR under EditTempName in the folder the file was
//                      opened from: recorded when the open started (absolute, by PWD, unless the
//                      session's folder already is), so neither a re-login nor a walk to another
//                      folder sends it elsewhere. In that same folder "STOR name"; from any other
//                      one "STOR /absolute/folder/name".
// Temporary files: the download file of the opened file only (the exact bytes an unchanged
// write-back sends), replaced by the next open and removed with this object; an upload file
// lives only while its write-back runs.
// Texts travel as binary: a server's text mode turns CR LF and LF into the same bytes on the
// way down and may change them on the way up, so only binary keeps a file byte for byte; the
// line breaks are kept here instead (TextShape.h).
//   CopyToLocal(name)  TYPE I, RETR; the bytes go to a temporary file as they arrive, which
//                      replaces local folder + name only when complete. The session's
//                      DataStream keeps only the newest block: a copy of any size needs
//                      little memory, and no second pass over the bytes.
//   CopyToFtp(path, caption)  TYPE I, STOR of the local file under caption.
// Each does nothing (returns false) while a transfer is under way: asynchronous transfers turn
// the event loop, so a command can arrive inside one. Names are checked first (SafeNames.h).
//
// The session's OnDataReceived and OnActionComplete are assigned to ftp_data and ftp_complete
// by the constructor; a window that needs the events itself calls these from its handlers.
// Progress goes to OnProgress as status panel 0's text: "N of M Bytes received" when the server
// told the size, else "N Bytes received"; an upload shows its size.
//
// Failures are exceptions for the application's default handler. EditTempName changes only
// when an open has completed, so a failed open never points a later write-back at the wrong
// file. A failed write-back raises EWriteBackFailed ("... was not written ..."): the caller's
// text and its modified flag stay as they were, and the next write-back logs in again if the
// server had gone.
#include "base/Event.h"
#include "base/Exception.h"
#include "platform/core/AtomicFile.h"
#include "quellin/TextShape.h"
#include "tcpip/Ftp.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
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
    RemoteEdit(tcpip::T_FTP& ftp, QString tempFolder);
    // Removes the opened file's download copy: no temporary file outlives the round trip.
    ~RemoteEdit();
    RemoteEdit(const RemoteEdit&) = delete;
    RemoteEdit& operator=(const RemoteEdit&) = delete;

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

    // An open ends with EFileNotText, nothing shown or kept, for bytes that are no text.
    bool Open(const std::string& name);
    // A write-back of the text the pane shows for the opened file (PaneTextOf its bytes) sends
    // the file's bytes exactly as they came (mixed line breaks and all), not a reshaped copy.
    bool WriteBack(std::string_view paneText);
    bool CopyToLocal(const std::string& name);
    bool CopyToFtp(const QString& localPath, const std::string& caption);

    void ftp_data(QObject* sender, tcpip::t_ftp_mode mode, std::int64_t bytes);
    void ftp_complete(QObject* sender, tcpip::t_ftp_mode mode);

    std::int64_t ReceivedTotal() const { return receivedTotal_; }
    // The absolute folder of the opened file ("" before the first open).
    const std::string& EditFolder() const { return editFolder_.absolute; }
    const TextShape& Shape() const { return shape_; }
    // A text restored from elsewhere (a recovery copy) is written back in its own shape.
    void AdoptShape(const TextShape& shape) { shape_ = shape; }
    QString DownloadFile(const std::string& name) const;
    QString UploadFile(const std::string& name) const;

private:
    void retrieve(const std::string& name);

    tcpip::T_FTP& ftp_;
    QString tempFolder_;
    std::int64_t receivedTotal_ = 0;
    // The target of the running Copy To Local; none for an open.
    std::unique_ptr<platform::core::AtomicFileWriter> copy_;
    // The name of the running download, fixed when it started (the selection may change inside
    // an asynchronous transfer).
    std::string downloading_;
    TextShape shape_;
    // Where a file was opened: the session's own folder then (as Folder() says it) and its
    // absolute name.
    struct OpenedFolder {
        std::string session;
        std::string absolute;
    };
    OpenedFolder opening_;
    OpenedFolder editFolder_;
    // What a write-back of name sends as STOR's argument.
    std::string storeTarget(const std::string& name) const;
    // The opened file's name (its download file holds its bytes) and its text as the pane
    // shows it (size and hash; none before the first open).
    std::string openedName_;
    std::optional<std::pair<std::size_t, std::size_t>> shownText_;
};

} // namespace quellin
