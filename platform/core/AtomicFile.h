#pragma once
// Replacing a file's content all at once: the bytes go to a temporary file beside it, which is
// renamed over the old file only when everything was written, so a failure (full disk, no
// permission) leaves the old file as it was. Missing folders are created.
#include <QSaveFile>
#include <QString>
#include <string_view>

namespace platform::core {

// The same for a content that arrives in pieces: path is replaced only by commit(); a writer
// destroyed without it leaves the old file as it was and no temporary file behind.
class AtomicFileWriter {
public:
    // Each throws base::EFileError naming the file and the reason.
    explicit AtomicFileWriter(const QString& path);
    void write(std::string_view bytes);
    void commit();

private:
    QString path_;
    QSaveFile file_;
};

// Throws base::EFileError naming the file and the reason.
void WriteFileAtomically(const QString& path, std::string_view bytes);

} // namespace platform::core
