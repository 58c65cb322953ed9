#pragma once
// TRichPreviewForm: the "Print Preview" window. The engine hands it one page at a time as a
// page file ("PreviewMetafile<index>", a QPicture) in a private folder of this window; the
// window shows one page, navigates, zooms, and prints a range of pages, each as its own job.
// Closing it deletes its page files; it frees itself.
//
// Counters: current is the page shown (while building: the number of pages handed over, the
// last of which is shown); last is the index of the last page written (-1 before the first).
// Invariant: 1.0 <= zoom.
#include "platform/gui/PageFileFolder.h"

#include <QPicture>
#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;
class QScrollArea;

namespace richprint {

class TArrowButton;
class TRichPrinter;

class TRichPreviewForm : public QWidget {
    Q_OBJECT
public:
    // Page size in printer pixels; the window sizes itself to the screen and the page's shape.
    TRichPreviewForm(TRichPrinter* engine, int pageWidth, int pageHeight);
    ~TRichPreviewForm() override;

    // Saves the page as the next page file and shows it.
    void AddPage(QPicture& page);
    QString PageFile(int index) const;

    void NextPage();
    void PreviousPage();
    void FirstPage();
    void LastPage();
    void ZoomIn();
    void ZoomOut();
    void ZoomOne();
    void SetZoomStep(const QString& text);
    void PrintPages();

    int Current() const { return current_; }
    int LastIndex() const { return last_; }
    bool Building() const { return building_; }
    double Zoom() const { return zoom_; }
    double ZoomStep() const { return step_; }
    QString PageNumberText() const;
    QString ZoomText() const;
    bool NextEnabled() const;
    bool PreviousEnabled() const;
    bool SmallerEnabled() const;
    // What the page area shows.
    QImage PageImage() const;
    TArrowButton* NextButton() const { return arrowNext_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void SizeToScreen(double aspect);
    void ApplyZoom();
    void Repaint();
    void ShowZoom();
    void SetNextEnabled(bool on);
    void SetPreviousEnabled(bool on);
    void Navigated();
    bool HandleKey(QKeyEvent* event);

    QPointer<TRichPrinter> engine_;
    platform::gui::PageFileFolder folder_;
    int pageWidth_;
    int pageHeight_;
    int current_ = 0;
    int last_ = -1;
    bool building_ = true;
    bool reload_ = true;
    double zoom_ = 1.0;
    double step_ = 0.1;
    QPicture cached_;
    QImage bitmap_;

    QScrollArea* scrollBox_ = nullptr;
    QLabel* image_ = nullptr;
    QWidget* panel_ = nullptr;
    QLabel* pageNumber_ = nullptr;
    TArrowButton* arrowNext_ = nullptr;
    TArrowButton* arrowPrevious_ = nullptr;
    QLabel* nextLabels_[2] = {};
    QLabel* previousLabels_[2] = {};
    QToolButton* printButton_ = nullptr;
    QToolButton* largerButton_ = nullptr;
    QToolButton* smallerButton_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QLineEdit* stepEdit_ = nullptr;
    QToolButton* closeButton_ = nullptr;
};

// Draws a page file's picture stretched into target on painter, whatever the two devices'
// resolutions are.
void DrawPageStretched(QPainter& painter, const QPicture& page, const QSize& pageSize,
                       const QRect& target);

} // namespace richprint
