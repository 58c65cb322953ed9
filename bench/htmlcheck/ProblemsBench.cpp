// The HTML check's problem list (parse, errors, lines and columns, messages) on a generated
// 5 MB page and a generated 20 MB page with mistakes every few lines: MB/s and the growth from 5
// to 20 MB; html5lib with its errors collected on the 5 MB page, and `tidy -e -q` on both, in
// the same run. Times are processor seconds (wall beside them).
// Usage: htmlcheck_problems_bench --work DIR [--python SCRIPT]
#include "BenchTiming.h"

#include "base/Streams.h"
#include "quellin/HtmlProblems.h"

#include <QString>

#include <cstdio>
#include <malloc.h>
#include <random>
#include <string>

namespace {

std::size_t g_sink = 0;

// A page of ordinary markup with a mistake on about one line in six: stray and early end
// tags, misnested formatting, duplicate attributes, references without ";", "<" in text.
std::string GeneratedPage(std::size_t bytes, unsigned seed)
{
    static const char* const kLines[] = {
        "<p>Ordinary paragraph with <a href=\"page.html\">a link</a> and <em>emphasis</em>.</p>",
        "<ul><li><a href=\"one.html\">One</a><li><a href=\"two.html\">Two</a></ul>",
        "<table><tr><td>cell</td><td>cell</td></tr></table>",
        "<div class=\"box\"><h2>Title</h2><p>Text &amp; more text.</p></div>",
        "<img src=\"pic.png\" alt=\"picture\"><br>",
        "<p>Fine text that goes on for a while, as real paragraphs do, without any markup.</p>",
        "<div><span>early end</div>",
        "<b><i>misnested</b></i>",
        "<p class=a class=b>duplicate &copy without semicolon</p>",
        "<p>1 < 2 and a stray </span> end tag</p>",
        "<a href=\"x.html\">link<a href=\"y.html\">inside a link</a>",
        "<table><tr>misplaced text<td>cell</td></tr></table>",
    };
    constexpr std::size_t kClean = 6;
    std::mt19937 random(seed);
    std::string page = "<!DOCTYPE html>\n<html><head><title>Generated</title></head><body>\n";
    page.reserve(bytes + 200);
    while (page.size() < bytes) {
        const std::size_t pick = random() % 36;
        page += kLines[pick < 30 ? pick % kClean : kClean + pick % (std::size(kLines) - kClean)];
        page += '\n';
    }
    return page + "</body></html>\n";
}

bench::Timing ProblemsTiming(const std::string& page, int runs)
{
    return bench::MedianTiming(runs, RUSAGE_SELF, [&] { g_sink += quellin::FindHtmlProblems(page, QString()).size(); });
}

} // namespace

int main(int argc, char** argv)
{
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    std::string work = "/tmp";
    std::string python;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--work")
            work = argv[i + 1];
        else if (option == "--python")
            python = argv[i + 1];
    }
    std::printf("HTML check problem list on generated pages (median of 5 runs; processor / wall time)\n");
    bench::Timing times[2]{};
    std::string files[2];
    const std::size_t sizes[2] = {5, 20};
    for (int i = 0; i < 2; ++i) {
        const std::string page = GeneratedPage(sizes[i] * 1024 * 1024, 1);
        times[i] = ProblemsTiming(page, 5);
        std::printf("  %2zu MB page: %7.3f s / %7.3f s  %6.1f MB/s  (%zu problems)\n", sizes[i], times[i].processor,
                    times[i].wall, static_cast<double>(page.size()) / bench::kMB / times[i].processor,
                    quellin::FindHtmlProblems(page, QString()).size());
        files[i] = work + "/htmlcheck-problems-" + std::to_string(sizes[i]) + "mb.html";
        base::WriteWholeFile(files[i], page);
    }
    std::printf("  20 MB / 5 MB time: %.2f processor, %.2f wall (linear: <= 4.5)\n", times[1].processor / times[0].processor,
                times[1].wall / times[0].wall);
    for (int i = 0; i < 2; ++i) {
        // tidy exits with 1 or 2 when it finds warnings or errors: only a signal is a failure.
        const bench::Timing tidy = bench::CommandTiming("tidy -e -q " + files[i] + " > /dev/null 2>&1; test $? -le 2", 3);
        std::printf("tidy -e -q on the %2zu MB page: %7.3f s / %7.3f s; ratio %.1fx processor, %.1fx wall (goal > 1x)\n",
                    sizes[i], tidy.processor, tidy.wall, tidy.processor / times[i].processor, tidy.wall / times[i].wall);
    }
    if (!python.empty()) {
        const bench::Timing theirs = bench::CommandTiming("/usr/bin/python3 " + python + " " + files[0] + " > /dev/null", 1);
        std::printf("html5lib with errors on the 5 MB page: %.3f s / %.3f s; ratio %.1fx processor, %.1fx wall (goal >= 10x)\n",
                    theirs.processor, theirs.wall, theirs.processor / times[0].processor, theirs.wall / times[0].wall);
    }
    for (const std::string& file : files)
        std::remove(file.c_str());
    return g_sink == 0 ? 1 : 0;
}
