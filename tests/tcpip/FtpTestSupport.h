#pragma once
// Helpers shared by the session tests: a session pointed at a loopback port, the scripted
// log-in, and a recorder of trace lines with socket numbers replaced by names.
#include "ScriptedServer.h"
#include "tcpip/tcpip.h"

#include <chrono>
#include <string>
#include <vector>

namespace tcpiptest {

using namespace std::chrono_literals;

// The log-in as the scripted server plays it, and the lines the client must send for it.
inline testservers::Script loginSteps(const std::string& greeting = "220 ready\r\n")
{
    using namespace testservers::script;
    return { accept(), send(greeting), expectLine(), send("331 password\r\n"), expectLine(),
             send("230 logged in\r\n"), expectLine(), send("200 binary\r\n") };
}
inline const std::string kLoginTranscript = "USER ftp\r\nPASS guestx@noplace\r\nTYPE I\r\n";

inline testservers::Script join(testservers::Script a, const testservers::Script& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline void pointAt(tcpip::T_FTP& ftp, std::uint16_t port)
{
    ftp.Hostname = "127.0.0.1";
    ftp.Port = port;
    ftp.setSilenceTimeout(5s);
}

struct TraceLine {
    int level;
    std::string text;
    bool operator==(const TraceLine&) const = default;
};

// Records the trace; runs of "Received 1 bytes on socket ID n" (one per control byte) are
// folded into one line "Received 1 bytes on socket ID n xCOUNT".
class TraceRecorder {
public:
    explicit TraceRecorder(tcpip::T_TcpIp& component)
    {
        component.OnTrace = [this](const std::string& text, tcpip::TTraceLevel level) {
            if (!lines.empty() && lines.back().level == level && text == lastText_) {
                ++repeat_;
                lines.back().text = text + " x" + std::to_string(repeat_);
                return;
            }
            lastText_ = text;
            repeat_ = 1;
            lines.push_back({ level, text });
        };
    }
    bool contains(const std::string& part) const
    {
        for (const auto& l : lines)
            if (l.text.find(part) != std::string::npos)
                return true;
        return false;
    }
    std::vector<TraceLine> lines;

private:
    std::string lastText_;
    int repeat_ = 0;
};

} // namespace tcpiptest
