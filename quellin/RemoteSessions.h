#pragma once
// The remote-files implementation for a site's protocol: FtpRemoteFiles for FTP and FTP over
// TLS, SftpSession for SFTP, made with the window's hooks assigned. The window holds the result
// as remote::RemoteFiles& only; what just one protocol has is reached through this file.
#include "quellin/SiteList.h"
#include "remote/RemoteFiles.h"

#include <functional>
#include <memory>
#include <string>

namespace tcpip {
class T_FTP;
}

namespace quellin {

struct RemoteHooks {
    remote::TraceEvent trace;
    // FTP: one line for the user after an operation logged in again by itself.
    std::function<void(const std::string&)> reconnected;
    // SFTP: (host, "SHA256:..." fingerprint) of a key known_hosts does not hold: trust and store it?
    std::function<bool(const std::string&, const std::string&)> hostKeyQuestion;
};

std::unique_ptr<remote::RemoteFiles> MakeRemoteFiles(RemoteProtocol protocol, const RemoteHooks& hooks);

// Makes session serve protocol: kept when its implementation already does (FTP and FTP over TLS
// share one, switched by its TLS flag), else logged out and replaced by a new one that keeps
// its silence timeout. Returns whether it was replaced.
bool UseProtocol(std::unique_ptr<remote::RemoteFiles>& session, RemoteProtocol protocol, const RemoteHooks& hooks);

RemoteProtocol ProtocolOf(const remote::RemoteFiles& session);

// The FTP session underneath, for FTP's raw command; nullptr for SFTP.
tcpip::T_FTP* FtpSessionOf(remote::RemoteFiles& session);

} // namespace quellin
