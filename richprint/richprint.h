#pragma once
// TRichPrinter: prints the text of a TSRichEdit line by line, like a line printer that knows
// character formats. It lays out pages between margins with a header, a footer, a logo and
// page borders on every page, wraps or cuts over-long lines, expands tabs and shows its
// progress. The same layout draws into page files for the print preview.
//
// The engine works in the printer's device pixels; lengths the user sets are in MeasureUnit.
// Without a printer the fallback geometry (A4 or Letter), resolution 600 and title
// "<Unknown>" apply, and previews still work.
//
// States: idle, or inside one job (printing or previewing) from BeginDoc to EndDoc within one
// call of PrintRichEdit/PreviewRichEdit. Every failure, wherever it happens, leaves the engine
// idle again: the printer document is aborted, the progress dialog closed, preview mode left.
#include "base/Exception.h"
#include "richprint/Columns.h"
#include "richprint/PageLayout.h"
#include "richprint/PageSetupFlags.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QPicture;
class QPrinter;
class QSize;

namespace platform::gui {
class PdfOutputFile;
}

namespace richprint {

class TSRichEdit;
class TRichPreviewForm;
class TRichPrntProgDlg;
struct FormatRun;

// The one failure of a print job, carrying the message the user sees.
class ELinePrinter : public base::Exception {
public:
    using Exception::Exception;
};

enum class TLineSpacing { lsHalfSpace, lsSingleSpace, lsSingleAndAHalf, lsDoubleSpace };
enum TPageBorder : unsigned { pbTop = 1, pbBottom = 2, pbLeft = 4, pbRight = 8 };
using TPageBorders = unsigned;
enum class TPrinterOrientation { poPortrait, poLandscape };

// Base line height b turned into the line pitch.
int LineHeightFor(TLineSpacing spacing, int base);

class TRichPrinter : public QObject {
    Q_OBJECT
public:
    // Takes the system's default printer when one is installed, else works without a printer.
    explicit TRichPrinter(QObject* parent = nullptr);
    ~TRichPrinter() override;

    // nullptr: no printer. The engine owns the printer.
    void SetPrinter(std::unique_ptr<QPrinter> printer);
    QPrinter* Printer() const { return printer_.get(); }
    // A PDF printer at `resolution` dpi on A4 writing to path; the file appears only complete.
    void SetPdfOutput(const QString& path, int resolution = 600);

    // Quellin's instance values (see the header comment of each in docs/richprint.md).
    void ApplyQuellinDefaults();

    // --- properties ---------------------------------------------------------------------
    QImage BitmapLogo() const { return logo_; }
    void SetBitmapLogo(const QImage& image) { logo_ = image; }
    double MarginTop() const { return layout_.Margin(MarginSide::Top); }
    double MarginBottom() const { return layout_.Margin(MarginSide::Bottom); }
    double MarginLeft() const { return layout_.Margin(MarginSide::Left); }
    double MarginRight() const { return layout_.Margin(MarginSide::Right); }
    // Clamped into the paper; throw ELinePrinter while a real print job runs.
    void SetMarginTop(double value);
    void SetMarginBottom(double value);
    void SetMarginLeft(double value);
    void SetMarginRight(double value);
    double LogoTop() const { return logoBox_[0]; }
    double LogoLeft() const { return logoBox_[1]; }
    double LogoWidth() const { return logoBox_[2]; }
    double LogoHeight() const { return logoBox_[3]; }
    void SetLogoBox(double top, double left, double width, double height);
    TMeasureUnit MeasureUnit() const { return layout_.MeasureUnit(); }
    void SetMeasureUnit(TMeasureUnit unit);
    TLineSpacing LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(TLineSpacing spacing);
    // 0 expands every tab to one blank (the value is kept as given).
    unsigned TabSize() const { return tabSize_; }
    void SetTabSize(unsigned size) { tabSize_ = size; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on) { wordWrap_ = on; }
    QString Header() const { return header_; }
    void SetHeader(const QString& value) { header_ = value; }
    QString Footer() const { return footer_; }
    void SetFooter(const QString& value) { footer_ = value; }
    QString HeaderFormat() const { return headerFormat_; }
    void SetHeaderFormat(const QString& value) { headerFormat_ = value; }
    QString FooterFormat() const { return footerFormat_; }
    void SetFooterFormat(const QString& value) { footerFormat_ = value; }
    TPageBorders PageBorders() const { return pageBorders_; }
    void SetPageBorders(TPageBorders borders) { pageBorders_ = borders; }
    bool ShowProgress() const { return showProgress_; }
    void SetShowProgress(bool on) { showProgress_ = on; }
    bool PlainText() const { return plainText_; }
    void SetPlainText(bool on) { plainText_ = on; }
    // The printer surface's font; ignored without a printer.
    QFont Font_HeaderFooter() const { return surfaceFont_; }
    void SetFont_HeaderFooter(const QFont& font);
    // The printer's; portrait without one. Throws while printing; ignored without a printer.
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation orientation);
    // The printer's job title; "<Unknown>" without one. Throws while printing.
    QString Title() const;
    void SetTitle(const QString& title);
    double BorderOffset() const { return layout_.BorderOffset(); }
    void SetBorderOffset(double value) { layout_.SetBorderOffset(value); }
    double GutterTop() const { return layout_.GutterTop(); }
    double GutterBottom() const { return layout_.GutterBottom(); }
    double GutterLeft() const { return layout_.GutterLeft(); }
    double GutterRight() const { return layout_.GutterRight(); }
    TPageOptions Options_Dialog() const { return options_; }
    void SetOptions_Dialog(TPageOptions options);
    // The page setup dialog's flags; 0 until Options_Dialog is assigned.
    unsigned PageSetupFlags() const { return pageSetupFlags_; }
    int LineHeight() const { return lineHeight_; }
    const PageLayout& Layout() const;

    std::function<void()> OnBeginDoc;
    std::function<void()> OnEndDoc;
    std::function<void()> OnNewLine;
    std::function<void()> OnNewPage;

    // --- operations ---------------------------------------------------------------------
    void PrintRichEdit(TSRichEdit& edit, int firstPage);
    // Prints several edits as one job (one document): each starts on a new page numbered from
    // 1, with its own title in "{$TITLE}".
    struct Section {
        TSRichEdit* edit = nullptr;
        QString title;
    };
    void PrintSections(const std::vector<Section>& sections);
    // Opens a preview window that owns its page files; returns it (it frees itself on close).
    TRichPreviewForm* PreviewRichEdit(TSRichEdit& edit);
    bool PageSetupDialog();
    // One print job of one page file (the preview's printing), drawn over the whole paper.
    void PrintPage(const QPicture& page, const QSize& pageSize);
    // One print job of several page files, one sheet each, in their order.
    void PrintPages(const std::vector<QPicture>& pages, const QSize& pageSize);
    // Whether a job ends as a file (a PDF output, or the printer set to print to a file), so
    // that jobs one after the other would overwrite each other.
    bool PrintsToFile() const;

    void LoadSettings();
    void SaveSettings();
    QString ExpandPlaceholders(const QString& text) const;

    bool Printing() const { return state_ == State::Printing; }
    bool Previewing() const { return state_ == State::Previewing; }
    int PageNumber() const { return pageNumber_; }

private:
    enum class State { Idle, Printing, Previewing };

    void RefreshDevice();
    void CheckNotPrinting(const char* what) const;
    TextArea Area() const { return layout_.Area(lineHeight_); }

    // Job.
    void RunJob(const std::vector<Section>& sections, int firstPage);
    void BeginDoc();
    void EndDoc();
    void BeginPrinterDocument();
    std::optional<ELinePrinter> EndPrinterDocument();
    void AbortJob();
    void StartPage();
    void NewLine();
    void NewPage();
    void BreakPage(int nextPageNumber);
    QString CurrentTitle() const;
    void PrintSection(TSRichEdit& edit);
    void ShowStatus(const QString& text);
    void DrawBorders(const TextArea& area);

    // Fonts and metrics on the current surface.
    // A font in device pixels: point sizes are converted, pixel sizes taken as device pixels
    // (the surface's own fonts are given in them).
    QFont DeviceFont(const QFont& font) const;
    // The same for a font of the document, whose pixel sizes are the screen's.
    QFont DocumentDeviceFont(const QFont& font) const;
    void SetSurfaceFont(const QFont& font, const QColor& colour = Qt::black);
    void RecomputeLineHeight();
    int TextWidth(const QString& text, const QFont& font) const;
    void DrawText(int x, int y, const QString& text);

    // Lines.
    void PlainLoop(TSRichEdit& edit);
    void RichLoop(TSRichEdit& edit);
    void WriteLine(const QString& text);
    void WritePlainPart(const QString& text);
    struct RichParagraph;
    struct DeviceFontEntry {
        QFont font;
        QFontMetricsF metrics;
    };
    // A document font converted for the device, with its metrics; formatted texts use few.
    const DeviceFontEntry& CachedDeviceFont(const QFont& font);
    void WriteRichParagraph(const QString& text, const std::vector<FormatRun>& runs);
    void WriteRichLine(const RichParagraph& paragraph, int start, int length);

    // Header, footer, logo.
    void WriteColumns(const QString& templ, const QString& format);
    void DrawLogo(const TextArea& area);

    // Preview pages.
    void OpenPageMetafile();
    void HandOverPage(bool openNext);

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<platform::gui::PdfOutputFile> pdfOutput_;
    PageLayout layout_;
    QImage logo_;
    double logoBox_[4] = {0, 0, 25, 20};
    TLineSpacing lineSpacing_ = TLineSpacing::lsSingleSpace;
    unsigned tabSize_ = 8;
    bool wordWrap_ = true;
    QString header_ = QStringLiteral("{$TITLE}");
    QString footer_ = QStringLiteral("Page {$PAGE}");
    QString headerFormat_ = QStringLiteral(">100");
    QString footerFormat_ = QStringLiteral(">100");
    TPageBorders pageBorders_ = 0;
    bool showProgress_ = true;
    bool plainText_ = false;
    QFont surfaceFont_;
    TPageOptions options_ = poMargins;
    unsigned pageSetupFlags_ = 0;

    // Job state.
    State state_ = State::Idle;
    std::unique_ptr<QPainter> painter_;
    QFont font_;             // the surface's current font (device pixels)
    // Metrics of font_ on the current surface (set with the font while a painter is active).
    std::optional<QFontMetrics> fontMetrics_;
    std::optional<QFontMetricsF> fontMetricsF_;
    const QPaintDevice* fontDevice_ = nullptr;
    QColor colour_ = Qt::black;
    QFont headerFooterFont_; // copied at the start of each job
    QFont bodyFont_;         // the plain loop's document font
    QFont previewFont_;
    QHash<QFont, DeviceFontEntry> deviceFonts_;
    int lineHeight_ = 10;
    int lineAscent_ = 10;
    int firstPage_ = 1;
    int pageNumber_ = 1;
    int lineCounter_ = 0;
    int x_ = 0;
    int y_ = 0;
    QString sectionTitle_;
    std::unique_ptr<QPicture> page_;
    QPointer<TRichPreviewForm> preview_;
    QPointer<TRichPrntProgDlg> progress_;
};

} // namespace richprint
