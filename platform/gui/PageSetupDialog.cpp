#include "platform/gui/PageSetupDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace platform::gui {

namespace {

QSpinBox* MarginBox(int value, bool inches, const QString& name)
{
    auto* box = new QSpinBox;
    box->setRange(0, inches ? 20000 : 50000);
    box->setValue(value);
    box->setSuffix(inches ? QStringLiteral(" / 1000 in") : QStringLiteral(" / 100 mm"));
    box->setAccessibleName(name);
    return box;
}

const QPageSize::PageSizeId kPapers[] = {QPageSize::A4, QPageSize::Letter, QPageSize::Legal,
                                         QPageSize::A5, QPageSize::A3};

} // namespace

PageSetupResult RunPageSetupDialog(const PageSetupRequest& request, QPrinter* printer,
                                   QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Page Setup"));
    auto* layout = new QVBoxLayout(&dialog);

    auto* printers = new QComboBox;
    printers->setAccessibleName(QStringLiteral("Printer"));
    printers->addItems(QPrinterInfo::availablePrinterNames());
    if (printer && !printer->printerName().isEmpty())
        printers->setCurrentText(printer->printerName());
    printers->setEnabled(!request.disablePrinter && printer && printers->count() > 0);
    auto* paper = new QComboBox;
    paper->setAccessibleName(QStringLiteral("Paper size"));
    for (QPageSize::PageSizeId id : kPapers)
        paper->addItem(QPageSize::name(id), int(id));
    if (printer)
        paper->setCurrentIndex(std::max(0, paper->findData(int(printer->pageLayout().pageSize().id()))));
    paper->setEnabled(!request.disablePaper && printer);
    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("&Printer:"), printers);
    top->addRow(QStringLiteral("Paper si&ze:"), paper);
    layout->addLayout(top);

    auto* orientation = new QGroupBox(QStringLiteral("Orientation"));
    auto* portrait = new QRadioButton(QStringLiteral("P&ortrait"));
    auto* landscape = new QRadioButton(QStringLiteral("L&andscape"));
    (request.portrait ? portrait : landscape)->setChecked(true);
    auto* orientationLayout = new QVBoxLayout(orientation);
    orientationLayout->addWidget(portrait);
    orientationLayout->addWidget(landscape);
    orientation->setEnabled(!request.disableOrientation);
    layout->addWidget(orientation);

    const bool inches = request.thousandthsOfInches;
    auto* margins = new QGroupBox(inches ? QStringLiteral("Margins (inches)")
                                         : QStringLiteral("Margins (millimeters)"));
    auto* left = MarginBox(request.marginLeft, inches, QStringLiteral("Left margin"));
    auto* right = MarginBox(request.marginRight, inches, QStringLiteral("Right margin"));
    auto* topMargin = MarginBox(request.marginTop, inches, QStringLiteral("Top margin"));
    auto* bottom = MarginBox(request.marginBottom, inches, QStringLiteral("Bottom margin"));
    auto* marginLayout = new QFormLayout(margins);
    marginLayout->addRow(QStringLiteral("&Left:"), left);
    marginLayout->addRow(QStringLiteral("&Right:"), right);
    marginLayout->addRow(QStringLiteral("&Top:"), topMargin);
    marginLayout->addRow(QStringLiteral("&Bottom:"), bottom);
    margins->setEnabled(!request.disableMargins);
    layout->addWidget(margins);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    dialog.adjustSize();
    if (const QScreen* screen = dialog.screen()) {
        const QRect s = screen->geometry();
        dialog.move(s.x() + (s.width() - dialog.width()) / 2,
                    s.y() + (s.height() - dialog.height()) / 3);
    }
    PageSetupResult result{false, request.marginLeft, request.marginTop, request.marginRight,
                           request.marginBottom, request.portrait};
    if (dialog.exec() != QDialog::Accepted)
        return result;
    result.accepted = true;
    result.marginLeft = left->value();
    result.marginTop = topMargin->value();
    result.marginRight = right->value();
    result.marginBottom = bottom->value();
    result.portrait = portrait->isChecked();
    if (printer) {
        if (printers->isEnabled() && printers->currentText() != printer->printerName())
            printer->setPrinterName(printers->currentText());
        if (paper->isEnabled())
            printer->setPageSize(QPageSize(QPageSize::PageSizeId(paper->currentData().toInt())));
    }
    return result;
}

} // namespace platform::gui
