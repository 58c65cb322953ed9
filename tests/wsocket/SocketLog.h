#pragma once
// Records every event of a socket as text, in order: "ChangeState 3>4", "SessionConnected 0",
// "DataAvailable 0", "DataSent 0", "SessionClosed 0", "DnsLookupDone 11001", "LineTooLong",
// "Error", "SessionAvailable 0".
#include "wsocket/WSocket.h"

#include <string>
#include <vector>

struct SocketLog {
    // Hooks every event; a data-available handler (if any) runs after the entry is logged.
    explicit SocketLog(TCustomWSocket& socket, bool withOnError = true);
    // Unhooks every event, so the socket may outlive the log.
    ~SocketLog();
    SocketLog(const SocketLog&) = delete;
    SocketLog& operator=(const SocketLog&) = delete;
    TCustomWSocket& socket;
    std::vector<std::string> entries;
    std::string joined() const; // entries separated by ", "
    bool has(const std::string& entry) const;
    int count(const std::string& entry) const;
    // The entries from the first one equal to `from` on (all when absent).
    std::vector<std::string> from(const std::string& first) const;
    TDataAvailable onData; // called from OnDataAvailable after logging
};

// Reads everything waiting into `into` (a data-available handler).
TDataAvailable ReceiveInto(std::string& into);
