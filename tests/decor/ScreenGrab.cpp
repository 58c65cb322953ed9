// Takes screenshots of a running program's window on an X server with a window manager, for the
// documentation: finds the window by title, can hover or press the real pointer (XTest) at a
// point of it or activate a window of its own first, and saves the window's pixels as PNG.
//   decor_screengrab --window TITLE --out FILE [--hover X,Y] [--press X,Y] [--deactivate]
// Points are in the window's pixels. A press is never released inside the window: the pointer
// leaves first, so nothing is clicked.
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <cstdio>
#include <optional>

namespace {

QString WindowName(Display* display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QString name;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success
        && data) {
        name = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
        XFree(data);
    }
    return name;
}

std::optional<QRect> FindWindow(Display* display, const QString& title)
{
    const Window root = DefaultRootWindow(display);
    const Atom clients = XInternAtom(display, "_NET_CLIENT_LIST", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, clients, 0, 4096, False, XA_WINDOW, &type, &format, &count, &after, &data) != Success
        || !data)
        return std::nullopt;
    std::optional<QRect> found;
    const auto* windows = reinterpret_cast<const Window*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) {
        if (WindowName(display, windows[i]) != title)
            continue;
        XWindowAttributes attributes;
        XGetWindowAttributes(display, windows[i], &attributes);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, windows[i], root, 0, 0, &x, &y, &child);
        found = QRect(x, y, attributes.width, attributes.height);
    }
    XFree(data);
    return found;
}

QPoint ParsePoint(const QString& text)
{
    const QStringList parts = text.split(',');
    return parts.size() == 2 ? QPoint(parts[0].toInt(), parts[1].toInt()) : QPoint();
}

void MovePointer(Display* display, QPoint screen)
{
    XTestFakeMotionEvent(display, -1, screen.x(), screen.y(), CurrentTime);
    XFlush(display);
    QTest::qWait(150);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    // Not --title: QGuiApplication takes that one for itself.
    parser.addOption({"window", "Title of the window to take.", "text"});
    parser.addOption({"out", "PNG file to write.", "file"});
    parser.addOption({"hover", "Rest the pointer on this window point.", "x,y"});
    parser.addOption({"press", "Hold the left button down on this window point.", "x,y"});
    parser.addOption({"deactivate", "Activate a window of our own first, away from the target."});
    parser.process(app);
    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !parser.isSet("window") || !parser.isSet("out")) {
        std::fprintf(stderr, "needs an X server, --window and --out\n");
        return 2;
    }
    Display* display = x11->display();
    std::optional<QRect> target;
    for (int attempt = 0; attempt < 50 && !target; ++attempt) {
        target = FindWindow(display, parser.value("window"));
        if (!target)
            QTest::qWait(100);
    }
    if (!target) {
        std::fprintf(stderr, "no window titled \"%s\"\n", qPrintable(parser.value("window")));
        return 1;
    }

    QWidget other;
    if (parser.isSet("deactivate")) {
        other.setWindowTitle("Another window");
        other.resize(160, 60);
        other.move(target->right() + 40, target->top());
        other.show();
        (void)QTest::qWaitForWindowExposed(&other);
        other.activateWindow();
        (void)QTest::qWaitForWindowActive(&other);
    }
    MovePointer(display, target->bottomRight() + QPoint(60, 60));
    if (parser.isSet("hover"))
        MovePointer(display, target->topLeft() + ParsePoint(parser.value("hover")));
    const bool press = parser.isSet("press");
    if (press) {
        MovePointer(display, target->topLeft() + ParsePoint(parser.value("press")));
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XFlush(display);
    }
    QTest::qWait(400);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, target->x(), target->y(), target->width(),
                                                                      target->height());
    if (press) {
        MovePointer(display, target->bottomRight() + QPoint(60, 60));
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        QTest::qWait(100);
    }
    if (!shot.save(parser.value("out"), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value("out")));
        return 1;
    }
    return 0;
}
