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

AtomicFileWriter::AtomicFileWriter(const QString& path) : path_(path), file_(path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throwFileError(path, QStringLiteral("Its folder cannot be created."));
    // Unbuffered: a write that fails while a buffer is flushed at commit() goes unnoticed by
    // QSaveFile, which then renames a truncated file over the old one.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throwFileError(path, file_.errorString());
}

void AtomicFileWriter::write(std::string_view bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (file_.write(bytes.data(), size) != size) {
        const QString reason = file_.errorString();
        file_.cancelWriting();
        throwFileError(path_, reason);
    }
}

void AtomicFileWriter::commit()
{
    if (!file_.commit())
        throwFileError(path_, file_.errorString());
}

void WriteFileAtomically(const QString& path, std::string_view bytes)
{
    AtomicFileWriter file(path);
    file.write(bytes);
    file.commit();
}

} // namespace platform::core
