#include "platform/core/PrivateTempFolder.h"

#include "base/Exception.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::core {

namespace {

[[noreturn]] void refuse(const QString& path, const std::string& reason)
{
    throw base::EFileError("Cannot use the temporary folder \"" + path.toStdString() + "\". " + reason);
}

// The runtime folder's program folder: created when missing, then checked without following a
// link, so that a link planted there cannot redirect us.
QString runtimeFolder(const QString& runtime, const QString& program)
{
    const QString path = runtime + "/" + program;
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        refuse(path, std::strerror(errno));
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        refuse(path, std::strerror(errno));
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        refuse(path, "It is not a folder of this user.");
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        refuse(path, std::strerror(errno));
    return path;
}

// Folders made by mkdtemp in this process, by their template; each is removed at exit when
// empty (its files are removed by their owners).
std::mutex madeMutex;
std::map<QString, QByteArray>& madeFolders()
{
    static auto* folders = new std::map<QString, QByteArray>;
    return *folders;
}

void removeMadeFolders()
{
    const std::lock_guard lock(madeMutex);
    for (const auto& [pattern, folder] : madeFolders())
        ::rmdir(folder.constData());
}

// A fresh folder of an unpredictable name under the shared temporary folder: nobody can have
// made it first. One per program and process.
QString sharedTempFolder(const QString& program)
{
    const QString pattern = QDir::tempPath() + "/" + program + "-XXXXXX";
    const std::lock_guard lock(madeMutex);
    auto& made = madeFolders();
    if (const auto found = made.find(pattern); found != made.end())
        return QFile::decodeName(found->second);
    QByteArray native = QFile::encodeName(pattern);
    if (::mkdtemp(native.data()) == nullptr)
        refuse(pattern, std::strerror(errno));
    if (made.empty())
        std::atexit(removeMadeFolders);
    made.emplace(pattern, native);
    return QFile::decodeName(native);
}

} // namespace

QString PrivateTempFolder(const QString& program)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const bool useRuntime = QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir();
    return (useRuntime ? runtimeFolder(runtime, program) : sharedTempFolder(program)) + "/";
}

} // namespace platform::core
