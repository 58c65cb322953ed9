#pragma once
// A private folder (mode 0700, under $XDG_RUNTIME_DIR or the system's temporary folder) that
// holds the page files of one print preview, so two previews never share files. Removing it
// removes exactly the files that preview wrote.
#include <QString>
#include <QTemporaryDir>

namespace platform::gui {

class PageFileFolder {
public:
    PageFileFolder();
    ~PageFileFolder();
    PageFileFolder(const PageFileFolder&) = delete;
    PageFileFolder& operator=(const PageFileFolder&) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString folder() const { return dir_.path(); }
    // "<folder>/<baseName><index>".
    QString pageFile(const QString& baseName, int index) const;

private:
    QTemporaryDir dir_;
};

} // namespace platform::gui
