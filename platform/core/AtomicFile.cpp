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
    if (!file.open(QIODevice::WriteOnly))
        throwFileError(path, file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size || !file.commit())
        throwFileError(path, file.errorString());
}

} // namespace platform::core
