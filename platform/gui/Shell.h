#pragma once
// Asking the desktop to open a web page in the user's browser, behind a seam so that tests
// see the address instead of starting a browser.
#include <QUrl>
#include <functional>

namespace platform::gui {

// Returns whether the desktop accepted the request.
using UrlOpener = std::function<bool(const QUrl&)>;

bool OpenUrl(const QUrl& url);

// Installs an opener for the lifetime of this object; restores the previous one on exit.
class ScopedUrlOpener {
public:
    explicit ScopedUrlOpener(UrlOpener opener);
    ~ScopedUrlOpener();
    ScopedUrlOpener(const ScopedUrlOpener&) = delete;
    ScopedUrlOpener& operator=(const ScopedUrlOpener&) = delete;

private:
    UrlOpener previous_;
};

} // namespace platform::gui
