// FTP over TLS: the parts of T_FTP that secure its connections.
#include "tcpip/Ftp.h"

namespace tcpip {

namespace net = platform::net;

namespace {

// "Security data exchange complete": the server starts TLS on the control connection.
constexpr int kAuthAccepted = 234;

} // namespace

void T_FTP::secureControl()
{
    SendLine("AUTH TLS");
    try {
        ReadReply();
    } catch (const EProtocolError&) {
        if (!connected_)
            throw;
    }
    if (ReplyCode != kAuthAccepted) {
        // Refused without a word more: the log-in would go in clear.
        const std::string answer = std::to_string(ReplyCode) + " " + ReplyText;
        DropConnection();
        throw ETcpIpError("The server at " + Hostname + " does not offer FTP over TLS (it answered AUTH TLS with \""
                          + answer + "\"); nothing else was sent");
    }
    if (HasInput(ControlSocket)) {
        // Lines sent in clear after the agreement would be taken as replies of the secure
        // session (a sign of someone in between), and a close is no TLS either.
        DropConnection();
        throw ETcpIpError("The server at " + Hostname + " did not begin TLS after agreeing to it; the connection was closed");
    }
    try {
        StartTls(ControlSocket, { Hostname, CaFile, nullptr });
        const net::TlsState state = AwaitTls(ControlSocket);
        Trace(state.version + ", certificate verified for " + Hostname, tl_socket);
    } catch (const ETcpIpError&) {
        DropConnection();
        throw;
    }
}

void T_FTP::secureDataSocket()
{
    if (!ExplicitTls || socket_ == -1 || dataListening_ || net::WSATlsProgress(socket_).secured)
        return;
    // The server ties the data connection to this client by the control connection's session.
    StartTls(socket_, { Hostname, CaFile, net::WSATlsProgress(ControlSocket).session });
}

void T_FTP::awaitDataSecured()
{
    if (!ExplicitTls || socket_ == -1)
        return;
    if (!Async) {
        AwaitTls(socket_);
        return;
    }
    // An asynchronous data connection reports its handshake's end as its connection.
    if (dataFailed_)
        throw ETcpIpError("The secure data connection to " + Hostname + " failed: " + net::WSATlsFailure(socket_));
}

void T_FTP::readRestWithoutNotifications()
{
    if (ExplicitTls && Async && socket_ != -1 && !dataListening_)
        Select(socket_, WM_SOCKET_DATA, 0);
}

void T_FTP::answerDataEnd()
{
    if (ExplicitTls && socket_ != -1 && !dataListening_)
        net::shutdown(socket_, net::SD_SEND);
}

void T_FTP::finishSecureUpload()
{
    DrainSends(socket_);
    readRestWithoutNotifications();
    net::shutdown(socket_, net::SD_SEND);
    for (int count = 1; count > 0;)
        ReadData(socket_, nullptr, count, kReceiveBufferSize);
}

void T_FTP::raiseDataRefusal(const EProtocolError& e)
{
    throw EProtocolError("FTP", e.ReplyCode,
                         "The server refused the secure data connection (" + e.message()
                             + "); it accepts only data connections that resume the control connection's TLS session");
}

} // namespace tcpip
