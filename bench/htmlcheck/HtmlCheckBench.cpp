// The HTML check on generated pages of 1, 5 and 20 MB (about one tag per 40 bytes): the
// colouring walk alone and the whole check on a shown editor, MB/s and the growth from 5 to
// 20 MB; the check once more after a one-character edit; pygmentize colouring the same pages;
// opening a 20 MB file into the editor.
// Times are CPU seconds of this process (and of pygmentize), so that other work on the machine
// does not count; wall seconds are printed beside them.
// Usage: htmlcheck_bench --work DIR [--pygmentize PROGRAM] [--sizes 1,5,20]
#include "base/Streams.h"
#include "platform/gui/ScriptedDialogs.h"
#include "quellin/EditorFiles.h"
#include "quellin/HtmlCheck.h"
#include "quellin/HtmlCheckPane.h"
#include "richprint/TRECode.h"

#include <QApplication>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kMB = 1024.0 * 1024.0;

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double g_lastWall = 0;

// CPU seconds of work in this process and its waited-for children; the wall time in g_lastWall.
double Seconds(const std::function<void()>& work)
{
    const double cpu = CpuSeconds(RUSAGE_SELF) + CpuSeconds(RUSAGE_CHILDREN);
    const auto start = Clock::now();
    work();
    g_lastWall = std::chrono::duration<double>(Clock::now() - start).count();
    return CpuSeconds(RUSAGE_SELF) + CpuSeconds(RUSAGE_CHILDREN) - cpu;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Table rows, paragraphs with links and attributes, line breaks: one tag per ~40 bytes.
std::string Page(std::size_t bytes)
{
    static const char* const kPieces[] = {
        "<tr><td class=\"name\">Item number one</td>\r\n",
        "<p>Some plain text of the page, then a link: <a href=\"page.html\">more</a></p>\r\n",
        "<td align=\"right\">42.00</td><td>EUR</td></tr>\r\n",
        "<img src=\"pic.png\" alt=\"a picture\" width=\"20\" height=\"10\"><br>\r\n",
        "<h2 id=\"s1\">A heading</h2>\r\n<div>text text text text text</div>\r\n",
    };
    std::string page = "<html><head><title>Generated</title></head><body>\r\n";
    for (std::size_t i = 0; page.size() < bytes; ++i)
        page += kPieces[(i * 7 + i / 3) % std::size(kPieces)];
    return page;
}

double WalkTime(const QString& text)
{
    std::vector<double> times;
    std::size_t runs = 0;
    for (int i = 0; i < 3; ++i)
        times.push_back(Seconds([&] { runs += quellin::HtmlCheckRuns(text).size(); }));
    return Median(times);
}

struct EditorTimes {
    double fill = 0;  // setting the page as the pane's text: Qt building a document of that size
    double check = 0;
};

EditorTimes EditorCheckTimes(richprint::TSRichEdit& editor, const std::string& page)
{
    std::vector<double> fills;
    std::vector<double> checks;
    for (int i = 0; i < 5; ++i) {
        fills.push_back(Seconds([&] {
            editor.setText(page);
            QApplication::processEvents();
        }));
        checks.push_back(Seconds([&] {
            quellin::ColourHtmlTags(editor);
            QApplication::processEvents(); // the repaint that follows
        }));
    }
    return {Median(fills), Median(checks)};
}

// The check once more on the checked page after one character typed in its middle.
double RecheckTime(richprint::TSRichEdit& editor)
{
    editor.setSelection(static_cast<int>(editor.document()->characterCount() / 2), 0);
    editor.replaceSelection(QStringLiteral("x"));
    QApplication::processEvents();
    return Seconds([&] {
        quellin::ColourHtmlTags(editor);
        QApplication::processEvents();
    });
}

double CommandTime(const std::string& command)
{
    return Seconds([&] {
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::exit(1);
        }
    });
}

std::vector<int> ParseSizes(const std::string& list)
{
    std::vector<int> sizes;
    for (std::size_t from = 0; from < list.size();) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        sizes.push_back(std::atoi(list.substr(from, comma - from).c_str()));
        from = comma + 1;
    }
    return sizes;
}

} // namespace

int main(int argc, char** argv)
{
    // glibc hands every block over 32 MB out as fresh pages (the undo history of the 20 MB page
    // is such a block), which each run would then fault in while the 5 MB page reuses its
    // memory: keep them on the heap so that the growth figure measures the check.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    QApplication app(argc, argv);
    std::string work = "/tmp";
    std::string pygmentize;
    std::vector<int> sizes = {1, 5, 20};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--work")
            work = argv[i + 1];
        else if (option == "--pygmentize")
            pygmentize = argv[i + 1];
        else if (option == "--sizes")
            sizes = ParseSizes(argv[i + 1]);
    }

    richprint::TSRichEdit editor;
    editor.resize(1000, 700);
    editor.show();

    std::printf("HTML check on generated pages (one tag per ~40 bytes; medians of 3 walks and 5 checks)\n");
    std::map<int, EditorTimes> editorTimes;
    for (const int mb : sizes) {
        const std::string page = Page(static_cast<std::size_t>(mb) * 1024 * 1024);
        const double size = static_cast<double>(page.size()) / kMB;
        const double walk = WalkTime(QString::fromStdString(page));
        const EditorTimes times = EditorCheckTimes(editor, page);
        const double check = times.check;
        editorTimes[mb] = times;
        std::printf("  %2d MB: walk %7.3f s (%7.1f MB/s)   check on the editor %7.3f s (%6.1f MB/s, wall %.3f s)\n",
                    mb, walk, size / walk, check, size / check, g_lastWall);
        std::printf("         filling the pane with the page (for comparison): %7.3f s\n", times.fill);
        const double recheck = RecheckTime(editor);
        std::printf("         again after typing one character: %7.3f s (wall %.3f s)\n", recheck, g_lastWall);
        const std::string file = work + "/page" + std::to_string(mb) + ".html";
        base::WriteWholeFile(file, page);
        if (!pygmentize.empty() && mb <= 5) {
            const double peer = CommandTime(pygmentize + " -l html -f html -o /dev/null " + file);
            std::printf("         pygmentize -l html -f html: %7.3f s (wall %.3f s)   ratio pygmentize / check %.1f\n",
                        peer, g_lastWall, peer / check);
        }
    }
    if (editorTimes.count(5) && editorTimes.count(20)) {
        std::printf("  growth 5 -> 20 MB: %.2f (linear: 4, goal: <= 4.5); 5 MB goal: < 2 s\n",
                    editorTimes[20].check / editorTimes[5].check);
        std::printf("  growth 5 -> 20 MB of filling the pane, for comparison: %.2f\n",
                    editorTimes[20].fill / editorTimes[5].fill);
    }
    if (!editorTimes.count(20))
        return 0;

    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scoped(dialogs);
    quellin::EditorFiles files(editor);
    editor.setText({});
    dialogs.answerOpen({QString::fromStdString(work + "/page20.html")});
    const double open = Seconds([&] {
        files.open();
        QApplication::processEvents();
    });
    std::printf("Opening a 20 MB file into the editor: %.3f s (wall %.3f s)\n", open, g_lastWall);
    return 0;
}
