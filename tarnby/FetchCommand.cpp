// The fetch command of the window: Get, Abort and the name of the fetched document. The work
// without widgets (client settings, event handlers, document file, log lines) is PageFetch.
#include "httpprot/HttpCli.h"
#include "platform/core/TextCodec.h"
#include "platform/gui/RichEdit.h"
#include "tarnby/PaneText.h"
#include "tarnby/httptst1.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tarnby {

void THttpTestForm::setUpFetch()
{
    HttpCli1 = new httpprot::THttpCli(this);
    HttpCli1->setObjectName(QStringLiteral("HttpCli1"));
    fetch_ = std::make_unique<PageFetch>(*HttpCli1);
    fetch_->OnLog = [this](const std::string& line) {
        DisplayMemo->appendPlainText(platform::core::DecodeText(line).text);
    };
    fetch_->OnRequestDone = [this] { SetButtons(true); };
}

void THttpTestForm::MenuGetClick()
{
    // Enter in the URL box reaches here while a fetch runs; that fetch goes on undisturbed.
    if (fetch_->Busy())
        return;
    setStatus(QStringLiteral("Getting URL Source... Please Wait... Click Abort to Cancel"));
    DisplayMemo->clear();
    // The pane's text comes back with Undo.
    replacePane({});
    loadedPages_.clear();
    SetButtons(false);
    if (!fetch_->Fetch(URLEdit->text().toStdString())) {
        SetButtons(true);
        return;
    }
    std::string document = fetch_->ReadDocument();
    std::string pane;
    AppendLines(pane, document);
    // The HTML parser reads the page as it came, before lower-casing.
    loadedPages_ = {{std::move(document), fetch_->PageUrl(), fetch_->Client().ContentType()}};
    LowerCaseInPlace(pane);
    Memo1->setText(pane);
    Memo1->repaint();
    SetButtons(true);
    setStatus(QStringLiteral("Ready"));
}

void THttpTestForm::MenuAbortClick()
{
    HttpCli1->Abort();
}

QString THttpTestForm::documentName() const
{
    return QFile::decodeName(QByteArray::fromStdString(HttpCli1->DocumentName()));
}

} // namespace tarnby
