// The editor's file, search, print and macro commands.
#include "quellin/ftp_main.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/CaretDisplay.h"
#include "quellin/HtmlMenu.h"
#include "makro/u_makro.h"
#include "richprint/TRECode.h"
#include "richprint/richprint.h"

#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QToolButton>

namespace quellin {

namespace {

// The editor stays hidden while the print engine reads it, and comes back however the job ends.
class HiddenWhileInUse {
public:
    explicit HiddenWhileInUse(QWidget* widget) : widget_(widget) { widget_->hide(); }
    ~HiddenWhileInUse() { widget_->show(); }
    HiddenWhileInUse(const HiddenWhileInUse&) = delete;
    HiddenWhileInUse& operator=(const HiddenWhileInUse&) = delete;

private:
    QWidget* widget_;
};

QAction* addItem(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    return action;
}

// Just below the button.
void popUpBelow(QMenu* menu, QWidget* button)
{
    menu->popup(button->mapToGlobal(QPoint(0, 25)));
}

// The printer the print dialogs set up: the engine's, or a new one when it has none.
QPrinter& enginePrinter(richprint::TRichPrinter& engine)
{
    if (!engine.Printer())
        engine.SetPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution));
    return *engine.Printer();
}

} // namespace

void Tmainform::buildEditorTools()
{
    Files = std::make_unique<EditorFiles>(*Memo);
    Search = std::make_unique<SearchReplace>(*Memo);
    AddHtmlMenuItems(*PMHTML, [this](const QString& section) { InsertSnippet(*Memo, section); });
    ShowCaretOnKeyRelease(*Memo, [this](const QString& text) { showCaretPosition(text); });

    RichPrinter1 = new richprint::TRichPrinter(this);
    RichPrinter1->ApplyQuellinDefaults();
    connect(addItem(PMPrint, "Print1", "&Print"), &QAction::triggered, this, [this] { Print1Click(); });
    connect(addItem(PMPrint, "Dialogprint1", "Print with &Dialog"), &QAction::triggered, this,
            [this] { Dialogprint1Click(); });
    connect(addItem(PMPrint, "Preview1", "Pre&view"), &QAction::triggered, this, [this] { Preview1Click(); });
    connect(addItem(PMPrtDlgs, "Printersetup1", "Printer setup"), &QAction::triggered, this,
            [this] { Printersetup1Click(); });
    connect(addItem(PMPrtDlgs, "PageAdjust1", "Page &Adjust"), &QAction::triggered, this,
            [this] { PageAdjust1Click(); });
}

void Tmainform::SBNeuClick() { Files->newText(); }
void Tmainform::SBOeffnenClick() { Files->open(); }
void Tmainform::SBSpeichernClick() { Files->save(); }
void Tmainform::SBSuchenClick() { Search->showFind(); }
void Tmainform::SBErsetzenClick() { Search->showReplace(); }
void Tmainform::SBDruckenClick() { popUpBelow(PMPrint, SBDrucken); }
void Tmainform::SBDruckEinrichtenClick() { popUpBelow(PMPrtDlgs, SBDruckEinrichten); }

void Tmainform::Print1Click()
{
    RichPrinter1->SetTitle(EditTempName->text());
    HiddenWhileInUse hidden(Memo);
    RichPrinter1->PrintRichEdit(*Memo, 1);
}

void Tmainform::Dialogprint1Click()
{
    // The printer and the output file chosen in the dialog are the engine's printer's own.
    if (platform::gui::dialogs().setupPrinter(enginePrinter(*RichPrinter1)))
        Print1Click();
}

void Tmainform::Preview1Click()
{
    RichPrinter1->SetTitle(EditTempName->text());
    HiddenWhileInUse hidden(Memo);
    RichPrinter1->PreviewRichEdit(*Memo);
}

void Tmainform::Printersetup1Click()
{
    platform::gui::dialogs().setupPrinter(enginePrinter(*RichPrinter1));
}

void Tmainform::PageAdjust1Click() { RichPrinter1->PageSetupDialog(); }
void Tmainform::Makroeingeben1Click()
{
    if (MacroWindow)
        MacroWindow->exec();
}

void Tmainform::Makroausfhren1Click()
{
    if (MacroWindow)
        MacroWindow->BtnExcecuteClick();
}

} // namespace quellin
