#include "platform/core/AtomicFile.h"

#include "base/Exception.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace platform::core {

namespace {

[[noreturn]] void throwFileError(const QString& path, const QString& reason)
{
    throw base::EFileError("Cannot write file \"" + path.toStdString() + "\". "
                           + reason.toStdString());
}

} // namespace

void WriteFileAtomically(const QString& path, std::string_view bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throwFileError(path, QStringLiteral("Its folder cannot be created."));
    QSaveFile file(path);
    // Unbuffered: a write that fails while a buffer is flushed at commit() goes unnoticed by
    // QSaveFile, which then renames a truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throwFileError(path, file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throwFileError(path, reason);
    }
    if (!file.commit())
        throwFileError(path, file.errorString());
}

} // namespace platform::core
