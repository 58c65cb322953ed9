#pragma once
// A session pointed at a fixture's sshd as its password user, with its own empty ~/.ssh (so
// no key of the machine's user takes part) and every host key accepted and remembered.
#include "ServerProcess.h"
#include "SshServer.h"
#include "sftp/SftpSession.h"

#include <chrono>
#include <memory>
#include <string>

namespace sftptest {

using namespace std::chrono_literals;

struct Client {
    testservers::TempFolder home;
    sftp::SftpSession session;
    int questions = 0;

    explicit Client(const testservers::SshServer& server, bool async = false)
    {
        home.makeFolder(".ssh");
        session.sshFolder = QString::fromStdString(home.file(".ssh"));
        session.Site = { "127.0.0.1", server.port(), testservers::SshServer::passwordUser(),
                         testservers::SshServer::password() };
        session.Async = async;
        session.setSilenceTimeout(10s);
        session.OnHostKeyQuestion = [this](const std::string&, const std::string&) {
            ++questions;
            return true;
        };
    }
};

// A stream of size bytes that no two positions of a short period share (catches shifted and
// repeated blocks).
inline std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242U;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}

} // namespace sftptest
