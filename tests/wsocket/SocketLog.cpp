#include "SocketLog.h"

#include <algorithm>

namespace {
std::string withCode(const char* name, std::uint16_t error)
{
    return std::string(name) + " " + std::to_string(error);
}
} // namespace

SocketLog::SocketLog(TCustomWSocket& s, bool withOnError) : socket(s)
{
    s.OnChangeState = [this](TCustomWSocket*, TSocketState o, TSocketState n) {
        entries.push_back("ChangeState " + std::to_string(o) + ">" + std::to_string(n));
    };
    s.OnSessionConnected = [this](TCustomWSocket*, std::uint16_t e) { entries.push_back(withCode("SessionConnected", e)); };
    s.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t e) { entries.push_back(withCode("SessionClosed", e)); };
    s.OnSessionAvailable = [this](TCustomWSocket*, std::uint16_t e) { entries.push_back(withCode("SessionAvailable", e)); };
    s.OnDataSent = [this](TCustomWSocket*, std::uint16_t e) { entries.push_back(withCode("DataSent", e)); };
    s.OnDnsLookupDone = [this](TCustomWSocket*, std::uint16_t e) { entries.push_back(withCode("DnsLookupDone", e)); };
    s.OnLineTooLong = [this](TCustomWSocket*) { entries.push_back("LineTooLong"); };
    s.OnDataAvailable = [this](TCustomWSocket* sender, std::uint16_t e) {
        entries.push_back(withCode("DataAvailable", e));
        if (onData)
            onData(sender, e);
    };
    if (withOnError)
        s.OnError = [this](TCustomWSocket*) { entries.push_back("Error"); };
}

SocketLog::~SocketLog()
{
    socket.OnChangeState = nullptr;
    socket.OnSessionConnected = nullptr;
    socket.OnSessionClosed = nullptr;
    socket.OnSessionAvailable = nullptr;
    socket.OnDataSent = nullptr;
    socket.OnDnsLookupDone = nullptr;
    socket.OnLineTooLong = nullptr;
    socket.OnDataAvailable = nullptr;
    socket.OnError = nullptr;
}

std::string SocketLog::joined() const
{
    std::string text;
    for (const auto& e : entries)
        text += (text.empty() ? "" : ", ") + e;
    return text;
}

bool SocketLog::has(const std::string& entry) const
{
    return count(entry) > 0;
}

int SocketLog::count(const std::string& entry) const
{
    return static_cast<int>(std::count(entries.begin(), entries.end(), entry));
}

std::vector<std::string> SocketLog::from(const std::string& first) const
{
    const auto it = std::find(entries.begin(), entries.end(), first);
    return {it == entries.end() ? entries.begin() : it, entries.end()};
}

TDataAvailable ReceiveInto(std::string& into)
{
    return [&into](TCustomWSocket* s, std::uint16_t) {
        char buffer[65536];
        const int n = s->Receive(buffer, sizeof buffer);
        if (n > 0)
            into.append(buffer, static_cast<std::size_t>(n));
    };
}
