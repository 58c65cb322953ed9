// tarnby_batch_fetch_bench URL BYTES
// The batch mode's fetch alone, timed in process: from the request until the page lies
// complete in memory, through the batch mode's own fetcher (PageFetch keeping the document in
// memory, with the batch mode's client settings). Prints the elapsed milliseconds. Exit status
// 1 when the fetch fails or the page is not BYTES long.
#include "tarnby/BatchFetcher.h"
#include "tarnby/BatchOptions.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s URL BYTES\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    const std::string url = argv[1];
    const std::size_t bytes = std::stoull(argv[2]);
    const tarnby::BatchOptions options;
    tarnby::BatchFetcher fetch(options);
    try {
        QElapsedTimer clock;
        clock.start();
        const tarnby::LoadedPage page = fetch(url);
        const qint64 elapsed = clock.elapsed();
        if (page.bytes.size() != bytes) {
            std::fprintf(stderr, "fetched %zu bytes, not %zu\n", page.bytes.size(), bytes);
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(elapsed));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fetch failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
