#pragma once
// The editor's file commands New, Open and Save with their confirmations and dialogs. Open
// remembers the file's shape, so a file opened and saved unchanged is written back byte for
// byte. None of them touches the remote file name shown above the editor.
#include "platform/gui/RichEdit.h"
#include "quellin/TextShape.h"

namespace quellin {

class EditorFiles {
public:
    explicit EditorFiles(platform::gui::RichEdit& editor) : editor_(editor) {}

    // A modified text is cleared only after "Text changed - still clear?" is answered Yes.
    void newText();
    // A modified text is replaced only after "Text changed - still open new?" is answered Yes
    // and a file was chosen. File errors propagate; the editor then keeps its text.
    void open();
    // Asks for a name and writes the text there (replacing the file atomically).
    void save();
    // The editor's text was read elsewhere (a remote file): a later Save keeps its shape.
    void adoptShape(const TextShape& shape)
    {
        shape_ = shape;
        localFolder_.clear();
    }
    // The shape Save writes the text in.
    const TextShape& shape() const { return shape_; }
    // The folder of the local file the text was opened from or last saved to; empty for a new
    // or a remote text. The HTML check looks for the page's relative files there.
    const QString& localFolder() const { return localFolder_; }

private:
    bool confirm(const QString& question) const;

    platform::gui::RichEdit& editor_;
    TextShape shape_;
    QString localFolder_;
};

} // namespace quellin
