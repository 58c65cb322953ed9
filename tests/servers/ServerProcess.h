#pragma once
// A real server program for tests: started in its own temporary folder on 127.0.0.1 with an
// ephemeral port, ready when a TCP connection to that port succeeds, stopped when the object
// goes (RAII). The program's stdout and stderr go to files in the folder, shown in every error.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QProcess;
class QTemporaryDir;

namespace testservers {

// A folder under the system temp folder, removed with everything in it when the object goes.
// Mode 0755, so servers that drop privileges can reach their files below it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string file(const std::string& relative) const;
    // Creates the file (and missing parent folders) with exactly these bytes.
    void write(const std::string& relative, const std::string& bytes) const;
    void makeFolder(const std::string& relative) const;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::string path_;
};

// A TCP port on 127.0.0.1 that nobody listens on right now (the kernel's ephemeral choice).
std::uint16_t FreeLoopbackPort();
// count consecutive free ports on 127.0.0.1 (for passive-mode ranges); the first is returned.
std::uint16_t FreeLoopbackPortRange(int count);

// Throws std::runtime_error when the program does not exist (tests then fail, never skip).
std::string RequireProgram(const std::string& program);

struct ServerOptions {
    std::string name;                 // for messages: "vsftpd", "nginx", ...
    std::string program;              // absolute path or name on PATH
    std::vector<std::string> arguments;
    std::uint16_t port = 0;           // where readiness is probed
    std::string workingFolder;        // usually the TempFolder's path
    std::chrono::milliseconds readyTimeout{10000};
};

class ServerProcess {
public:
    // Starts the program and waits until it accepts connections on 127.0.0.1:port, polling in
    // a loop bounded by readyTimeout. Throws std::runtime_error (with the server's output) when
    // it cannot start, exits early or does not become ready in time.
    explicit ServerProcess(ServerOptions options);
    // Stops the server: SIGTERM, then SIGKILL after two seconds.
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    std::uint16_t port() const { return options_.port; }
    bool running() const;
    // What the server wrote to stdout and stderr so far.
    std::string output() const;
    // The server's process id (0 when it is not running).
    long long processId() const;

private:
    void stop();
    ServerOptions options_;
    std::unique_ptr<QProcess> process_;
    std::string logPath_;
};

// True when something accepts a TCP connection on 127.0.0.1:port right now.
bool LoopbackPortAccepts(std::uint16_t port);

} // namespace testservers
