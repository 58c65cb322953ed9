#include "quellin/RecoveryStore.h"

#include "base/Exception.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <charconv>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quellin {

namespace {

constexpr std::string_view kMagic = "Quellin recovery 1";
const char* const kKeys[] = {"user", "host", "folder", "name", "line-break", "port", "final-break", "encoding", "length"};
constexpr std::size_t kKeyCount = std::size(kKeys);

std::string Hex(std::string_view bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toHex().toStdString();
}

std::optional<std::string> FromHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        if (error != std::errc() || end != text.data() + i + 2)
            return std::nullopt;
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// Digits only, in range.
template <typename Number>
bool Decimal(std::string_view digits, Number& value)
{
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return !digits.empty() && digits.front() != '-' && error == std::errc() && end == digits.data() + digits.size();
}

const char* EncodingName(platform::core::TextEncoding encoding)
{
    return encoding == platform::core::TextEncoding::Utf8 ? "utf-8" : "windows-1252";
}

[[noreturn]] void FileError(const QString& path, const QString& reason)
{
    throw base::EFileError("Cannot write file \"" + QFile::encodeName(path).toStdString() + "\". "
                           + reason.toStdString());
}

const QString kCopySuffix = QStringLiteral(".text");
const QString kLockSuffix = QStringLiteral(".lock");

// The lock file opened (made when create is set) and locked without waiting; -1 when another
// process (or another session of this one) holds it or it cannot be opened.
int TakeLock(const QString& path, bool create)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string SerializeRecoveryCopy(const RecoveryCopy& copy)
{
    std::string file(kMagic);
    file += "\nuser: " + Hex(copy.origin.user);
    file += "\nhost: " + Hex(copy.origin.host);
    file += "\nport: " + std::to_string(copy.origin.port);
    file += "\nfolder: " + Hex(copy.origin.folder);
    file += "\nname: " + Hex(copy.origin.name);
    file += "\nline-break: " + Hex(copy.shape.lineBreak);
    file += std::string("\nfinal-break: ") + (copy.shape.addFinalBreak ? "1" : "0");
    file += std::string("\nencoding: ") + EncodingName(copy.encoding);
    file += "\nlength: " + std::to_string(copy.bytes.size());
    file += "\n\n";
    file += copy.bytes;
    return file;
}

std::optional<RecoveryCopy> ParseRecoveryCopy(std::string_view file)
{
    const std::size_t headerEnd = file.substr(0, kMaxRecoveryHeader).find("\n\n");
    if (headerEnd == std::string_view::npos)
        return std::nullopt;
    std::string_view header = file.substr(0, headerEnd + 1);
    const std::string_view text = file.substr(headerEnd + 2);
    std::string_view values[kKeyCount];
    bool seen[kKeyCount] = {};
    bool first = true;
    while (!header.empty()) {
        const std::size_t end = header.find('\n');
        const std::string_view line = header.substr(0, end);
        header.remove_prefix(end + 1);
        if (first) {
            if (line != kMagic)
                return std::nullopt;
            first = false;
            continue;
        }
        const std::size_t colon = line.find(": ");
        if (colon == std::string_view::npos)
            return std::nullopt;
        const std::string_view key = line.substr(0, colon);
        std::size_t k = 0;
        while (k < kKeyCount && key != kKeys[k])
            ++k;
        if (k == kKeyCount || seen[k])
            return std::nullopt;
        seen[k] = true;
        values[k] = line.substr(colon + 2);
    }
    for (bool s : seen) {
        if (!s)
            return std::nullopt;
    }
    RecoveryCopy copy;
    std::string* const hexFields[] = {&copy.origin.user, &copy.origin.host, &copy.origin.folder, &copy.origin.name,
                                      &copy.shape.lineBreak};
    for (std::size_t k = 0; k < std::size(hexFields); ++k) {
        std::optional<std::string> bytes = FromHex(values[k]);
        if (!bytes)
            return std::nullopt;
        *hexFields[k] = std::move(*bytes);
    }
    if (!Decimal(values[5], copy.origin.port))
        return std::nullopt;
    if (values[6] != "0" && values[6] != "1")
        return std::nullopt;
    copy.shape.addFinalBreak = values[6] == "1";
    if (values[7] == "utf-8")
        copy.encoding = platform::core::TextEncoding::Utf8;
    else if (values[7] == "windows-1252")
        copy.encoding = platform::core::TextEncoding::Windows1252;
    else
        return std::nullopt;
    std::size_t length = 0;
    if (!Decimal(values[8], length) || length != text.size())
        return std::nullopt;
    copy.bytes = std::string(text);
    return copy;
}

QString DefaultRecoveryFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quellin");
}

RecoverySession::RecoverySession(QString folder) : folder_(std::move(folder))
{
    if (!QDir().mkpath(folder_))
        FileError(folder_, QStringLiteral("The folder cannot be made."));
    ::chmod(QFile::encodeName(folder_).constData(), 0700);
    static int sessions = 0; // several sessions of one process get names of their own
    name_ = QStringLiteral("session-%1-%2-%3").arg(::getpid()).arg(QDateTime::currentMSecsSinceEpoch()).arg(++sessions);
    const QString lockPath = folder_ + QLatin1Char('/') + name_ + kLockSuffix;
    lock_ = TakeLock(lockPath, true);
    if (lock_ < 0)
        FileError(lockPath, QStringLiteral("The lock cannot be taken."));
}

RecoverySession::~RecoverySession()
{
    if (lock_ >= 0)
        ::close(lock_);
}

QString RecoverySession::copyPath() const
{
    return folder_ + QLatin1Char('/') + name_ + kCopySuffix;
}

void RecoverySession::save(const RecoveryCopy& copy)
{
    const std::string bytes = SerializeRecoveryCopy(copy);
    QSaveFile file(copyPath());
    if (!file.open(QIODevice::WriteOnly))
        FileError(copyPath(), file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) || !file.commit())
        FileError(copyPath(), file.errorString());
}

void RecoverySession::remove()
{
    QFile::remove(copyPath());
}

void RecoverySession::endCleanly()
{
    remove();
    if (lock_ < 0)
        return;
    QFile::remove(folder_ + QLatin1Char('/') + name_ + kLockSuffix);
    ::close(lock_);
    lock_ = -1;
}

std::vector<OrphanCopy> RecoverySession::orphans() const
{
    std::vector<OrphanCopy> found;
    const QFileInfoList copies = QDir(folder_).entryInfoList({QStringLiteral("session-*") + kCopySuffix},
                                                             QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& info : copies) {
        const QString session = info.completeBaseName();
        if (session == name_)
            continue;
        const QString lockPath = folder_ + QLatin1Char('/') + session + kLockSuffix;
        if (QFileInfo::exists(lockPath)) {
            const int lock = TakeLock(lockPath, false);
            if (lock < 0)
                continue; // its program still runs
            ::close(lock);
        }
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        if (std::optional<RecoveryCopy> copy = ParseRecoveryCopy(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
            found.push_back({session, std::move(*copy)});
    }
    return found;
}

void RecoverySession::removeOrphan(const QString& session)
{
    if (session == name_ || session.contains(QLatin1Char('/')))
        return;
    QFile::remove(folder_ + QLatin1Char('/') + session + kCopySuffix);
    QFile::remove(folder_ + QLatin1Char('/') + session + kLockSuffix);
}

} // namespace quellin
