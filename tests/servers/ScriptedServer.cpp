#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace testservers {

namespace script {
using K = Step::Kind;
Step accept() { return { K::Accept, {}, 0, {} }; }
Step send(std::string bytes) { return { K::Send, std::move(bytes), 0, {} }; }
Step sendSlowly(std::string bytes, std::size_t piece, std::chrono::milliseconds delay)
{
    return { K::SendSlowly, std::move(bytes), piece, delay };
}
Step expectLine() { return { K::ExpectLine, {}, 0, {} }; }
Step expectUntil(std::string delimiter) { return { K::ExpectUntil, std::move(delimiter), 0, {} }; }
Step expectBytes(std::size_t count) { return { K::ExpectBytes, {}, count, {} }; }
Step expectClose() { return { K::ExpectClose, {}, 0, {} }; }
Step stall(std::chrono::milliseconds delay) { return { K::Stall, {}, 0, delay }; }
Step close() { return { K::Close, {}, 0, {} }; }
Step reset() { return { K::Reset, {}, 0, {} }; }
Step listenData() { return { K::ListenData, {}, 0, {} }; }
Step acceptData() { return { K::AcceptData, {}, 0, {} }; }
Step connectData() { return { K::ConnectData, {}, 0, {} }; }
Step dataSend(std::string bytes) { return { K::DataSend, std::move(bytes), 0, {} }; }
Step dataSendSlowly(std::string bytes, std::size_t piece, std::chrono::milliseconds delay)
{
    return { K::DataSendSlowly, std::move(bytes), piece, delay };
}
Step dataReceiveAll() { return { K::DataReceiveAll, {}, 0, {} }; }
Step dataClose() { return { K::DataClose, {}, 0, {} }; }
Step dataReset() { return { K::DataReset, {}, 0, {} }; }
} // namespace script

namespace {

struct StepFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr auto kSlice = std::chrono::milliseconds(20);

int listenOnLoopback(std::uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw std::runtime_error("socket() failed");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(a.sin_port);
    return fd;
}

// Scripted bytes go out when the step says so, not when Nagle's algorithm lets them.
void noDelay(int fd)
{
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

std::string portPair(std::uint16_t port)
{
    return std::to_string(port / 256) + "," + std::to_string(port % 256);
}

void replaceAll(std::string& s, const std::string& what, const std::string& with)
{
    for (std::size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + with.size()))
        s.replace(p, what.size(), with);
}

} // namespace

ScriptedServer::ScriptedServer(Script script, std::chrono::milliseconds stepTimeout)
    : script_(std::move(script)), stepTimeout_(stepTimeout)
{
    listener_ = listenOnLoopback(port_);
    thread_ = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    closeFd(control_, false);
    closeFd(data_, false);
    closeFd(dataListener_, false);
    closeFd(listener_, false);
}

bool ScriptedServer::finish(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done_ && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!done_) {
        std::lock_guard lock(mutex_);
        if (failure_.empty())
            failure_ = "script still running after its time (at step " + std::to_string(stepsDone_) + ")";
        return false;
    }
    return failure().empty();
}

std::string ScriptedServer::transcript() const
{
    std::lock_guard lock(mutex_);
    return transcript_;
}

std::string ScriptedServer::dataReceived() const
{
    std::lock_guard lock(mutex_);
    return dataReceived_;
}

std::string ScriptedServer::failure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

void ScriptedServer::run()
{
    try {
        for (const Step& step : script_) {
            if (stopping_)
                throw StepFailed("stopped");
            runStep(step);
            ++stepsDone_;
        }
    } catch (const std::exception& e) {
        std::lock_guard lock(mutex_);
        failure_ = "step " + std::to_string(stepsDone_ + 1) + ": " + e.what();
    }
    closeFd(data_, false);
    closeFd(control_, false);
    done_ = true;
}

void ScriptedServer::runStep(const Step& step)
{
    using K = Step::Kind;
    switch (step.kind) {
    case K::Accept: {
        if (!waitReadable(listener_, "a control connection"))
            throw StepFailed("no control connection");
        closeFd(control_, false);
        control_ = ::accept(listener_, nullptr, nullptr);
        pending_.clear();
        if (control_ < 0)
            throw StepFailed(std::string("accept failed: ") + std::strerror(errno));
        noDelay(control_);
        break;
    }
    case K::Send:
        sendAll(control_, substitute(step.bytes));
        break;
    case K::SendSlowly:
        sendSlowly(control_, substitute(step.bytes), step.count, step.delay);
        break;
    case K::ExpectLine:
    case K::ExpectUntil: {
        const std::string end = step.kind == K::ExpectLine ? std::string("\n") : step.bytes;
        std::size_t at;
        while ((at = pending_.find(end)) == std::string::npos) {
            if (!receiveSome(control_, pending_, "a line")) {
                record(pending_);
                pending_.clear();
                throw StepFailed("the client closed while a line was expected");
            }
        }
        record(pending_.substr(0, at + end.size()));
        pending_.erase(0, at + end.size());
        break;
    }
    case K::ExpectBytes:
        while (pending_.size() < step.count)
            if (!receiveSome(control_, pending_, "bytes"))
                throw StepFailed("the client closed before " + std::to_string(step.count) + " bytes");
        record(pending_.substr(0, step.count));
        pending_.erase(0, step.count);
        break;
    case K::ExpectClose:
        while (receiveSome(control_, pending_, "the client's close")) {
        }
        record(pending_);
        pending_.clear();
        break;
    case K::Stall:
        sleepFor(step.delay);
        break;
    case K::Close:
        closeFd(control_, false);
        break;
    case K::Reset:
        closeFd(control_, true);
        break;
    case K::ListenData:
        closeFd(dataListener_, false);
        dataListener_ = listenOnLoopback(dataPort_);
        break;
    case K::AcceptData:
        if (dataListener_ < 0)
            throw StepFailed("acceptData without listenData");
        if (!waitReadable(dataListener_, "a data connection"))
            throw StepFailed("no data connection");
        closeFd(data_, false);
        data_ = ::accept(dataListener_, nullptr, nullptr);
        if (data_ < 0)
            throw StepFailed(std::string("accept failed: ") + std::strerror(errno));
        noDelay(data_);
        break;
    case K::ConnectData: {
        std::string text = transcript();
        const std::size_t at = text.rfind("PORT ");
        unsigned h1, h2, h3, h4, p1, p2;
        if (at == std::string::npos
            || std::sscanf(text.c_str() + at, "PORT %u,%u,%u,%u,%u,%u", &h1, &h2, &h3, &h4, &p1, &p2) != 6)
            throw StepFailed("no PORT line to connect to");
        closeFd(data_, false);
        data_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(p1 * 256 + p2));
        a.sin_addr.s_addr = htonl((h1 << 24) | (h2 << 16) | (h3 << 8) | h4);
        if (::connect(data_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw StepFailed(std::string("connect to the PORT address failed: ") + std::strerror(errno));
        noDelay(data_);
        break;
    }
    case K::DataSend:
        sendAll(data_, substitute(step.bytes));
        break;
    case K::DataSendSlowly:
        sendSlowly(data_, substitute(step.bytes), step.count, step.delay);
        break;
    case K::DataReceiveAll: {
        std::string received;
        while (receiveSome(data_, received, "data")) {
        }
        std::lock_guard lock(mutex_);
        dataReceived_ += received;
        break;
    }
    case K::DataClose:
        closeFd(data_, false);
        break;
    case K::DataReset:
        closeFd(data_, true);
        break;
    }
}

std::string ScriptedServer::substitute(const std::string& text) const
{
    std::string s = text;
    replaceAll(s, "{port}", std::to_string(port_));
    replaceAll(s, "{pasv}", "127,0,0,1," + portPair(dataPort_));
    replaceAll(s, "{pasvport}", portPair(dataPort_));
    return s;
}

void ScriptedServer::sendAll(int fd, const std::string& bytes)
{
    if (fd < 0)
        throw StepFailed("send without a connection");
    std::size_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + stepTimeout_;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw StepFailed(std::string("send failed: ") + std::strerror(errno));
        if (stopping_ || std::chrono::steady_clock::now() > deadline)
            throw StepFailed("the client does not read");
        pollfd p{ fd, POLLOUT, 0 };
        ::poll(&p, 1, static_cast<int>(kSlice.count()));
    }
}

void ScriptedServer::sendSlowly(int fd, const std::string& bytes, std::size_t piece, std::chrono::milliseconds delay)
{
    const std::size_t step = piece == 0 ? 1 : piece;
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        sendAll(fd, bytes.substr(at, step));
        if (at + step < bytes.size())
            sleepFor(delay);
    }
}

bool ScriptedServer::receiveSome(int fd, std::string& into, const char* what)
{
    if (fd < 0)
        throw StepFailed(std::string("waiting for ") + what + " without a connection");
    if (!waitReadable(fd, what))
        throw StepFailed(std::string("timed out waiting for ") + what);
    char buffer[65536];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    return false; // closed or reset: both end what the client sends
}

void ScriptedServer::record(std::string bytes)
{
    std::lock_guard lock(mutex_);
    transcript_ += bytes;
}

bool ScriptedServer::waitReadable(int fd, const char*)
{
    const auto deadline = std::chrono::steady_clock::now() + stepTimeout_;
    while (!stopping_ && std::chrono::steady_clock::now() < deadline) {
        pollfd p{ fd, POLLIN, 0 };
        if (::poll(&p, 1, static_cast<int>(kSlice.count())) > 0)
            return true;
    }
    return false;
}

void ScriptedServer::sleepFor(std::chrono::milliseconds delay)
{
    const auto until = std::chrono::steady_clock::now() + delay;
    while (!stopping_ && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(kSlice, until - std::chrono::steady_clock::now()));
}

void ScriptedServer::closeFd(int& fd, bool reset)
{
    if (fd < 0)
        return;
    if (reset) {
        linger l{ 1, 0 };
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    }
    ::close(fd);
    fd = -1;
}

} // namespace testservers
