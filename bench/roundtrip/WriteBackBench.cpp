// Write-back with the conflict check and the whole-file store against a plain Store of the same
// bytes, in one session on one server, alternating so that both see the same conditions.
//   writeback_bench ftp|sftp PORT USER PASSWORD SSH_FOLDER REMOTE LOCAL RUNS
// SSH_FOLDER holds the key (and gets known_hosts) for sftp; "-" for ftp. Prints the medians:
// "direct=S" and "whole=S" (seconds), log-in not timed.
#include "remote/WriteBack.h"
#include "sftp/SftpSession.h"
#include "tcpip/FtpRemoteFiles.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <typename Step>
double timed(Step&& step)
{
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::unique_ptr<remote::RemoteFiles> session(const std::string& protocol, const std::string& sshFolder)
{
    if (protocol == "ftp")
        return std::make_unique<tcpip::FtpRemoteFiles>();
    auto sftp = std::make_unique<sftp::SftpSession>();
    sftp->sshFolder = QString::fromStdString(sshFolder);
    sftp->OnHostKeyQuestion = [](const std::string&, const std::string&) { return true; };
    return sftp;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 9 || (std::string(argv[1]) != "ftp" && std::string(argv[1]) != "sftp")) {
        std::fprintf(stderr, "usage: %s ftp|sftp PORT USER PASSWORD SSH_FOLDER REMOTE LOCAL RUNS\n", argv[0]);
        return 2;
    }
    try {
        const auto files = session(argv[1], argv[5]);
        files->Site = { "127.0.0.1", static_cast<std::uint16_t>(std::stoi(argv[2])), argv[3], argv[4] };
        const std::string name = argv[6];
        base::MemoryStream source;
        source.loadFromFile(argv[7]);
        files->Connect();
        std::vector<double> direct;
        std::vector<double> whole;
        for (int run = 0; run < std::stoi(argv[8]); ++run) {
            source.setPosition(0);
            direct.push_back(timed([&] { files->Store(source, name); }));
            const remote::ServerStamp stamp = remote::TakeStamp(*files, name);
            source.setPosition(0);
            whole.push_back(timed([&] {
                const auto result = remote::WriteBack(*files, source, name, stamp, nullptr);
                if (result.outcome != remote::WriteBackOutcome::Stored || result.direct)
                    throw remote::ERemoteError("the write-back did not store whole: " + result.statusLine);
            }));
        }
        files->Disconnect();
        std::printf("direct=%.4f\nwhole=%.4f\n", median(direct), median(whole));
        return 0;
    } catch (const base::Exception& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        return 1;
    }
}
