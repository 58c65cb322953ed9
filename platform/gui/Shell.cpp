#include "platform/gui/Shell.h"

#include <QDesktopServices>

namespace platform::gui {

namespace {

UrlOpener& opener()
{
    static UrlOpener current = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return current;
}

} // namespace

bool OpenUrl(const QUrl& url)
{
    return opener()(url);
}

ScopedUrlOpener::ScopedUrlOpener(UrlOpener replacement) : previous_(std::move(opener()))
{
    opener() = std::move(replacement);
}

ScopedUrlOpener::~ScopedUrlOpener()
{
    opener() = std::move(previous_);
}

} // namespace platform::gui
