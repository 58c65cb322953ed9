#include "quellin/EditorFiles.h"

#include "base/Streams.h"
#include "platform/core/AtomicFile.h"
#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"

#include <QFile>
#include <QFileInfo>

namespace quellin {

namespace {

using namespace platform::gui;

const QString kFilter = QStringLiteral("Textdateien|*.txt;*.htm;*.html;*.phtml|Alle Dateien|*.*");
const QString kDefaultExtension = QStringLiteral("txt");

} // namespace

bool EditorFiles::confirm(const QString& question) const
{
    if (!editor_.modified())
        return true;
    return ShowMessage(Application::title(), question, MessageIcon::Question, Yes | No) == Yes;
}

void EditorFiles::newText()
{
    if (!confirm(QStringLiteral("Text changed - still clear?")))
        return;
    editor_.setText({});
    editor_.setModified(false);
    shape_ = {};
    localFolder_.clear();
}

void EditorFiles::open()
{
    if (!confirm(QStringLiteral("Text changed - still open new?")))
        return;
    OpenFileRequest request;
    request.title = QStringLiteral("Datei von lokalen Laufwerk öffnen");
    request.filters = ParseFileFilter(kFilter);
    request.defaultSuffix = kDefaultExtension;
    const OpenFileResult answer = dialogs().openFiles(request);
    if (!answer.accepted())
        return;
    const std::string bytes = base::ReadWholeFile(QFile::encodeName(answer.files.front()).toStdString());
    editor_.setText(bytes);
    editor_.setModified(false);
    shape_ = ShapeOf(bytes);
    localFolder_ = QFileInfo(answer.files.front()).absolutePath();
}

void EditorFiles::save()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Datei auf lokales Laufwerk speichern");
    request.filters = ParseFileFilter(kFilter);
    request.defaultSuffix = kDefaultExtension;
    const SaveFileResult answer = dialogs().saveFile(request);
    if (!answer.accepted())
        return;
    platform::core::WriteFileAtomically(answer.file, ApplyShape(editor_.text(), shape_));
    editor_.setModified(false);
    localFolder_ = QFileInfo(answer.file).absolutePath();
}

} // namespace quellin
