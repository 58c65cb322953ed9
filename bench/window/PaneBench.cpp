// The page pane with pages of many megabytes: setting the whole text, reading it back, saving
// it as text and as RTF, and the window's start-up with a 20 MB file on its command line,
// against a Python script doing the same plain-text work on the same file (pane_model.py).
// Usage: window_pane_bench --python pane_model.py --work DIR
#include "base/Streams.h"
#include "platform/gui/Application.h"
#include "platform/gui/RichEdit.h"
#include "tarnby/httptst1.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A link page as loading leaves it: lower-cased, CR LF, about one link per 100 bytes.
std::string generatePage(std::size_t bytes)
{
    std::string page;
    page.reserve(bytes + 200);
    for (int i = 0; page.size() < bytes; ++i)
        page += "<a href=\"page" + std::to_string(i) + ".html\">link number " + std::to_string(i)
            + "</a> and some text<br>\r\n";
    return page;
}

template <typename F>
double medianSeconds(int runs, F&& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double peerSeconds(const QString& python, const QString& source, const QString& target)
{
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        QProcess p;
        p.start(QStringLiteral("python3"), {python, source, target});
        p.waitForFinished(600000);
        times.push_back(p.readAllStandardOutput().trimmed().toDouble());
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::gui::Application app(argc, argv);
    const QStringList args = app.arguments();
    const QString python = args.value(args.indexOf(QStringLiteral("--python")) + 1);
    const QString work = args.value(args.indexOf(QStringLiteral("--work")) + 1);
    if (python.isEmpty() || work.isEmpty()) {
        std::fprintf(stderr, "usage: window_pane_bench --python pane_model.py --work DIR\n");
        return 2;
    }

    std::printf("%-8s %10s %10s %10s %10s %10s %8s\n", "page", "setText", "text()", "save txt",
                "save rtf", "python", "ratio");
    for (const std::size_t mb : {5u, 20u, 50u}) {
        const std::string page = generatePage(mb << 20);
        const QString source = work + QStringLiteral("/page%1.html").arg(mb);
        const std::string out = (work + QStringLiteral("/out%1.txt").arg(mb)).toStdString();
        const std::string rtf = (work + QStringLiteral("/out%1.rtf").arg(mb)).toStdString();
        base::WriteWholeFile(source.toStdString(), page);

        platform::gui::RichEdit pane;
        pane.resize(400, 300);
        pane.show();
        const double set = medianSeconds(3, [&] { pane.setText(page); });
        std::string back;
        const double get = medianSeconds(3, [&] { back = pane.text(); });
        if (back != page) {
            std::fprintf(stderr, "the pane changed the page of %zu MB\n", mb);
            return 1;
        }
        const double saveText = medianSeconds(3, [&] { pane.savePlainText(out); });
        const double saveRtf = medianSeconds(1, [&] { pane.saveRtf(rtf); });
        const double peer = peerSeconds(python, source, work + QStringLiteral("/peer.txt"));
        // The pane's plain-text round trip: set, read back, save.
        const double ours = set + get + saveText;
        std::printf("%3zu MB   %9.3fs %9.3fs %9.3fs %9.3fs %9.3fs %8.2f\n", mb, set, get, saveText,
                    saveRtf, peer, ours / peer);
    }

    // Start-up: the window shown, a 20 MB file loaded into the pane, the pane painted.
    const std::string file = (work + QStringLiteral("/page20.html")).toStdString();
    const double startup = medianSeconds(3, [&] {
        tarnby::THttpTestForm form;
        form.FormCreate({file});
        QCoreApplication::processEvents();
    });
    std::printf("start-up to a shown window with a 20 MB file: %.3fs\n", startup);
    std::printf("ratio: the pane's set + read + save over the Python script's read + split + "
                "write (below 1 is faster)\n");
    return 0;
}
