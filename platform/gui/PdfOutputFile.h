#pragma once
// A PDF that appears under its name only when it was written completely: the printer writes
// into a hidden temporary file beside the target, which commit() checks (a PDF ends with its
// "%%EOF" marker) and renames over the target. Anything else (a failed job, a full disk, a
// destructor before commit) removes the temporary file and leaves the target as it was.
#include <QString>

namespace platform::gui {

class PdfOutputFile {
public:
    explicit PdfOutputFile(QString target);
    ~PdfOutputFile();
    PdfOutputFile(const PdfOutputFile&) = delete;
    PdfOutputFile& operator=(const PdfOutputFile&) = delete;

    const QString& target() const { return target_; }

    // Creates the temporary file and returns its name for the printer. Throws base::EFileError
    // naming the target and the reason (a missing folder, no permission).
    QString begin();
    // Throws base::EFileError when the temporary file is incomplete or cannot be renamed.
    void commit();
    void discard();

private:
    QString target_;
    QString temporary_;
};

} // namespace platform::gui
