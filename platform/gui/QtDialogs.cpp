#include "platform/gui/QtDialogs.h"

#include "platform/gui/FindReplaceDialog.h"
#include "platform/gui/PageSetupDialog.h"
#include "platform/gui/PasswordDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

namespace platform::gui {

namespace {

QWidget* parentWindow() { return QApplication::activeWindow(); }

QMessageBox::StandardButton toQt(MessageButton button)
{
    switch (button) {
    case Ok: return QMessageBox::Ok;
    case Cancel: return QMessageBox::Cancel;
    case Yes: return QMessageBox::Yes;
    case No: return QMessageBox::No;
    case Abort: return QMessageBox::Abort;
    case Retry: return QMessageBox::Retry;
    case Ignore: return QMessageBox::Ignore;
    case NoButton: break;
    }
    return QMessageBox::NoButton;
}

constexpr MessageButton kAllButtons[] = {Ok, Cancel, Yes, No, Abort, Retry, Ignore};

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QStringList nameFilters(const std::vector<FileFilter>& filters)
{
    QStringList result;
    for (const FileFilter& f : filters)
        result << QtNameFilter(f);
    return result;
}

// The dialog names the chosen filter by its whole text or, with the details hidden, by the
// description it shows.
int filterIndexOf(const QStringList& filters, const QString& selected)
{
    for (qsizetype i = 0; i < filters.size(); ++i)
        if (filters[i] == selected || filters[i].startsWith(selected + QStringLiteral(" (")))
            return static_cast<int>(i);
    return 0;
}

// The dialog shows each filter's description exactly as the program spells it ("Web files
// (*.htm;*.html;*.asp)"); Qt's own pattern list, which it needs for filtering, stays hidden.
void selectFilter(QFileDialog& dialog, const QStringList& filters, int index)
{
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(index, filters.front()));
    }
}

} // namespace

QString QtNameFilter(const FileFilter& filter)
{
    QStringList patterns;
    for (const QString& p : filter.patterns)
        patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
    return filter.description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

MessageButton QtDialogs::message(const MessageRequest& request)
{
    QMessageBox box(toQt(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    parentWindow());
    for (const MessageButton b : kAllButtons)
        if (request.buttons & b)
            box.addButton(toQt(b));
    if (request.defaultButton != NoButton)
        box.setDefaultButton(toQt(request.defaultButton));
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const MessageButton b : kAllButtons)
        if (toQt(b) == clicked)
            return b;
    // Closed with Escape or the title bar: the cancelling answer the box offers.
    if (request.buttons & Cancel)
        return Cancel;
    return (request.buttons & No) ? No : Ok;
}

OpenFileResult QtDialogs::openFiles(const OpenFileRequest& request)
{
    QFileDialog dialog(parentWindow(), request.title, request.folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!request.mustExist)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QStringList filters = nameFilters(request.filters);
    selectFilter(dialog, filters, request.filterIndex);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.selectedFiles(), filterIndexOf(filters, dialog.selectedNameFilter())};
}

SaveFileResult QtDialogs::saveFile(const SaveFileRequest& request)
{
    QFileDialog dialog(parentWindow(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QStringList filters = nameFilters(request.filters);
    selectFilter(dialog, filters, request.filterIndex);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().front(), filterIndexOf(filters, dialog.selectedNameFilter())};
}

std::optional<QFont> QtDialogs::chooseFont(const QFont& initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parentWindow());
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial)
{
    const QColor colour = QColorDialog::getColor(initial, parentWindow());
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

bool QtDialogs::setupPrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, parentWindow());
    // A page range set on the printer beforehand is offered as the range to choose from.
    if (printer.fromPage() > 0) {
        dialog.setMinMax(printer.fromPage(), printer.toPage());
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    }
    return dialog.exec() == QDialog::Accepted;
}

PageSetupResult QtDialogs::pageSetup(const PageSetupRequest& request, QPrinter* printer)
{
    return RunPageSetupDialog(request, printer, parentWindow());
}

std::optional<QString> QtDialogs::input(const InputRequest& request)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parentWindow(), request.caption, request.prompt,
                                               QLineEdit::Normal, request.text, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<PasswordResult> QtDialogs::password(const PasswordRequest& request)
{
    PasswordDialog dialog(request, parentWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}

bool QtDialogs::showFindReplace(const FindReplaceRequest& request, FindReplaceHandler onAction)
{
    // At most one dialog of each kind, as with the system's own modeless dialogs.
    static QPointer<FindReplaceDialog> open[2];
    QPointer<FindReplaceDialog>& dialog = open[request.replace ? 1 : 0];
    if (!dialog)
        dialog = new FindReplaceDialog(request, parentWindow());
    dialog->setHandler(std::move(onAction));
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

} // namespace platform::gui
