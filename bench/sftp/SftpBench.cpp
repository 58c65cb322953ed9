// One timed SFTP operation with SftpSession against an sshd on 127.0.0.1, for bench/sftp/run.sh.
//   sftp_bench retrieve|store|list PORT USER SSH_FOLDER sync|async REMOTE [LOCAL]
// Authenticates with the keys in SSH_FOLDER (and stores the host key there on first sight).
// retrieve: REMOTE -> LOCAL, written as it arrives; store: LOCAL -> REMOTE; list: the folder
// REMOTE. Prints "seconds=S", log-in included (as for the peer, a process that logs in), and
// for list "entries=N".
#include "base/Streams.h"
#include "sftp/SftpSession.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 7) {
        std::fprintf(stderr, "usage: %s retrieve|store|list PORT USER SSH_FOLDER sync|async REMOTE [LOCAL]\n", argv[0]);
        return 2;
    }
    const std::string action = argv[1];
    const std::string remotePath = argv[6];
    const std::string local = argc > 7 ? argv[7] : "";
    sftp::SftpSession session;
    session.Site = { "127.0.0.1", static_cast<std::uint16_t>(std::stoi(argv[2])), argv[3], "" };
    session.sshFolder = QString::fromLocal8Bit(argv[4]);
    session.Async = std::string(argv[5]) == "async";
    session.OnHostKeyQuestion = [](const std::string&, const std::string&) { return true; };
    try {
        const auto start = std::chrono::steady_clock::now();
        std::size_t entries = 0;
        if (action == "retrieve") {
            base::FileStream file(local, base::FileStream::Create);
            session.Retrieve(remotePath, file);
        } else if (action == "store") {
            base::FileStream file(local, base::FileStream::OpenRead);
            session.Store(file, remotePath);
        } else {
            entries = session.List(remotePath).size();
        }
        session.Disconnect();
        const auto end = std::chrono::steady_clock::now();
        std::printf("seconds=%.4f\n", std::chrono::duration<double>(end - start).count());
        if (action == "list")
            std::printf("entries=%zu\n", entries);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
