// The HTML parser links on generated 5, 20 and 80 MB pages: MB/s, growth from 20 to 80 MB,
// and the Python html.parser script on the same 20 MB page in the same run.
// Usage: tarnby_links_bench --python SCRIPT [--work DIR]
#include "BenchTiming.h"
#include "PageGenerator.h"

#include "base/Streams.h"
#include "tarnby/PageLinks.h"

#include <cstdio>
#include <functional>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

std::size_t g_sink = 0;

bench::Timing LinksTiming(const std::string& page, int runs)
{
    return bench::MedianTiming(runs, RUSAGE_SELF,
                               [&] { g_sink += tarnby::LinkLines(tarnby::ExtractLinks(page, "")).size(); });
}

void Pathological(const char* name, const std::function<std::string(std::size_t)>& make, std::size_t small)
{
    const std::string one = make(small);
    const std::string four = make(4 * small);
    const bench::Timing t1 = LinksTiming(one, 5);
    const bench::Timing t4 = LinksTiming(four, 5);
    std::printf("  %-34s %8.1f MB %8.3f s   4x size: %8.3f s   ratio %.2f (linear: <= 4.5)\n", name,
                static_cast<double>(four.size()) / bench::kMB, t1.processor, t4.processor, t4.processor / t1.processor);
}

} // namespace

int main(int argc, char** argv)
{
    // As in the passes' benchmark: blocks over 32 MB would come as fresh pages on every run of
    // the 80 MB page only; keep them on the heap so that growth measures the parser.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    std::string python;
    std::string work = "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--python")
            python = argv[i + 1];
        else if (option == "--work")
            work = argv[i + 1];
    }
    std::printf("HTML parser links on generated link pages (median of 5 runs; wall / processor time)\n");
    bench::Timing t20{};
    bench::Timing t80{};
    std::string page20;
    for (const std::size_t mb : {5, 20, 80}) {
        std::string page = bench::LinkPage(mb * 1024 * 1024, 1);
        const bench::Timing t = LinksTiming(page, 5);
        std::printf("  %3zu MB page: %7.3f s / %7.3f s  %7.1f MB/s of processor time\n", mb, t.wall, t.processor,
                    static_cast<double>(page.size()) / bench::kMB / t.processor);
        if (mb == 20) {
            t20 = t;
            page20 = std::move(page);
        } else if (mb == 80) {
            t80 = t;
        }
    }
    std::printf("  80 MB / 20 MB time: %.2f wall, %.2f processor (linear: <= 4.5)\n", t80.wall / t20.wall,
                t80.processor / t20.processor);
    std::printf("pathological pages (processor time; 4 times the size should take about 4 times as long)\n");
    Pathological("<b>, <div>, </b> (200,000 each)", bench::MisnestedBolds, 200000);
    Pathological("table soup (50,000 tables)", bench::TableSoup, 50000);
    if (!python.empty()) {
        const std::string file = work + "/tarnby-links-bench-20mb.html";
        base::WriteWholeFile(file, page20);
        const bench::Timing theirs = bench::CommandTiming("/usr/bin/python3 " + python + " " + file + " > /dev/null", 3);
        std::printf("python html.parser on the 20 MB page: %.3f s / %.3f s; HTML parser links: %.3f s / %.3f s;\n"
                    "  ratio %.1fx wall, %.1fx processor (goal >= 10x)\n",
                    theirs.wall, theirs.processor, t20.wall, t20.processor, theirs.wall / t20.wall,
                    theirs.processor / t20.processor);
        std::remove(file.c_str());
    }
    return g_sink == 0 ? 1 : 0;
}
