#include "richprint/RichPreview.h"

#include "platform/gui/Dialogs.h"
#include "richprint/PreviewGeometry.h"
#include "richprint/arrowbtn.h"
#include "richprint/richprint.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QToolButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

namespace richprint {

namespace {

const QString kPageFileName = QStringLiteral("PreviewMetafile");
const QColor kTealText(0x00, 0x80, 0x80);

int Round(double value)
{
    return int(std::lround(value));
}

QLabel* TealLabel(const QString& hint)
{
    auto* label = new QLabel;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kTealText);
    label->setPalette(palette);
    label->setToolTip(hint);
    label->setAccessibleName(hint);
    return label;
}

// Compact text buttons: the panel must fit under a portrait page on a small screen.
QToolButton* SpeedButton(const QString& caption, const QString& hint)
{
    auto* button = new QToolButton;
    button->setText(caption);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// Keeps the hourglass up for a scope, also when it ends by an exception.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void DrawPageStretched(QPainter& painter, const QPicture& page, const QSize& pageSize,
                       const QRect& target)
{
    if (pageSize.isEmpty())
        return;
    // drawPicture scales by the device's resolution over the picture's: undo that.
    const QPaintDevice* device = painter.device();
    const double sx = double(target.width()) / pageSize.width() * page.logicalDpiX()
                      / device->logicalDpiX();
    const double sy = double(target.height()) / pageSize.height() * page.logicalDpiY()
                      / device->logicalDpiY();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(sx, sy);
    painter.drawPicture(0, 0, page);
    painter.restore();
}

TRichPreviewForm::TRichPreviewForm(TRichPrinter* engine, int pageWidth, int pageHeight)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      engine_(engine), pageWidth_(pageWidth), pageHeight_(pageHeight)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Print Preview"));
    setAccessibleName(QStringLiteral("Print Preview"));
    BuildControls();
    SizeToScreen(pageWidth > 0 ? double(pageHeight) / pageWidth : 0);
    ShowZoom();
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

TRichPreviewForm::~TRichPreviewForm()
{
    for (int i = 0; i <= last_; ++i) {
        if (QFile::exists(PageFile(i)))
            QFile::remove(PageFile(i));
    }
}

QString TRichPreviewForm::PageFile(int index) const
{
    return folder_.pageFile(kPageFileName, index);
}

void TRichPreviewForm::BuildControls()
{
    scrollBox_ = new QScrollArea(this);
    image_ = new QLabel;
    image_->setAccessibleName(QStringLiteral("Page"));
    scrollBox_->setWidget(image_);
    scrollBox_->setWidgetResizable(false);
    scrollBox_->setAlignment(Qt::AlignCenter);

    panel_ = new QWidget(this);
    auto* row = new QHBoxLayout(panel_);
    row->setContentsMargins(0, 4, 0, 0);
    row->setSpacing(4);
    QFont small = panel_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    panel_->setFont(small);
    auto* pageBox = new QVBoxLayout;
    pageBox->addWidget(new QLabel(QStringLiteral("Page number:")));
    pageNumber_ = TealLabel(QStringLiteral("Actual page number"));
    pageBox->addWidget(pageNumber_);
    row->addLayout(pageBox);

    auto arrow = [&](TButtonDirection direction, const QString& hint, QLabel* labels[2],
                     const QString& first, const QString& second) {
        auto* button = new TArrowButton;
        button->SetDirection(direction);
        button->setFixedSize(33, 33);
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        labels[0] = new QLabel(first);
        labels[1] = new QLabel(second);
        auto* text = new QVBoxLayout;
        text->addWidget(labels[0]);
        text->addWidget(labels[1]);
        row->addWidget(button);
        row->addLayout(text);
        return button;
    };
    arrowNext_ = arrow(TButtonDirection::arwUP, QStringLiteral("Showing next pages [PgUp]"),
                       nextLabels_, QStringLiteral("NEXT "), QStringLiteral("page"));
    arrowPrevious_ = arrow(TButtonDirection::arwDOWN,
                           QStringLiteral("Showing previous pages [PgDn]"), previousLabels_,
                           QStringLiteral("PREVIOUS"), QStringLiteral("page"));
    arrowNext_->OnClick = [this] { NextPage(); };
    arrowPrevious_->OnClick = [this] { PreviousPage(); };

    printButton_ = SpeedButton(QStringLiteral("&Printing"),
                               QStringLiteral("Printing of selection from document ['P' key]"));
    largerButton_ = SpeedButton(QStringLiteral("&Larger"), QStringLiteral("Larger zoom ['L' key]"));
    smallerButton_ = SpeedButton(QStringLiteral("&Smaller"),
                                 QStringLiteral("Smaller zoom ['S' key]"));
    smallerButton_->setEnabled(false);
    connect(printButton_, &QToolButton::clicked, this, [this] { PrintPages(); });
    connect(largerButton_, &QToolButton::clicked, this, [this] { ZoomIn(); });
    connect(smallerButton_, &QToolButton::clicked, this, [this] { ZoomOut(); });
    row->addWidget(printButton_);
    row->addWidget(largerButton_);
    row->addWidget(smallerButton_);

    const QString zoomHint = QStringLiteral("Actual size of the zoom (double click for a value of one)");
    auto* zoomBox = new QVBoxLayout;
    auto* zoomCaption = new QLabel(QStringLiteral("Zoom factor:"));
    zoomCaption->setToolTip(zoomHint);
    zoomBox->addWidget(zoomCaption);
    zoomLabel_ = TealLabel(zoomHint);
    zoomBox->addWidget(zoomLabel_);
    row->addLayout(zoomBox);

    auto* stepBox = new QVBoxLayout;
    stepBox->addWidget(new QLabel(QStringLiteral("Zoom step:")));
    stepEdit_ = new QLineEdit;
    stepEdit_->setInputMask(QStringLiteral("9.999"));
    stepEdit_->setText(QStringLiteral("0.100"));
    stepEdit_->setMaxLength(5);
    stepEdit_->setToolTip(QStringLiteral("Input step size zooming"));
    stepEdit_->setAccessibleName(QStringLiteral("Input step size zooming"));
    stepEdit_->setFixedWidth(stepEdit_->fontMetrics().horizontalAdvance(QStringLiteral("00.0000")));
    connect(stepEdit_, &QLineEdit::textChanged, this, &TRichPreviewForm::SetZoomStep);
    stepBox->addWidget(stepEdit_);
    row->addLayout(stepBox);

    closeButton_ = SpeedButton(QStringLiteral("&Close"), QStringLiteral("Closing this preview"));
    connect(closeButton_, &QToolButton::clicked, this, &QWidget::close);
    row->addStretch();
    row->addWidget(closeButton_);
}

void TRichPreviewForm::SizeToScreen(double aspect)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const PreviewGeometry g = PreviewGeometryFor(screen ? screen->geometry() : QRect(0, 0, 1024, 768),
                                                 aspect);
    scrollBox_->setGeometry(g.pageBox);
    panel_->setGeometry(g.panel);
    setFixedSize(g.client);
    move(g.position);
    ApplyZoom();
}

void TRichPreviewForm::ApplyZoom()
{
    const QSize box = scrollBox_->size() - QSize(2 * scrollBox_->frameWidth(), 2 * scrollBox_->frameWidth());
    QSize size = box;
    if (zoom_ > 1.00001)
        size = QSize(Round(zoom_ * box.width()), Round(zoom_ * box.height()));
    image_->resize(size);
    if (bitmap_.size() != size)
        bitmap_ = QImage(size, QImage::Format_RGB32);
}

void TRichPreviewForm::AddPage(QPicture& page)
{
    // A page that cannot be written is simply missing from the preview.
    page.save(PageFile(current_));
    last_ = current_;
    ++current_;
    Repaint();
}

void TRichPreviewForm::Repaint()
{
    const int index = building_ ? current_ - 1 : current_;
    if (index < 0 || index > last_)
        return;
    if (reload_ && !cached_.load(PageFile(index)))
        return;
    ApplyZoom();
    bitmap_.fill(Qt::white);
    {
        QPainter painter(&bitmap_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        DrawPageStretched(painter, cached_, QSize(pageWidth_, pageHeight_), bitmap_.rect());
    }
    image_->setPixmap(QPixmap::fromImage(bitmap_));
    pageNumber_->setText(QStringLiteral("%1").arg(building_ ? current_ : current_ + 1, 4));
    if (isVisible())
        repaint();
}

QImage TRichPreviewForm::PageImage() const
{
    return bitmap_;
}

QString TRichPreviewForm::PageNumberText() const
{
    return pageNumber_->text();
}

QString TRichPreviewForm::ZoomText() const
{
    return zoomLabel_->text();
}

bool TRichPreviewForm::NextEnabled() const
{
    return arrowNext_->isEnabled();
}

bool TRichPreviewForm::PreviousEnabled() const
{
    return arrowPrevious_->isEnabled();
}

bool TRichPreviewForm::SmallerEnabled() const
{
    return smallerButton_->isEnabled();
}

void TRichPreviewForm::SetNextEnabled(bool on)
{
    arrowNext_->setEnabled(on);
    nextLabels_[0]->setEnabled(on);
    nextLabels_[1]->setEnabled(on);
}

void TRichPreviewForm::SetPreviousEnabled(bool on)
{
    arrowPrevious_->setEnabled(on);
    previousLabels_[0]->setEnabled(on);
    previousLabels_[1]->setEnabled(on);
}

void TRichPreviewForm::Navigated()
{
    building_ = false;
    reload_ = true;
    Repaint();
}

void TRichPreviewForm::NextPage()
{
    current_ = std::min(current_ + 1, last_);
    SetPreviousEnabled(true);
    SetNextEnabled(current_ != last_);
    Navigated();
}

void TRichPreviewForm::PreviousPage()
{
    current_ = std::max(std::min(current_, last_) - 1, 0);
    SetNextEnabled(true);
    SetPreviousEnabled(current_ != 0);
    Navigated();
}

void TRichPreviewForm::FirstPage()
{
    current_ = 0;
    SetNextEnabled(true);
    SetPreviousEnabled(false);
    Navigated();
}

void TRichPreviewForm::LastPage()
{
    current_ = last_;
    SetNextEnabled(false);
    SetPreviousEnabled(true);
    Navigated();
}

void TRichPreviewForm::ShowZoom()
{
    zoomLabel_->setText(QStringLiteral("%1").arg(zoom_, 5, 'f', 3));
}

void TRichPreviewForm::ZoomIn()
{
    building_ = false;
    reload_ = false;
    current_ = std::min(current_, last_);
    zoom_ += step_;
    ShowZoom();
    if (zoom_ > 1)
        smallerButton_->setEnabled(true);
    Repaint();
}

void TRichPreviewForm::ZoomOut()
{
    building_ = false;
    reload_ = false;
    current_ = std::min(current_, last_);
    zoom_ -= step_;
    if (zoom_ < 1)
        zoom_ = 1;
    smallerButton_->setEnabled(zoom_ != 1);
    ShowZoom();
    Repaint();
}

void TRichPreviewForm::ZoomOne()
{
    zoom_ = 1;
    ShowZoom();
    smallerButton_->setEnabled(false);
    Repaint();
}

void TRichPreviewForm::SetZoomStep(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    step_ = ok ? value : 0.1;
}

void TRichPreviewForm::PrintPages()
{
    building_ = false;
    reload_ = true;
    const WaitCursor wait;
    QPrinter* printer = engine_ ? engine_->Printer() : nullptr;
    if (!printer) {
        platform::gui::ShowMessage(windowTitle(), QStringLiteral("No printer is installed."),
                                   platform::gui::MessageIcon::Warning);
        return;
    }
    printer->setPrintRange(QPrinter::AllPages);
    printer->setFromTo(1, last_ + 1);
    const bool confirmed = platform::gui::dialogs().setupPrinter(*printer);
    int from = 1;
    int to = last_ + 1;
    if (printer->printRange() == QPrinter::PageRange) {
        from = printer->fromPage();
        to = printer->toPage();
    }
    printer->setFromTo(0, 0);
    printer->setPrintRange(QPrinter::AllPages);
    if (!confirmed || !engine_)
        return;
    const QSize pageSize(pageWidth_, pageHeight_);
    // A printer gets one job per page; a file gets one job with every page of the range, as
    // each job would replace the file the one before wrote.
    const bool oneJob = engine_->PrintsToFile();
    std::vector<QPicture> range;
    for (int p = from; p <= to; ++p) {
        current_ = p - 1;
        Repaint();
        QPicture page;
        if (!page.load(PageFile(p - 1)))
            continue;
        if (oneJob)
            range.push_back(page);
        else
            engine_->PrintPage(page, pageSize);
    }
    if (oneJob && !range.empty())
        engine_->PrintPages(range, pageSize);
}

bool TRichPreviewForm::HandleKey(QKeyEvent* event)
{
    building_ = false;
    QScrollBar* h = scrollBox_->horizontalScrollBar();
    QScrollBar* v = scrollBox_->verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_PageUp:
        NextPage();
        return true;
    case Qt::Key_PageDown:
        PreviousPage();
        return true;
    case Qt::Key_Home:
        FirstPage();
        return true;
    case Qt::Key_End:
        LastPage();
        return true;
    case Qt::Key_Left:
        h->setValue(h->value() - h->singleStep());
        return true;
    case Qt::Key_Right:
        h->setValue(h->value() + h->singleStep());
        return true;
    case Qt::Key_Up:
        v->setValue(v->value() - v->singleStep());
        return true;
    case Qt::Key_Down:
        v->setValue(v->value() + v->singleStep());
        return true;
    default:
        break;
    }
    const QString text = event->text().toLower();
    if (text == QLatin1String("l"))
        ZoomIn();
    else if (text == QLatin1String("s"))
        ZoomOut();
    else if (text == QLatin1String("p"))
        PrintPages();
    else
        return false;
    return true;
}

bool TRichPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return HandleKey(static_cast<QKeyEvent*>(event));
    if (watched == image_ && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        ZoomOne();
        return true;
    }
    if (watched == zoomLabel_ && event->type() == QEvent::MouseButtonDblClick) {
        ZoomOne();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TRichPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (!HandleKey(event))
        QWidget::keyPressEvent(event);
}

void TRichPreviewForm::closeEvent(QCloseEvent* event)
{
    cached_ = QPicture();
    bitmap_ = QImage();
    event->accept();
}

} // namespace richprint
