#include "quellin/RemoteEdit.h"

#include "platform/core/AtomicFile.h"
#include "quellin/EditableText.h"
#include "quellin/SafeNames.h"
#include "tcpip/TextNumber.h"

#include <QFile>
#include <QFileInfo>

namespace quellin {

namespace {

QString localName(const std::string& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

std::pair<std::size_t, std::size_t> fingerprint(std::string_view text)
{
    return { text.size(), std::hash<std::string_view>{}(text) };
}

} // namespace

RemoteEdit::RemoteEdit(tcpip::T_FTP& ftp, QString tempFolder)
    : ftp_(ftp), tempFolder_(std::move(tempFolder))
{
    ftp_.OnDataReceived = [this](QObject* sender, tcpip::t_ftp_mode mode, std::int64_t bytes) {
        ftp_data(sender, mode, bytes);
    };
    ftp_.OnActionComplete = [this](QObject* sender, tcpip::t_ftp_mode mode) { ftp_complete(sender, mode); };
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

void RemoteEdit::retrieve(const std::string& name)
{
    ftp_.SendCommand("TYPE I");
    ftp_.URI = name;
    receivedTotal_ = 0;
    downloading_ = name;
    try {
        ftp_.Retrieve();
    } catch (...) {
        copy_.reset();
        throw;
    }
}

bool RemoteEdit::Open(const std::string& name)
{
    if (ftp_.Busy())
        return false;
    RequireSafeFileName(name);
    copy_.reset();
    opening_.session = ftp_.Folder();
    opening_.absolute = opening_.session.rfind('/', 0) == 0 ? opening_.session : ftp_.CurrentFolder();
    // CurrentFolder may have logged in again and gone back: the folder it reached is the one.
    opening_.session = ftp_.Folder();
    retrieve(name);
    return true;
}

bool RemoteEdit::CopyToLocal(const std::string& name)
{
    if (ftp_.Busy())
        return false;
    RequireSafeFileName(name);
    if (LocalFolder.isEmpty() || !QFileInfo(LocalFolder).isDir())
        throw base::EFileError("Cannot copy \"" + name + "\": the local folder \"" + LocalFolder.toStdString()
                               + "\" is no folder.");
    copy_ = std::make_unique<platform::core::AtomicFileWriter>(LocalFolder + localName(name));
    retrieve(name);
    return true;
}

bool RemoteEdit::WriteBack(std::string_view paneText)
{
    if (ftp_.Busy() || EditTempName.empty())
        return false;
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
    try {
        ftp_.SendCommand("TYPE I");
        ftp_.URI = storeTarget(name);
        ftp_.DataStream.loadFromFile(QFile::encodeName(source).toStdString());
        ftp_.Store();
    } catch (const base::Exception& e) {
        throw EWriteBackFailed("The file \"" + name + "\" was not written to the server: " + e.message());
    }
    return true;
}

std::string RemoteEdit::storeTarget(const std::string& name) const
{
    if (ftp_.Folder() == editFolder_.session || editFolder_.absolute.empty())
        return name;
    const std::string& folder = editFolder_.absolute;
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

bool RemoteEdit::CopyToFtp(const QString& localPath, const std::string& caption)
{
    if (ftp_.Busy())
        return false;
    RequireSafeFileName(caption);
    ftp_.SendCommand("TYPE I");
    ftp_.URI = caption;
    ftp_.DataStream.loadFromFile(QFile::encodeName(localPath).toStdString());
    ftp_.Store();
    return true;
}

void RemoteEdit::ftp_data(QObject*, tcpip::t_ftp_mode mode, std::int64_t bytes)
{
    std::string text;
    if (mode == tcpip::tftp_download) {
        // The last read of a transfer reports 0 (or an error): it adds nothing.
        if (bytes > 0) {
            receivedTotal_ += bytes;
            if (!copy_ && (receivedTotal_ > OpenLimit || ftp_.TransferSize > OpenLimit))
                throw EFileTooLarge("\"" + downloading_ + "\" is larger than " + tcpip::ByteLimitText(static_cast<std::uint64_t>(OpenLimit))
                                    + ", too large to open in the editor; use Copy To Local to save it to disk.");
            if (copy_) {
                const std::string_view received = ftp_.DataStream.data();
                copy_->write(received.substr(received.size() - static_cast<std::size_t>(bytes)));
                ftp_.DataStream.setSize(0);
            }
        }
        text = std::to_string(receivedTotal_);
        if (ftp_.TransferSize != 0)
            text += " of " + std::to_string(ftp_.TransferSize);
    } else if (mode == tcpip::tftp_upload) {
        text = std::to_string(ftp_.TransferSize);
    } else {
        return;
    }
    base::raise(OnProgress, text + " Bytes received");
}

void RemoteEdit::ftp_complete(QObject*, tcpip::t_ftp_mode mode)
{
    if (mode != tcpip::tftp_download)
        return;
    if (copy_) {
        const std::unique_ptr<platform::core::AtomicFileWriter> copy = std::move(copy_);
        copy->commit();
        return;
    }
    const std::string_view bytes = ftp_.DataStream.data();
    if (!IsEditableText(bytes))
        throw EFileNotText("\"" + downloading_ + "\" is not a text file (it holds NUL bytes, or bytes that are "
                           "neither UTF-8 nor Windows-1252), so it is not opened in the editor; use Copy To Local "
                           "to save it to disk.");
    if (!openedName_.empty() && openedName_ != downloading_)
        QFile::remove(DownloadFile(openedName_));
    platform::core::WriteFileAtomically(DownloadFile(downloading_), bytes);
    shape_ = ShapeOf(bytes);
    EditTempName = downloading_;
    editFolder_ = opening_;
    openedName_ = downloading_;
    shownText_ = fingerprint(PaneTextOf(bytes));
    base::raise(OnOpened, downloading_, bytes);
    // The download file keeps the bytes; a page of many megabytes need not stay in memory too.
    ftp_.DataStream.clear();
}

} // namespace quellin
