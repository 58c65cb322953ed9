#include "quellin/RemoteEdit.h"

#include "platform/core/AtomicFile.h"
#include "quellin/EditableText.h"
#include "quellin/KeptCopyName.h"
#include "quellin/SafeNames.h"
#include "tcpip/TextNumber.h"

#include <QFile>
#include <QFileInfo>
#include <functional>

namespace quellin {

namespace {

QString localName(const std::string& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

std::string fileName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::pair<std::size_t, std::size_t> fingerprint(std::string_view text)
{
    return { text.size(), std::hash<std::string_view>{}(text) };
}

// A retrieve's target that writes straight into an atomically replaced file.
class AtomicFileStream : public base::Stream {
public:
    using Stream::write;
    explicit AtomicFileStream(const QString& path) : file_(path) {}
    std::size_t read(void*, std::size_t) override { return 0; }
    std::size_t write(const void* buffer, std::size_t count) override
    {
        file_.write(std::string_view(static_cast<const char*>(buffer), count));
        written_ += static_cast<std::int64_t>(count);
        return count;
    }
    std::int64_t seek(std::int64_t, base::SeekOrigin) override { return written_; }
    std::int64_t size() const override { return written_; }
    void commit() { file_.commit(); }

private:
    platform::core::AtomicFileWriter file_;
    std::int64_t written_ = 0;
};

// The session's progress goes to handler while this lives, and nowhere afterwards.
class ProgressScope {
public:
    ProgressScope(remote::RemoteFiles& files, std::function<void(std::int64_t, std::int64_t)> handler) : files_(files)
    {
        files_.OnProgress = std::move(handler);
    }
    ~ProgressScope() { files_.OnProgress = nullptr; }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    remote::RemoteFiles& files_;
};

} // namespace

RemoteEdit::RemoteEdit(remote::RemoteFiles& files, QString tempFolder)
    : files_(&files), tempFolder_(std::move(tempFolder))
{
}

RemoteEdit::~RemoteEdit()
{
    if (!openedName_.empty())
        QFile::remove(DownloadFile(openedName_));
}

QString RemoteEdit::DownloadFile(const std::string& name) const
{
    return tempFolder_ + localName(name) + ".DOWNLOAD";
}

QString RemoteEdit::UploadFile(const std::string& name) const
{
    return tempFolder_ + localName(name) + ".UPLOAD";
}

void RemoteEdit::retrieve(const std::string& name, base::Stream& target, std::int64_t limit)
{
    receivedTotal_ = 0;
    bool tooLarge = false;
    {
        ProgressScope progress(*files_, [&](std::int64_t received, std::int64_t total) {
            receivedTotal_ = received;
            if (limit > 0 && (received > limit || total > limit) && !tooLarge) {
                tooLarge = true;
                files_->Cancel();
            }
            base::raise(OnProgress, std::to_string(received) + (total >= 0 ? " of " + std::to_string(total) : "")
                                        + " Bytes received");
        });
        try {
            files_->Retrieve(name, target);
        } catch (const remote::ERemoteCancelled&) {
            if (!tooLarge)
                throw;
        }
    }
    if (tooLarge)
        throw EFileTooLarge("\"" + name + "\" is larger than " + tcpip::ByteLimitText(static_cast<std::uint64_t>(limit))
                            + ", too large to open in the editor; use Copy To Local to save it to disk.");
}

template <class Action>
auto RemoteEdit::sending(const Action& action)
{
    ProgressScope progress(*files_, [this](std::int64_t sent, std::int64_t) {
        base::raise(OnProgress, std::to_string(sent) + " Bytes sent");
    });
    return action();
}

bool RemoteEdit::Open(const std::string& name)
{
    if (busy())
        return false;
    RequireSafeFileName(name);
    // Before the retrieve: a change in between then shows as a conflict, never hides one.
    std::optional<remote::ServerStamp> stamp;
    try {
        stamp = remote::TakeStamp(*files_, name);
    } catch (const remote::ERemoteCancelled&) {
        throw;
    } catch (const remote::ERemoteError&) {
        // Unknown: the retrieve tells whether the file can be read at all.
    }
    base::MemoryStream received;
    retrieve(name, received, OpenLimit);
    // The folder the session stood in for the retrieve (a log-in again returned there).
    const std::string folder = files_->CurrentFolder();
    std::string bytes = received.take();
    if (!IsEditableText(bytes))
        throw EFileNotText("\"" + name + "\" is not a text file (it holds NUL bytes, or bytes that are "
                           "neither UTF-8 nor Windows-1252), so it is not opened in the editor; use Copy To Local "
                           "to save it to disk.");
    if (!openedName_.empty() && openedName_ != name)
        QFile::remove(DownloadFile(openedName_));
    platform::core::WriteFileAtomically(DownloadFile(name), bytes);
    shape_ = ShapeOf(bytes);
    EditTempName = name;
    editFolder_ = folder;
    openedName_ = name;
    stamp_ = stamp;
    shownText_ = fingerprint(PaneTextOf(bytes));
    base::raise(OnOpened, name, std::string_view(bytes));
    return true;
}

bool RemoteEdit::CopyToLocal(const std::string& name)
{
    if (busy())
        return false;
    RequireSafeFileName(name);
    if (LocalFolder.isEmpty() || !QFileInfo(LocalFolder).isDir())
        throw base::EFileError("Cannot copy \"" + name + "\": the local folder \"" + LocalFolder.toStdString()
                               + "\" is no folder.");
    AtomicFileStream copy(LocalFolder + localName(name));
    retrieve(name, copy, 0);
    copy.commit();
    return true;
}

std::optional<remote::WriteBackOutcome> RemoteEdit::WriteBack(std::string_view paneText)
{
    if (busy() || EditTempName.empty())
        return std::nullopt;
    const std::string name = EditTempName;
    RequireSafeFileName(name);
    // Unchanged: the bytes as they came, which no reshaping could promise for mixed line breaks.
    const bool unchanged = shownText_ && *shownText_ == fingerprint(paneText);
    const QString source = unchanged ? DownloadFile(openedName_) : UploadFile(name);
    if (!unchanged)
        platform::core::WriteFileAtomically(source, ApplyShape(paneText, shape_));
    // The upload copy is needed only while it is sent.
    struct RemoveUpload {
        QString file;
        ~RemoveUpload()
        {
            if (!file.isEmpty())
                QFile::remove(file);
        }
    } removeUpload{ unchanged ? QString() : source };
    // Where the user walked to, and back there after the store ("" before a log-in: then the
    // session stays in the file's folder).
    const std::string walkedTo = files_->CurrentFolder();
    const bool elsewhere = !editFolder_.empty() && walkedTo != editFolder_;
    const bool walkBack = elsewhere && !walkedTo.empty();
    remote::WriteBackOutcome outcome;
    try {
        if (elsewhere)
            files_->ChangeFolder(editFolder_);
        outcome = writeBackHere(source, name);
    } catch (const base::Exception& e) {
        if (walkBack && files_->CurrentFolder() != walkedTo && files_->State() != remote::ConnectionState::LoggedOut) {
            try {
                files_->ChangeFolder(walkedTo);
            } catch (const base::Exception&) {
                // The write-back's failure is the news; the view is listed again anyway.
            }
        }
        throw EWriteBackFailed("The file \"" + name + "\" was not written to the server: " + e.message());
    }
    // Written: a failure to walk back is the walk's, not the write-back's.
    if (walkBack)
        files_->ChangeFolder(walkedTo);
    return outcome;
}

remote::WriteBackOutcome RemoteEdit::writeBackHere(const QString& source, const std::string& name)
{
    // Only the opened file's own name has a server copy the text is based on.
    const bool sameFile = name == openedName_;
    base::FileStream bytes(fileName(source), base::FileStream::OpenRead);
    const remote::WriteBackResult result = sending(
        [&] { return remote::WriteBack(*files_, bytes, name, sameFile ? stamp_ : std::nullopt, OnConflict); });
    switch (result.outcome) {
    case remote::WriteBackOutcome::Stored:
        if (sameFile)
            stamp_ = result.stamp;
        if (!result.statusLine.empty())
            notice(result.statusLine);
        if (result.stampNotReported && hostsWithoutStamps_.insert(files_->Site.host).second)
            notice(remote::StampNotReportedNotice(files_->Site.host));
        break;
    case remote::WriteBackOutcome::KeepMineOpenTheirs:
    {
        keepLocally(source, name);
        const std::string kept = "Your text was kept in \"" + fileName(keptCopy_) + "\"";
        try {
            Open(name);
        } catch (const base::Exception& e) {
            throw remote::ERemoteError(kept + ", but the server's version was not opened: " + e.message());
        }
        notice(kept + "; the editor shows the server's version.");
        break;
    }
    case remote::WriteBackOutcome::Cancelled:
        break;
    }
    return result.outcome;
}

void RemoteEdit::keepLocally(const QString& source, const std::string& name)
{
    if (LocalFolder.isEmpty() || !QFileInfo(LocalFolder).isDir())
        throw base::EFileError("Your text was kept nowhere: the local folder \"" + LocalFolder.toStdString()
                               + "\" is no folder.");
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw base::EFileError("Cannot read \"" + fileName(source) + "\": " + in.errorString().toStdString());
    keptCopy_ = FreeKeptCopyPath(LocalFolder, localName(name));
    platform::core::WriteFileAtomically(keptCopy_, in.readAll().toStdString());
}

bool RemoteEdit::CopyToFtp(const QString& localPath, const std::string& caption)
{
    if (busy())
        return false;
    RequireSafeFileName(caption);
    base::FileStream bytes(fileName(localPath), base::FileStream::OpenRead);
    sending([&] { files_->Store(bytes, caption); });
    return true;
}

} // namespace quellin
