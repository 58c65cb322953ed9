// One timed step of Quellin's round trip (without the window), for bench/roundtrip/run.sh.
//   roundtrip_bench open|writeback PORT USER PASSWORD REMOTE   against a server on 127.0.0.1
//   roundtrip_bench localfill FOLDER
// open: log-in and Open until the bytes are handed over for the editor; writeback: the file
// opened first (not timed), then a fresh log-in and WriteBack of its text as the pane gives it
// (CR LF lines); localfill: the local browser's items for FOLDER. Prints "seconds=S"; the log-in
// is timed as curl's is.
#include "quellin/LocalFolders.h"
#include "quellin/RemoteEdit.h"
#include "tcpip/FtpRemoteFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What the editor's pane returns for a text: its lines joined by CR LF.
std::string crlfLines(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        if (bytes[i] == '\n' || bytes[i] == '\r')
            text += "\r\n";
        else
            text += bytes[i];
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::string action = argc > 1 ? argv[1] : "";
    try {
        if (action == "localfill" && argc == 3) {
            const auto start = Clock::now();
            const auto items = quellin::FolderItems(QString::fromLocal8Bit(argv[2]));
            std::printf("seconds=%.4f\nitems=%zu\n", since(start), items.size());
            return 0;
        }
        if ((action != "open" && action != "writeback") || argc != 6) {
            std::fprintf(stderr, "usage: %s open|writeback PORT USER PASSWORD REMOTE | localfill FOLDER\n", argv[0]);
            return 2;
        }
        tcpip::FtpRemoteFiles ftp;
        ftp.Site = { "127.0.0.1", static_cast<std::uint16_t>(std::stoi(argv[2])), argv[3], argv[4] };
        QTemporaryDir temp;
        quellin::RemoteEdit edit(ftp, temp.path() + "/");
        std::string opened;
        edit.OnOpened = [&](const std::string&, std::string_view bytes) { opened = bytes; };
        auto start = Clock::now();
        ftp.Connect();
        edit.Open(argv[5]);
        if (action == "writeback") {
            const std::string pane = crlfLines(opened);
            ftp.Disconnect();
            start = Clock::now();
            ftp.Connect();
            edit.WriteBack(pane);
        }
        std::printf("seconds=%.4f\n", since(start));
        ftp.Disconnect();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
