#include "quellin/RemoteSessions.h"

#include "sftp/SftpSession.h"
#include "tcpip/FtpRemoteFiles.h"

namespace quellin {

std::unique_ptr<remote::RemoteFiles> MakeRemoteFiles(RemoteProtocol protocol, const RemoteHooks& hooks)
{
    std::unique_ptr<remote::RemoteFiles> session;
    if (protocol == RemoteProtocol::Sftp) {
        auto sftp = std::make_unique<sftp::SftpSession>();
        sftp->OnHostKeyQuestion = hooks.hostKeyQuestion;
        session = std::move(sftp);
    } else {
        auto ftp = std::make_unique<tcpip::FtpRemoteFiles>();
        ftp->ExplicitTls = protocol == RemoteProtocol::Ftps;
        ftp->session().OnReconnected = hooks.reconnected;
        session = std::move(ftp);
    }
    session->OnTrace = hooks.trace;
    return session;
}

bool UseProtocol(std::unique_ptr<remote::RemoteFiles>& session, RemoteProtocol protocol, const RemoteHooks& hooks)
{
    const bool wantFtp = protocol != RemoteProtocol::Sftp;
    if (auto* ftp = dynamic_cast<tcpip::FtpRemoteFiles*>(session.get()); ftp && wantFtp) {
        ftp->ExplicitTls = protocol == RemoteProtocol::Ftps;
        return false;
    }
    if (!wantFtp && dynamic_cast<sftp::SftpSession*>(session.get()))
        return false;
    std::unique_ptr<remote::RemoteFiles> next = MakeRemoteFiles(protocol, hooks);
    if (session) {
        session->Disconnect();
        next->setSilenceTimeout(session->silenceTimeout());
        next->Async = session->Async;
    }
    session = std::move(next);
    return true;
}

RemoteProtocol ProtocolOf(const remote::RemoteFiles& session)
{
    if (const auto* ftp = dynamic_cast<const tcpip::FtpRemoteFiles*>(&session))
        return ftp->ExplicitTls ? RemoteProtocol::Ftps : RemoteProtocol::Ftp;
    return RemoteProtocol::Sftp;
}

tcpip::T_FTP* FtpSessionOf(remote::RemoteFiles& session)
{
    auto* ftp = dynamic_cast<tcpip::FtpRemoteFiles*>(&session);
    return ftp ? &ftp->session() : nullptr;
}

} // namespace quellin
