// Which implementation serves a protocol: kept while it fits, replaced (keeping the wait
// settings) when it does not; FTP's raw session only under FTP.
#include "quellin/RemoteSessions.h"

#include <gtest/gtest.h>

using quellin::RemoteProtocol;
using namespace std::chrono_literals;

TEST(RemoteSessions, EachProtocolGetsItsImplementationAndASwitchKeepsTheWaitSettings)
{
    std::unique_ptr<remote::RemoteFiles> session;
    const quellin::RemoteHooks hooks;
    const struct {
        RemoteProtocol protocol;
        bool replaced;
        bool rawFtp;
    } steps[] = {
        { RemoteProtocol::Ftp, true, true },   { RemoteProtocol::Ftps, false, true }, { RemoteProtocol::Sftp, true, false },
        { RemoteProtocol::Sftp, false, false }, { RemoteProtocol::Ftp, true, true },  { RemoteProtocol::Ftp, false, true },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(quellin::SchemeOf(step.protocol));
        const remote::RemoteFiles* before = session.get();
        EXPECT_EQ(quellin::UseProtocol(session, step.protocol, hooks), step.replaced);
        EXPECT_EQ(session.get() != before, step.replaced);
        EXPECT_EQ(quellin::ProtocolOf(*session), step.protocol);
        EXPECT_EQ(quellin::FtpSessionOf(*session) != nullptr, step.rawFtp);
        EXPECT_EQ(session->silenceTimeout(), before ? 7s : 60s);
        EXPECT_EQ(session->Async, before != nullptr);
        session->setSilenceTimeout(7s);
        session->Async = true;
    }
}
