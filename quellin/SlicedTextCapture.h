#pragma once
// Takes the whole text of a QTextDocument as the editor pane's wholeText() gives it (its
// blocks joined by CR LF, characters as they are) in slices of the event loop, so that even a
// text of many megabytes never holds the window for more than a few milliseconds at a time.
// A capture is abandoned, without a result, when the document changes (or is replaced or
// destroyed) before it is complete: the text it would give is no longer the editor's.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBlock>
#include <QTimer>
#include <chrono>
#include <functional>

class QTextDocument;

namespace quellin {

class SlicedTextCapture : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kSlice{4};

    SlicedTextCapture();

    // Starts a capture (cancelling a running one); done gets the text once it is complete.
    void start(const QTextDocument* document, std::function<void(QString)> done);
    void cancel();
    bool running() const { return timer_.isActive(); }
    // The longest the window was held by one slice since this object was made.
    std::chrono::nanoseconds longestSlice() const { return longest_; }

private:
    void step();

    QPointer<const QTextDocument> document_;
    int revision_ = 0;
    QTextBlock block_;
    QString text_;
    std::function<void(QString)> done_;
    QTimer timer_;
    std::chrono::nanoseconds longest_{0};
};

} // namespace quellin
