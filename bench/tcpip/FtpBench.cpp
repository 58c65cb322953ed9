// One timed FTP operation with T_FTP against a server on 127.0.0.1, for bench/tcpip/run.sh.
//   tcpip_bench retrieve|download|store|list PORT USER PASSWORD sync|async REMOTE [LOCAL]
// retrieve: REMOTE -> memory, then saved to LOCAL; download: REMOTE -> LOCAL, each block written
// to the file from OnDataReceived as it arrives and then dropped from the stream, as Quellin's
// Copy To Local does;
// store: LOCAL -> REMOTE; list: LIST of the folder REMOTE, then every line parsed.
// Prints "seconds=S" (log-in excluded) and, for list, "entries=N parse_lines_per_second=R".
#include "base/Streams.h"
#include "tcpip/tcpip.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 7) {
        std::fprintf(stderr, "usage: %s retrieve|download|store|list PORT USER PASSWORD sync|async REMOTE [LOCAL]\n", argv[0]);
        return 2;
    }
    const std::string action = argv[1];
    const std::string local = argc > 7 ? argv[7] : "";
    tcpip::T_FTP ftp;
    ftp.Hostname = "127.0.0.1";
    ftp.Port = static_cast<std::uint16_t>(std::stoi(argv[2]));
    ftp.Username = argv[3];
    ftp.Password = argv[4];
    ftp.Async = std::string(argv[5]) == "async";
    try {
        ftp.Connect();
        const auto start = std::chrono::steady_clock::now();
        if (action == "retrieve") {
            ftp.URI = argv[6];
            ftp.Retrieve();
            const auto received = std::chrono::steady_clock::now();
            ftp.DataStream.saveToFile(local);
            std::printf("received_in=%.4f\n", std::chrono::duration<double>(received - start).count());
        } else if (action == "download") {
            // Each block goes to the file as it arrives (the stream's newest count bytes).
            base::FileStream file(local, base::FileStream::Create);
            ftp.OnDataReceived = [&](QObject*, tcpip::t_ftp_mode, std::int64_t count) {
                if (count > 0) {
                    const std::string_view bytes = ftp.DataStream.data();
                    file.write(bytes.data() + bytes.size() - static_cast<std::size_t>(count), static_cast<std::size_t>(count));
                    ftp.DataStream.setSize(0);
                }
            };
            ftp.URI = argv[6];
            ftp.Retrieve();
        } else if (action == "store") {
            ftp.DataStream.loadFromFile(local);
            ftp.URI = argv[6];
            ftp.Store();
        } else {
            ftp.ListDirectory(argv[6]);
        }
        const auto transferred = std::chrono::steady_clock::now();
        std::size_t entries = 0;
        if (action == "list") {
            for (tcpip::t_filedata e;; ++entries) {
                ftp.GetDirEntry(e);
                if (e.type == tcpip::ft_none)
                    break;
            }
        }
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        std::printf("seconds=%.4f\n", seconds);
        if (action == "list") {
            const double parse = std::chrono::duration<double>(end - transferred).count();
            std::printf("entries=%zu parse_lines_per_second=%.0f\n", entries,
                        static_cast<double>(ftp.ListingLines.count()) / (parse > 0 ? parse : 1e-9));
        }
        ftp.Disconnect();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
