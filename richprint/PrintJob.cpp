// TRichPrinter: the job, its pages and lines, the progress dialog and the preview pages.
#include "richprint/richprint.h"

#include "platform/gui/PdfOutputFile.h"
#include "richprint/PrintProgressDialog.h"
#include "richprint/RichPreview.h"
#include "richprint/TRECode.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>

namespace richprint {

namespace {

const char* const kCannotStart = "Not be able to start the printing.";

} // namespace

void TRichPrinter::PrintRichEdit(TSRichEdit& edit, int firstPage)
{
    RunJob({{&edit, Title()}}, firstPage);
}

void TRichPrinter::PrintSections(const std::vector<Section>& sections)
{
    RunJob(sections, 1);
}

TRichPreviewForm* TRichPrinter::PreviewRichEdit(TSRichEdit& edit)
{
    if (state_ != State::Idle)
        throw ELinePrinter(kCannotStart);
    // The stored orientation decides the page size the window is made for.
    LoadSettings();
    previewFont_ = surfaceFont_;
    const int pageWidth = layout_.ToDeviceX(layout_.PaperWidth());
    const int pageHeight = layout_.ToDeviceY(layout_.PaperHeight());
    auto* form = new TRichPreviewForm(this, pageWidth, pageHeight);
    form->show();
    preview_ = form;
    state_ = State::Previewing;
    OpenPageMetafile();
    RunJob({{&edit, Title()}}, 1);
    return form;
}

void TRichPrinter::RunJob(const std::vector<Section>& sections, int firstPage)
{
    // One job at a time: a second one started from an event handler is refused.
    if (state_ == State::Printing || sections.empty())
        throw ELinePrinter(kCannotStart);
    try {
        firstPage_ = firstPage;
        sectionTitle_ = sections.front().title;
        BeginDoc();
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (i > 0) {
                sectionTitle_ = sections[i].title;
                BreakPage(firstPage_);
            }
            PrintSection(*sections[i].edit);
        }
    } catch (...) {
        AbortJob();
        throw;
    }
    EndDoc();
}

void TRichPrinter::BeginDoc()
{
    LoadSettings();
    if (OnBeginDoc)
        OnBeginDoc();
    headerFooterFont_ = surfaceFont_;
    if (state_ != State::Previewing)
        BeginPrinterDocument();
    SetSurfaceFont(DeviceFont(headerFooterFont_));
    RecomputeLineHeight();
    ShowStatus(state_ == State::Previewing ? QStringLiteral("Preparing to Print Preview")
                                           : QStringLiteral("Preparing to Print"));
    lineCounter_ = 0;
    pageNumber_ = firstPage_;
    StartPage();
}

void TRichPrinter::PrintSection(TSRichEdit& edit)
{
    if (plainText_) {
        PlainLoop(edit);
    } else {
        RichLoop(edit);
        edit.setSelection(0, 0);
    }
}

void TRichPrinter::EndDoc()
{
    const bool previewing = state_ == State::Previewing;
    ShowStatus(previewing ? QStringLiteral("Finished Preparing Preview")
                          : QStringLiteral("Finished Printing"));
    std::optional<ELinePrinter> failure;
    if (!previewing)
        failure = EndPrinterDocument();
    // Always, also after a failure.
    if (previewing) {
        HandOverPage(false);
        showProgress_ = false;
    }
    state_ = State::Idle;
    sectionTitle_.clear();
    ShowStatus(QString());
    RecomputeLineHeight();
    if (OnEndDoc)
        OnEndDoc();
    if (failure)
        throw *failure;
}

void TRichPrinter::BeginPrinterDocument()
{
    if (!printer_)
        throw ELinePrinter(kCannotStart);
    if (pdfOutput_) {
        try {
            printer_->setOutputFileName(pdfOutput_->begin());
        } catch (const base::EFileError& e) {
            throw ELinePrinter(e.message());
        }
    }
    RefreshDevice();
    painter_ = std::make_unique<QPainter>();
    state_ = State::Printing;
    if (!painter_->begin(printer_.get()))
        throw ELinePrinter(kCannotStart);
}

std::optional<ELinePrinter> TRichPrinter::EndPrinterDocument()
{
    const bool ended = painter_->end();
    painter_.reset();
    if (pdfOutput_) {
        try {
            if (!ended)
                throw base::EFileError("incomplete");
            pdfOutput_->commit();
        } catch (const base::EFileError&) {
            pdfOutput_->discard();
            return ELinePrinter("Not be able to print to a file.");
        }
    } else if (!ended) {
        return ELinePrinter("Not be able to end the printing.");
    }
    return std::nullopt;
}

void TRichPrinter::PrintPage(const QPicture& page, const QSize& pageSize)
{
    PrintPages({page}, pageSize);
}

bool TRichPrinter::PrintsToFile() const
{
    return pdfOutput_ || (printer_ && !printer_->outputFileName().isEmpty());
}

void TRichPrinter::PrintPages(const std::vector<QPicture>& pages, const QSize& pageSize)
{
    if (state_ != State::Idle)
        throw ELinePrinter(kCannotStart);
    if (OnBeginDoc)
        OnBeginDoc();
    std::optional<ELinePrinter> failure;
    try {
        // The page file holds the whole paper: draw it from the paper's corner.
        if (printer_)
            printer_->setFullPage(true);
        BeginPrinterDocument();
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0 && !printer_->newPage())
                throw ELinePrinter("Not be able to print a new page.");
            DrawPageStretched(*painter_, pages[i], pageSize, QRect(QPoint(0, 0), pageSize));
        }
        failure = EndPrinterDocument();
    } catch (...) {
        AbortJob();
        if (printer_)
            printer_->setFullPage(false);
        throw;
    }
    printer_->setFullPage(false);
    state_ = State::Idle;
    if (OnEndDoc)
        OnEndDoc();
    if (failure)
        throw *failure;
}

void TRichPrinter::AbortJob()
{
    if (state_ == State::Printing && printer_)
        printer_->abort();
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
    page_.reset();
    if (pdfOutput_)
        pdfOutput_->discard();
    state_ = State::Idle;
    sectionTitle_.clear();
    ShowStatus(QString());
    RecomputeLineHeight();
}

void TRichPrinter::StartPage()
{
    ShowStatus(QStringLiteral("Currently Printing"));
    const QFont bodyFont = font_;
    const QColor bodyColour = colour_;
    const bool drawsBands = !header_.isEmpty() || !footer_.isEmpty();
    if (!header_.isEmpty()) {
        SetSurfaceFont(DeviceFont(headerFooterFont_));
        RecomputeLineHeight();
        const TextArea area = Area();
        y_ = (area.top - lineHeight_) / 2 - area.top;
        WriteColumns(header_, headerFormat_);
        if (!logo_.isNull())
            DrawLogo(area);
    }
    if (!footer_.isEmpty()) {
        SetSurfaceFont(DeviceFont(headerFooterFont_));
        RecomputeLineHeight();
        const TextArea area = Area();
        y_ = (area.bottom - lineHeight_) / 2 + area.height;
        WriteColumns(footer_, footerFormat_);
    }
    if (drawsBands) {
        SetSurfaceFont(bodyFont, bodyColour);
        RecomputeLineHeight();
    }
    x_ = 0;
    y_ = 0;
    lineCounter_ = 0;
    if (OnNewPage)
        OnNewPage();
    if (OnNewLine)
        OnNewLine();
    DrawBorders(Area());
}

void TRichPrinter::DrawBorders(const TextArea& a)
{
    if (!painter_ || pageBorders_ == 0)
        return;
    const QPen keep = painter_->pen();
    const int l = a.left;
    const int t = a.top;
    const int r = a.left + a.width;
    const int b = a.top + a.height;
    // Integer division first: below 600 dpi the pen is the thinnest one (width 0).
    int o = layout_.ToDeviceY(layout_.BorderOffset());
    painter_->setPen(QPen(Qt::black, (layout_.ResolutionY() / 600) * 2));
    if (pageBorders_ & pbTop)
        painter_->drawLine(l - o, t - o, r + o, t - o);
    if (pageBorders_ & pbBottom)
        painter_->drawLine(l - o, b + o, r + o, b + o);
    o = layout_.ToDeviceX(layout_.BorderOffset());
    painter_->setPen(QPen(Qt::black, (layout_.ResolutionX() / 600) * 2));
    if (pageBorders_ & pbLeft)
        painter_->drawLine(l - o, t - o, l - o, b + o);
    if (pageBorders_ & pbRight)
        painter_->drawLine(r + o, t - o, r + o, b + o);
    painter_->setPen(keep);
}

void TRichPrinter::NewLine()
{
    x_ = 0;
    y_ += lineHeight_;
    ++lineCounter_;
    // Eager: the page changes as soon as the next line would not fit.
    if (y_ + lineHeight_ >= Area().height)
        NewPage();
    if (OnNewLine)
        OnNewLine();
}

void TRichPrinter::NewPage()
{
    BreakPage(pageNumber_ + 1);
}

void TRichPrinter::BreakPage(int nextPageNumber)
{
    const QFont font = font_;
    const QColor colour = colour_;
    if (state_ == State::Printing && !printer_->newPage())
        throw ELinePrinter("Not be able to print a new page.");
    pageNumber_ = nextPageNumber;
    if (state_ == State::Previewing)
        HandOverPage(true);
    SetSurfaceFont(font, colour);
    StartPage();
}

void TRichPrinter::ShowStatus(const QString& text)
{
    if ((showProgress_ && state_ == State::Printing) || state_ == State::Previewing) {
        if (!progress_)
            progress_ = new TRichPrntProgDlg;
        progress_->ShowStatus(text, CurrentTitle(), pageNumber_);
    } else if (progress_) {
        delete progress_;
    }
}

QString TRichPrinter::CurrentTitle() const
{
    return state_ != State::Idle && !sectionTitle_.isNull() ? sectionTitle_ : Title();
}

void TRichPrinter::OpenPageMetafile()
{
    state_ = State::Previewing;
    page_ = std::make_unique<QPicture>();
    painter_ = std::make_unique<QPainter>(page_.get());
    // Page files hold the whole paper; the engine draws from the printable area's corner.
    painter_->translate(layout_.ToDeviceX(layout_.GutterLeft()),
                        layout_.ToDeviceY(layout_.GutterTop()));
    SetSurfaceFont(DeviceFont(plainText_ ? headerFooterFont_ : previewFont_));
}

void TRichPrinter::HandOverPage(bool openNext)
{
    if (painter_)
        painter_->end();
    painter_.reset();
    if (page_ && preview_) {
        page_->setBoundingRect(QRect(0, 0, layout_.ToDeviceX(layout_.PaperWidth()),
                                     layout_.ToDeviceY(layout_.PaperHeight())));
        preview_->AddPage(*page_);
    }
    page_.reset();
    if (openNext)
        OpenPageMetafile();
}

} // namespace richprint
