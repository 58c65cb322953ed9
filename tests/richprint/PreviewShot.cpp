// Shows the print preview of a file on the X server and saves the screen as PNG, for the
// documentation: richprint_preview_shot FILE OUT.png [NEXT_PAGES]
#include "richprint/RichPreview.h"
#include "richprint/TRECode.h"
#include "richprint/richprint.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    richprint::TSRichEdit edit;
    edit.loadFromFile(args[1].toStdString());
    richprint::TRichPrinter printer;
    printer.ApplyQuellinDefaults();
    printer.SetTitle(QFileInfo(args[1]).fileName());
    richprint::TRichPreviewForm* form = printer.PreviewRichEdit(edit);
    for (int i = 0; i < (args.size() > 3 ? args[3].toInt() : 0); ++i)
        form->PreviousPage();
    QTest::qWait(1500);
    const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(args[2]);
    delete form;
    return saved ? 0 : 1;
}
