// Passes 1 to 3 on generated pages: MB/s, growth from 20 to 80 MB, pathological pages, and
// the same link extraction by a Python html.parser script on the same page.
// Usage: tarnby_passes_bench [--python SCRIPT] [--tarnby EXECUTABLE] [--work DIR]
#include "BenchTiming.h"
#include "PageGenerator.h"

#include "base/Streams.h"
#include "tarnby/PageFiles.h"
#include "tarnby/ReductionPasses.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

using bench::CommandTime;
using bench::kMB;
using bench::Median;
using bench::Seconds;

std::size_t g_sink = 0;

void AllPasses(const std::string& page)
{
    const std::string result = tarnby::RemoveLinkTags(tarnby::RemoveEmptyLinks(tarnby::ProcessLinks(page)));
    g_sink += result.size();
}

struct Times {
    double cold;
    double median;
};

Times PassTimes(const std::string& page, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(Seconds([&] { AllPasses(page); }));
    return {times.front(), Median(times)};
}

double PassTime(const std::string& page, int runs)
{
    return PassTimes(page, runs).median;
}

void Pathological(const char* name, const std::function<std::string(std::size_t)>& make, std::size_t small)
{
    const std::string one = make(small);
    const std::string four = make(4 * small);
    const double t1 = PassTime(one, 5);
    const double t4 = PassTime(four, 5);
    std::printf("  %-34s %8.1f MB %8.3f s   4x size: %8.3f s   ratio %.2f (linear: <= 4.5)\n", name,
                static_cast<double>(four.size()) / kMB, t1, t4, t4 / t1);
}

} // namespace

int main(int argc, char** argv)
{
    // glibc hands every block over 32 MB out as fresh pages, which the 80 MB page would then
    // fault in on each run while the 20 MB page reuses its memory: keep both on the heap so
    // that the growth figure measures the passes, not the allocator. (The first, cold run of
    // each size is printed as well.)
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    std::string python;
    std::string tarnby;
    std::string work = "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--python")
            python = argv[i + 1];
        else if (option == "--tarnby")
            tarnby = argv[i + 1];
        else if (option == "--work")
            work = argv[i + 1];
    }

    std::printf("passes 1-3 on generated link pages (median of 3 runs)\n");
    double t20 = 0;
    double t80 = 0;
    std::string page20;
    for (const std::size_t mb : {5, 20, 80}) {
        std::string page = bench::LinkPage(mb * 1024 * 1024, 1);
        const Times times = PassTimes(page, 3);
        const double t = times.median;
        std::printf("  %3zu MB page: %7.3f s  %7.1f MB/s   (first run %.3f s)\n", mb, t,
                    static_cast<double>(page.size()) / kMB / t, times.cold);
        if (mb == 20) {
            t20 = t;
            page20 = std::move(page);
        } else if (mb == 80) {
            t80 = t;
        }
    }
    std::printf("  80 MB / 20 MB time: %.2f (linear: <= 4.5)\n", t80 / t20);

    std::printf("pathological pages (4 times the size should take about 4 times as long)\n");
    Pathological("anchors without \">\" (50,000)", bench::UnclosedAnchors, 50000);
    Pathological("never-closed \"<!--\" (5 MB)", bench::UnclosedComment, 5 * 1024 * 1024);
    Pathological("no \"<\" at all (4 MB)", bench::NoTagAtAll, 4 * 1024 * 1024);
    Pathological("one link, text of 50,000 lines", bench::LinkWithLongText, 50000);

    {
        const std::string binary = work + "/tarnby-bench-50mb.bin";
        base::WriteWholeFile(binary, bench::BinaryBytes(50 * 1024 * 1024));
        std::string pane;
        const double load = Seconds([&] { pane = tarnby::LoadFiles({binary}); });
        const double passes = PassTime(pane, 1);
        std::printf("50 MB of random bytes in 1 MB lines: loading %.3f s, passes 1-3 %.3f s\n", load, passes);
        std::remove(binary.c_str());
    }

    const std::string file = work + "/tarnby-bench-20mb.html";
    base::WriteWholeFile(file, page20);
    const double ours = PassTime(page20, 3);
    if (!python.empty()) {
        const double theirs = CommandTime("python3 " + python + " " + file + " > /dev/null", 3);
        std::printf("python html.parser on the 20 MB page: %.3f s; passes 1-3: %.3f s; ratio %.1fx (goal >= 10x)\n",
                    theirs, ours, theirs / ours);
    }
    if (!tarnby.empty()) {
        const double batch = CommandTime(tarnby + " --links " + file + " -o " + work + "/tarnby-bench-out.txt", 3);
        const double version = CommandTime(tarnby + " --version > /dev/null", 5);
        std::printf("batch mode on the 20 MB file, start to exit: %.3f s (program start alone: %.3f s)\n",
                    batch, version);
    }
    std::remove(file.c_str());
    std::remove((work + "/tarnby-bench-out.txt").c_str());
    return g_sink == 0 ? 1 : 0;
}
