// The window's "Check links": the pane's link lines checked in the event loop (the window
// stays responsive), progress in the status bar, Cancel, and one Undo step for the results.
// The work without widgets is check::PaneCheck.
#include "platform/gui/RichEdit.h"
#include "tarnby/check/CheckReport.h"
#include "tarnby/check/PaneCheck.h"
#include "tarnby/httptst1.h"

#include <QAction>
#include <QPushButton>
#include <QStatusBar>

namespace tarnby {

THttpTestForm::~THttpTestForm() = default;

bool THttpTestForm::checkingLinks() const
{
    return paneCheck_ && paneCheck_->running();
}

void THttpTestForm::MenuCheckLinksClick()
{
    if (checkingLinks())
        return;
    paneCheck_ = std::make_unique<check::PaneCheck>(Memo1->text(), check::CheckSettings{});
    if (paneCheck_->linkCount() == 0) {
        paneCheck_.reset();
        setStatus(QStringLiteral("No URL|text lines to check"));
        return;
    }
    const int total = paneCheck_->linkCount();
    paneCheck_->OnProgress = [this, total](int done, int addresses) {
        StatusBar1->showMessage(QStringLiteral("Checking %1 links: %2 of %3 addresses done")
                                    .arg(total)
                                    .arg(done)
                                    .arg(addresses));
    };
    paneCheck_->OnFinished = [this] {
        const std::string text = paneCheck_->resultText();
        const QString summary = QString::fromStdString(check::SummaryLine(paneCheck_->summary()));
        Memo1->setReadOnly(false);
        replacePane(text);
        endCheck(QStringLiteral("Checked: ") + summary);
    };
    Memo1->setReadOnly(true);
    MenuCheckLinks->setEnabled(false);
    MenuCancelCheck->setEnabled(true);
    CancelCheckButton->show();
    setStatus(QStringLiteral("Checking %1 links...").arg(total));
    paneCheck_->start();
}

void THttpTestForm::MenuCancelCheckClick()
{
    if (!checkingLinks())
        return;
    paneCheck_->cancel();
    Memo1->setReadOnly(false);
    endCheck(QStringLiteral("Link check cancelled"));
}

// Leaves the checker to be freed from the event loop: this may run inside its own event.
void THttpTestForm::endCheck(const QString& status)
{
    MenuCheckLinks->setEnabled(true);
    MenuCancelCheck->setEnabled(false);
    CancelCheckButton->hide();
    setStatus(status);
    if (paneCheck_) {
        check::PaneCheck* finished = paneCheck_.release();
        finished->OnFinished = nullptr;
        finished->OnProgress = nullptr;
        finished->deleteLater();
    }
}

} // namespace tarnby
