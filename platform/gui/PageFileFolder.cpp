#include "platform/gui/PageFileFolder.h"

#include <QDir>

namespace platform::gui {

namespace {

QString ParentFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath();
}

} // namespace

// QTemporaryDir creates its folder with mode 0700.
PageFileFolder::PageFileFolder() : dir_(ParentFolder() + QStringLiteral("/print-preview-XXXXXX"))
{
}

PageFileFolder::~PageFileFolder() = default;

QString PageFileFolder::pageFile(const QString& baseName, int index) const
{
    return dir_.filePath(baseName + QString::number(index));
}

} // namespace platform::gui
