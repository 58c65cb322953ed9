#pragma once
// What a window's write-back asks of a scripted FTP server that has no MLST and reports neither
// time nor size: the stat commands (FEAT first, once per log-in), the store under a temporary
// name, the rename and the new file's time. Temporary names are random: TemporaryNamed shows them as {temp}.
#include "ScriptedServer.h"
#include "tcpip/FtpTestSupport.h"

#include <regex>
#include <string>

namespace quellintest {

// MDTM, STAT and SIZE of name, all unknown to the server; FEAT refused before them when asked.
inline testservers::Script UnknownStat(bool feat = false)
{
    using namespace testservers::script;
    testservers::Script steps;
    for (int i = feat ? 0 : 1; i < 4; ++i)
        steps = tcpiptest::join(steps, { expectLine(), send("502 not here\r\n") });
    return steps;
}
inline std::string UnknownStatSent(const std::string& name, bool feat = false)
{
    return (feat ? "FEAT\r\n" : "") + ("MDTM " + name + "\r\nSTAT " + name + "\r\nSIZE " + name + "\r\n");
}

// PASV and STOR of the temporary name, the bytes (then beforeReply, before the store is
// confirmed); the rename over name, then its new time (the size is known), unknown here.
inline testservers::Script WholeStore(const testservers::Script& beforeReply = {})
{
    using namespace testservers::script;
    using tcpiptest::join;
    const testservers::Script upload = { listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(),
                                         acceptData(), send("150 go\r\n"), dataReceiveAll() };
    return join(join(join(upload, beforeReply), { send("226 stored\r\n"), expectLine(), send("350 ready\r\n"),
                                                 expectLine(), send("250 renamed\r\n") }),
                { expectLine(), send("502 not here\r\n") });
}
inline std::string WholeStoreSent(const std::string& name)
{
    return "PASV\r\nSTOR {temp}\r\nRNFR {temp}\r\nRNTO " + name + "\r\nMDTM " + name + "\r\n";
}

inline std::string TemporaryNamed(const std::string& transcript)
{
    return std::regex_replace(transcript, std::regex(R"(\.[^\r\n ]+\.quellin-[A-Za-z0-9]{6}\.tmp)"), "{temp}");
}

} // namespace quellintest
