#include "platform/gui/PdfOutputFile.h"

#include "base/Exception.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace platform::gui {

namespace {

[[noreturn]] void throwFileError(const QString& path, const QString& reason)
{
    throw base::EFileError("Cannot write file \"" + path.toStdString() + "\". "
                           + reason.toStdString());
}

bool EndsWithEofMarker(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 5)
        return false;
    file.seek(std::max<qint64>(0, file.size() - 32));
    return file.readAll().contains("%%EOF");
}

} // namespace

PdfOutputFile::PdfOutputFile(QString target) : target_(std::move(target)) {}

PdfOutputFile::~PdfOutputFile()
{
    discard();
}

QString PdfOutputFile::begin()
{
    discard();
    const QFileInfo info(target_);
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                        + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        throwFileError(target_, file.errorString());
    temporary_ = file.fileName();
    return temporary_;
}

void PdfOutputFile::commit()
{
    if (temporary_.isEmpty())
        throwFileError(target_, QStringLiteral("Nothing was printed."));
    if (!EndsWithEofMarker(temporary_)) {
        discard();
        throwFileError(target_, QStringLiteral("The document was not written completely."));
    }
    // The temporary file was made private; the document gets the usual mode of a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(temporary_).constData(), 0666 & ~mask);
    // rename() replaces an existing target in one step.
    if (std::rename(QFile::encodeName(temporary_).constData(),
                    QFile::encodeName(target_).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        discard();
        throwFileError(target_, reason);
    }
    temporary_.clear();
}

void PdfOutputFile::discard()
{
    if (temporary_.isEmpty())
        return;
    QFile::remove(temporary_);
    temporary_.clear();
}

} // namespace platform::gui
