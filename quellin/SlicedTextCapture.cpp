#include "quellin/SlicedTextCapture.h"

#include <QTextDocument>

namespace quellin {

SlicedTextCapture::SlicedTextCapture()
{
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &SlicedTextCapture::step);
}

void SlicedTextCapture::start(const QTextDocument* document, std::function<void(QString)> done)
{
    cancel();
    document_ = document;
    revision_ = document->revision();
    block_ = document->begin();
    text_.clear();
    text_.reserve(document->characterCount() + document->blockCount());
    done_ = std::move(done);
    timer_.start();
}

void SlicedTextCapture::cancel()
{
    timer_.stop();
    text_ = QString();
    done_ = nullptr;
}

void SlicedTextCapture::step()
{
    const auto started = std::chrono::steady_clock::now();
    if (!document_ || document_->revision() != revision_) {
        cancel();
        return;
    }
    // Blocks at a time between clock readings: reading the clock costs more than a short line.
    constexpr int kBlocksBetweenReadings = 256;
    while (block_.isValid()) {
        for (int i = 0; i < kBlocksBetweenReadings && block_.isValid(); ++i) {
            text_ += block_.text();
            block_ = block_.next();
            if (block_.isValid())
                text_ += QLatin1String("\r\n");
        }
        if (std::chrono::steady_clock::now() - started >= kSlice)
            break;
    }
    longest_ = std::max(longest_, std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started));
    if (block_.isValid())
        return;
    timer_.stop();
    std::function<void(QString)> done = std::move(done_);
    QString text = std::move(text_);
    done_ = nullptr;
    done(std::move(text));
}

} // namespace quellin
