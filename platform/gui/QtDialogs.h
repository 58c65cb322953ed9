#pragma once
// The real dialogs: Qt's message box and standard dialogs, parented to the active window.
#include "platform/gui/Dialogs.h"

namespace platform::gui {

class QtDialogs : public Dialogs {
public:
    MessageButton message(const MessageRequest& request) override;
    OpenFileResult openFiles(const OpenFileRequest& request) override;
    SaveFileResult saveFile(const SaveFileRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    bool setupPrinter(QPrinter& printer) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<PasswordResult> password(const PasswordRequest& request) override;
    bool showFindReplace(const FindReplaceRequest& request, FindReplaceHandler onAction) override;
    PageSetupResult pageSetup(const PageSetupRequest& request, QPrinter* printer) override;
};

// A filter as Qt's file dialog wants it: the description as the program spells it, then the
// patterns in Qt's form, "Web files (*.htm;*.html) (*.htm *.html)"; the dialog shows only the
// description. "*.*" means every file, as it did where the filters were written, so it
// becomes "*".
QString QtNameFilter(const FileFilter& filter);

} // namespace platform::gui
