// TRichPrinter: properties, geometry and the device.
#include "richprint/richprint.h"

#include "platform/gui/PdfOutputFile.h"
#include "richprint/PrintProgressDialog.h"
#include "richprint/RichPreview.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <cmath>

namespace richprint {

int LineHeightFor(TLineSpacing spacing, int base)
{
    switch (spacing) {
    case TLineSpacing::lsHalfSpace:
        return base / 2;
    case TLineSpacing::lsSingleSpace:
        break;
    case TLineSpacing::lsSingleAndAHalf:
        return base + base / 2;
    case TLineSpacing::lsDoubleSpace:
        return 2 * base;
    }
    return base;
}

TRichPrinter::TRichPrinter(QObject* parent) : QObject(parent)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        printer_ = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(),
                                              QPrinter::HighResolution);
    surfaceFont_ = QFont(QStringLiteral("Courier New"));
    surfaceFont_.setPointSize(10);
    RefreshDevice();
    // Clamped into the paper of the printer (or the fallback paper).
    SetMarginTop(30);
    SetMarginBottom(25);
    SetMarginLeft(25);
    SetMarginRight(15);
    RecomputeLineHeight();
}

TRichPrinter::~TRichPrinter()
{
    delete progress_;
}

void TRichPrinter::SetPrinter(std::unique_ptr<QPrinter> printer)
{
    CheckNotPrinting("printer");
    printer_ = std::move(printer);
    pdfOutput_.reset();
    RefreshDevice();
    RecomputeLineHeight();
}

void TRichPrinter::SetPdfOutput(const QString& path, int resolution)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(resolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    // The unprintable strips of a typical laser printer, so PDF pages look like printed ones.
    printer->setPageMargins(QMarginsF(6, 6, 6, 7), QPageLayout::Millimeter);
    const QString title = printer_ ? printer_->docName() : QString();
    const QPageLayout::Orientation orientation
        = printer_ ? printer_->pageLayout().orientation() : QPageLayout::Portrait;
    printer->setDocName(title);
    printer->setPageOrientation(orientation);
    SetPrinter(std::move(printer));
    pdfOutput_ = std::make_unique<platform::gui::PdfOutputFile>(path);
}

void TRichPrinter::ApplyQuellinDefaults()
{
    SetMarginTop(30);
    SetMarginBottom(25);
    SetMarginLeft(25);
    SetMarginRight(15);
    SetLogoBox(0, 0, 25, 20);
    SetHeader(QStringLiteral("{$TITLE}"));
    SetHeaderFormat(QStringLiteral("<160"));
    SetFooter(QStringLiteral("- {$PAGE} -|{$DATE}, {$TIME}"));
    SetFooterFormat(QStringLiteral("<80|>80"));
    SetPageBorders(pbTop | pbBottom | pbLeft | pbRight);
    SetBorderOffset(2.0);
    // 83 pixels at 600 dpi is 10 point; the height scales with the printer's resolution.
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(std::max(1, int(std::lround(83.0 * layout_.ResolutionY() / 600))));
    SetFont_HeaderFooter(font);
    SetOptions_Dialog(poMargins);
}

void TRichPrinter::RefreshDevice()
{
    DeviceMetrics metrics;
    if (printer_) {
        metrics.present = true;
        metrics.dpiX = printer_->resolution();
        metrics.dpiY = printer_->resolution();
        const QRectF paper = printer_->paperRect(QPrinter::DevicePixel);
        const QRectF page = printer_->pageRect(QPrinter::DevicePixel);
        metrics.paperWidth = qRound(paper.width());
        metrics.paperHeight = qRound(paper.height());
        metrics.printableWidth = qRound(page.width());
        metrics.printableHeight = qRound(page.height());
        metrics.offsetX = qRound(page.left() - paper.left());
        metrics.offsetY = qRound(page.top() - paper.top());
    }
    layout_.SetDevice(metrics);
}

const PageLayout& TRichPrinter::Layout() const
{
    return layout_;
}

void TRichPrinter::CheckNotPrinting(const char* what) const
{
    if (state_ == State::Printing)
        throw ELinePrinter(std::string("Unable to change ") + what + " while printing");
}

void TRichPrinter::SetMarginTop(double value)
{
    CheckNotPrinting("top margin");
    layout_.SetMargin(MarginSide::Top, value);
}

void TRichPrinter::SetMarginBottom(double value)
{
    CheckNotPrinting("bottom margin");
    layout_.SetMargin(MarginSide::Bottom, value);
}

void TRichPrinter::SetMarginLeft(double value)
{
    CheckNotPrinting("left margin");
    layout_.SetMargin(MarginSide::Left, value);
}

void TRichPrinter::SetMarginRight(double value)
{
    CheckNotPrinting("right margin");
    layout_.SetMargin(MarginSide::Right, value);
}

void TRichPrinter::SetLogoBox(double top, double left, double width, double height)
{
    logoBox_[0] = top;
    logoBox_[1] = left;
    logoBox_[2] = width;
    logoBox_[3] = height;
}

void TRichPrinter::SetMeasureUnit(TMeasureUnit unit)
{
    layout_.SetMeasureUnit(unit, state_ != State::Printing);
}

void TRichPrinter::SetLineSpacing(TLineSpacing spacing)
{
    lineSpacing_ = spacing;
    RecomputeLineHeight();
}

void TRichPrinter::SetFont_HeaderFooter(const QFont& font)
{
    if (!printer_)
        return;
    surfaceFont_ = font;
    RecomputeLineHeight();
}

TPrinterOrientation TRichPrinter::Orientation() const
{
    if (printer_ && printer_->pageLayout().orientation() == QPageLayout::Landscape)
        return TPrinterOrientation::poLandscape;
    return TPrinterOrientation::poPortrait;
}

void TRichPrinter::SetOrientation(TPrinterOrientation orientation)
{
    CheckNotPrinting("orientation");
    if (!printer_)
        return;
    printer_->setPageOrientation(orientation == TPrinterOrientation::poLandscape
                                     ? QPageLayout::Landscape
                                     : QPageLayout::Portrait);
    RefreshDevice();
}

QString TRichPrinter::Title() const
{
    return printer_ ? printer_->docName() : QStringLiteral("<Unknown>");
}

void TRichPrinter::SetTitle(const QString& title)
{
    CheckNotPrinting("title");
    if (printer_)
        printer_->setDocName(title);
}

void TRichPrinter::SetOptions_Dialog(TPageOptions options)
{
    options_ = options;
    pageSetupFlags_ = DerivePageSetupFlags(options_, layout_.MeasureUnit());
}

QFont TRichPrinter::DocumentDeviceFont(const QFont& font) const
{
    if (font.pixelSize() <= 0)
        return DeviceFont(font);
    // The editor's pixels: as large on paper as on the screen, not a few printer dots high.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenDpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    QFont points(font);
    points.setPointSizeF(font.pixelSize() * 72.0 / screenDpi);
    return DeviceFont(points);
}

QFont TRichPrinter::DeviceFont(const QFont& font) const
{
    // Every property set explicitly: a painter fills properties a font leaves unset from the
    // device's own font, which text measuring does not.
    QFont f(font.families(), -1, font.weight(), font.italic());
    f.setUnderline(font.underline());
    f.setStrikeOut(font.strikeOut());
    if (font.pixelSize() > 0)
        f.setPixelSize(font.pixelSize());
    if (font.pointSizeF() > 0)
        f.setPixelSize(std::max(1, int(std::lround(font.pointSizeF() * layout_.ResolutionY() / 72))));
    // Unhinted outlines measure the same on the printer, in a page file and on the screen.
    f.setHintingPreference(QFont::PreferNoHinting);
    // Scripts that need shaping to be legible are still shaped; for the others shaping only
    // adds ligatures, and it is most of the time spent on a line.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

void TRichPrinter::SetSurfaceFont(const QFont& font, const QColor& colour)
{
    const bool newFont = font != font_ || !fontMetrics_ || fontDevice_ != (painter_ ? painter_->device() : nullptr);
    font_ = font;
    colour_ = colour;
    if (!painter_)
        return;
    painter_->setFont(font_);
    painter_->setPen(colour_);
    // Measured once per font: every line measures and draws in it.
    if (newFont) {
        fontDevice_ = painter_->device();
        fontMetrics_.emplace(font_, fontDevice_);
        fontMetricsF_.emplace(font_, fontDevice_);
    }
}

void TRichPrinter::RecomputeLineHeight()
{
    int base = 10;
    if (state_ != State::Idle && painter_ && fontMetrics_) {
        base = fontMetrics_->height() + fontMetrics_->leading();
        lineAscent_ = fontMetrics_->ascent();
    } else if (printer_) {
        base = QFontMetrics(DeviceFont(surfaceFont_)).height();
        lineAscent_ = base;
    } else {
        lineAscent_ = base;
    }
    lineHeight_ = LineHeightFor(lineSpacing_, base);
}

int TRichPrinter::TextWidth(const QString& text, const QFont& font) const
{
    if (!painter_)
        return 0;
    return qRound(QFontMetricsF(font, painter_->device()).horizontalAdvance(text));
}

void TRichPrinter::DrawText(int x, int y, const QString& text)
{
    if (!painter_ || text.isEmpty())
        return;
    painter_->drawText(QPoint(x, y + fontMetrics_->ascent()), text);
}

} // namespace richprint
