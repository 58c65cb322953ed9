// One timed FTP-over-TLS transfer with FtpRemoteFiles against a server on 127.0.0.1, for
// bench/ftps/run.sh.
//   ftps_bench retrieve|store PORT USER PASSWORD CA_FILE sync|async REMOTE LOCAL
// retrieve: REMOTE -> LOCAL, written to the file as it arrives (Copy To Local); store: LOCAL ->
// REMOTE. Prints "seconds=S", log-in (with its TLS handshake) included, as for curl.
#include "base/Streams.h"
#include "tcpip/FtpRemoteFiles.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 9) {
        std::fprintf(stderr, "usage: %s retrieve|store PORT USER PASSWORD CA_FILE sync|async REMOTE LOCAL\n", argv[0]);
        return 2;
    }
    const std::string action = argv[1];
    tcpip::FtpRemoteFiles files;
    files.Site = { "127.0.0.1", static_cast<std::uint16_t>(std::stoi(argv[2])), argv[3], argv[4] };
    files.ExplicitTls = true;
    files.CaFile = argv[5];
    files.Async = std::string(argv[6]) == "async";
    try {
        const auto start = std::chrono::steady_clock::now();
        if (action == "retrieve") {
            base::FileStream file(argv[8], base::FileStream::Create);
            files.Retrieve(argv[7], file);
        } else {
            base::FileStream file(argv[8], base::FileStream::OpenRead);
            files.Store(file, argv[7]);
        }
        files.Disconnect();
        const auto end = std::chrono::steady_clock::now();
        std::printf("seconds=%.4f\n", std::chrono::duration<double>(end - start).count());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
