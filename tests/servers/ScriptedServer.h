#pragma once
// A scripted TCP server inside the test process, on its own thread, for exact protocol cases.
// A case is data: a list of steps (accept, send, expect a line, stall, close, reset, open or
// accept a data connection, ...). Everything the client sends is recorded by the expect steps;
// the test compares that transcript byte for byte with what the client must have sent.
//
//   ScriptedServer server({accept(), send("220 ready\r\n"), expectLine(), send("221 bye\r\n"),
//                          expectClose()});
//   ... client connects to 127.0.0.1:server.port() ...
//   EXPECT_TRUE(server.finish()) << server.failure();
//   EXPECT_EQ(server.transcript(), "QUIT\r\n");
//
// Placeholders replaced in every sent text when it is sent:
//   {port}      the control listener's port, in decimal
//   {pasv}      "127,0,0,1,p1,p2" of the data listener of listenData()
//   {pasvport}  "p1,p2" of that listener (to pair with another address)
// Every wait is bounded by the step timeout; the first step that fails stops the script and
// is reported by failure(). When the script has run out, its connections are closed.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testservers {

struct Step {
    enum class Kind {
        Accept,          // accept the next control connection (closes the previous one)
        Send,            // send bytes on the control connection
        SendSlowly,      // send bytes in pieces of `count` bytes with `delay` between them
        ExpectLine,      // record client bytes up to and including the next LF
        ExpectUntil,     // record client bytes up to and including the text in `bytes`
        ExpectBytes,     // record exactly `count` client bytes
        ExpectClose,     // record client bytes until the client closes
        Stall,           // do nothing for `delay`
        Close,           // close the control connection cleanly
        Reset,           // close the control connection with a reset (RST)
        ListenData,      // open a data listener on 127.0.0.1 with an ephemeral port
        AcceptData,      // accept the client's data connection on that listener
        ConnectData,     // connect to the address of the client's last "PORT" line
        DataSend,        // send bytes on the data connection
        DataSendSlowly,  // as SendSlowly, on the data connection
        DataReceiveAll,  // record everything the client sends on the data connection until it closes
        DataClose,       // close the data connection cleanly
        DataReset,       // close the data connection with a reset
    };
    Kind kind;
    std::string bytes;
    std::size_t count = 0;
    std::chrono::milliseconds delay{0};
};
using Script = std::vector<Step>;

namespace script {
Step accept();
Step send(std::string bytes);
Step sendSlowly(std::string bytes, std::size_t piece, std::chrono::milliseconds delay);
Step expectLine();
Step expectUntil(std::string delimiter);
Step expectBytes(std::size_t count);
Step expectClose();
Step stall(std::chrono::milliseconds delay);
Step close();
Step reset();
Step listenData();
Step acceptData();
Step connectData();
Step dataSend(std::string bytes);
Step dataSendSlowly(std::string bytes, std::size_t piece, std::chrono::milliseconds delay);
Step dataReceiveAll();
Step dataClose();
Step dataReset();
} // namespace script

class ScriptedServer {
public:
    // Listens on 127.0.0.1 with an ephemeral port at once and runs the script on a thread.
    explicit ScriptedServer(Script script, std::chrono::milliseconds stepTimeout = std::chrono::seconds(10));
    // Stops the script wherever it is (a stall ends early), closes everything, joins the thread.
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t port() const { return port_; }
    // Waits (bounded) until the script has run to its end; true when every step succeeded.
    bool finish(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // What the expect steps recorded on the control connection(s), in order.
    std::string transcript() const;
    // What the client sent on data connections (dataReceiveAll).
    std::string dataReceived() const;
    // Empty when every step ran as written; else which step failed and why.
    std::string failure() const;
    // Number of steps completed so far.
    std::size_t stepsDone() const { return stepsDone_; }

private:
    void run();
    void runStep(const Step& step);
    std::string substitute(const std::string& text) const;
    void sendAll(int fd, const std::string& bytes);
    void sendSlowly(int fd, const std::string& bytes, std::size_t piece, std::chrono::milliseconds delay);
    // Reads what is there into pending_ (for control) or returns false at the client's close.
    bool receiveSome(int fd, std::string& into, const char* what);
    void record(std::string bytes);
    bool waitReadable(int fd, const char* what);
    void sleepFor(std::chrono::milliseconds delay);
    void closeFd(int& fd, bool reset);

    Script script_;
    std::chrono::milliseconds stepTimeout_;
    int listener_ = -1;
    int control_ = -1;
    int dataListener_ = -1;
    int data_ = -1;
    std::uint16_t port_ = 0;
    std::uint16_t dataPort_ = 0;
    std::string pending_;
    mutable std::mutex mutex_;
    std::string transcript_;
    std::string dataReceived_;
    std::string failure_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> done_{false};
    std::atomic<std::size_t> stepsDone_{0};
    std::thread thread_;
};

} // namespace testservers
