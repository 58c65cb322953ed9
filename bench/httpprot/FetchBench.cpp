// httpprot_fetch_bench URL FILE COUNT [CAFILE]
// Fetches URL COUNT times, one after the other, with THttpCli's synchronous Get into FILE
// (a DocumentFile created afresh for every fetch, as the window's is), and prints the elapsed
// milliseconds for all of them. CAFILE: an extra trusted CA for https URLs. Exit status 1 when
// a fetch fails.
#include "httpprot/DocumentFile.h"
#include "httpprot/HttpCli.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s URL FILE COUNT [CAFILE]\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    const std::string url = argv[1];
    const std::string file = argv[2];
    const int count = std::stoi(argv[3]);
    httpprot::THttpCli client;
    std::unique_ptr<httpprot::DocumentFile> document;
    client.OnDocBegin = [&](httpprot::THttpCli* c) {
        document = std::make_unique<httpprot::DocumentFile>(file);
        c->SetDocumentStream(document.get());
    };
    client.OnDocEnd = [&](httpprot::THttpCli* c) {
        c->SetDocumentStream(nullptr);
        document->close();
        document.reset();
    };
    client.SetURL(url);
    if (argc == 5)
        client.SetCaCertFile(argv[4]);
    QElapsedTimer clock;
    clock.start();
    try {
        for (int i = 0; i < count; ++i)
            client.Get();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fetch failed: %s\n", e.what());
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(clock.elapsed()));
    return 0;
}
