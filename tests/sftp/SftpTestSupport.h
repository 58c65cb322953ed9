#pragma once
// A session pointed at a fixture's sshd as its password user, with its own empty ~/.ssh (so
// no key of the machine's user takes part) and every host key accepted and remembered.
#include "ServerProcess.h"
#include "SshServer.h"
#include "../remote/RemoteContractCases.h"
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

using remotecontract::Pattern;

} // namespace sftptest
