#include "platform/core/PrivateTempFolder.h"

#include "base/Exception.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::core {

namespace {

[[noreturn]] void refuse(const QString& path, const std::string& reason)
{
    throw base::EFileError("Cannot use the temporary folder \"" + path.toStdString() + "\". " + reason);
}

} // namespace

QString PrivateTempFolder(const QString& program)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const bool useRuntime = QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir();
    const QString path = useRuntime ? runtime + "/" + program
                                    : QDir::tempPath() + "/" + program + "-" + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        refuse(path, std::strerror(errno));
    // Checked without following a link: a link planted in a shared folder must not redirect us.
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        refuse(path, std::strerror(errno));
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        refuse(path, "It is not a folder of this user.");
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        refuse(path, std::strerror(errno));
    return path + "/";
}

} // namespace platform::core
