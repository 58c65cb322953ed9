#pragma once
// One connection of the link checker that carries HTTP/1.1 requests one after another while
// the server keeps it open: to an origin server over http or https, or to a proxy (plain
// http through it; https through a tunnel it opens with CONNECT). It runs on TWSocket's
// events in the caller's thread.
//
// An exchange: send() connects first when needed (look-up, connect, tunnel, TLS), sends the
// request, reads the answer's header and raises OnHeader, which says whether the body is
// wanted. A wanted body arrives through OnBody; one that is not wanted is read and dropped
// when its length is known and small (or it has all arrived), so the connection can serve
// again, else the connection closes. OnEnd ends every exchange, once, after the answer has
// been read: complete (failure() empty; also when a body nobody wanted is cut short) or failed.
//
// Invariant: at most one exchange at a time; idle() only between exchanges on an open
// connection the server agreed to keep; a closed connection never opens again.
#include "tarnby/check/ResponseReader.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>

class TWSocket;

namespace tarnby::check {

// Where a connection goes, and what may share it.
struct ConnectionTarget {
    std::string key;     // connections with the same key are interchangeable
    std::string host;    // where to connect: the origin server or the proxy
    std::string port;
    bool tls = false;    // the origin is reached over TLS
    std::string tlsHost; // the name its certificate must carry
    std::string tunnel;  // "host:port" to ask the proxy for; empty without a tunnel
};

class HttpConnection : public QObject {
public:
    // Bodies that are not wanted are waited for, read and dropped up to this size to keep the
    // connection.
    static constexpr std::int64_t kDrainLimit = 64 * 1024;

    HttpConnection(ConnectionTarget target, std::string caFile, QObject* parent = nullptr);
    ~HttpConnection() override;

    const ConnectionTarget& target() const { return target_; }
    bool idle() const { return state_ == State::Idle; }
    bool closed() const { return state_ == State::Closed; }
    // Served a complete exchange before the one under way: a failure before the first byte of
    // the answer may be the server closing a connection it kept idle.
    bool reused() const { return reused_; }

    std::function<bool(const ResponseReader&)> OnHeader;
    std::function<void(std::string_view)> OnBody;
    std::function<void()> OnEnd;

    void send(std::string request, bool head);
    // Ends the exchange under way without OnEnd; the connection closes.
    void abandon();

    const std::string& failure() const { return failure_; }
    // The failed exchange got no byte of an answer.
    bool failedSilently() const { return failedSilently_; }
    ResponseReader::Fault fault() const { return fault_; }

private:
    enum class State { Fresh, Connecting, Tunnelling, Busy, Draining, Idle, Closed };

    void connectNow();
    void lookedUp(std::uint16_t error);
    void connected(std::uint16_t error);
    void sendRequest();
    void dataAvailable();
    void consume(std::string_view bytes);
    void tunnelAnswered();
    void peerClosed(std::uint16_t error);
    void socketReported();
    void exchangeOver();
    void raiseEnd();
    void fail(std::string why, ResponseReader::Fault fault = ResponseReader::Fault::None);
    void close();

    ConnectionTarget target_;
    std::string caFile_;
    std::unique_ptr<TWSocket> socket_;
    State state_ = State::Fresh;
    std::string request_;
    bool head_ = false;
    bool reused_ = false;
    bool tunnelUp_ = false;
    bool wantBody_ = false;
    std::int64_t received_ = 0; // bytes of the answer under way
    ResponseReader reader_;
    std::string failure_;
    bool failedSilently_ = false;
    ResponseReader::Fault fault_ = ResponseReader::Fault::None;
    int socketCalls_ = 0;    // inside a call of ours to the socket
    std::string reported_;   // what the socket reported meanwhile
};

} // namespace tarnby::check
