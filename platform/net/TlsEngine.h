#pragma once
// A TLS client connection that never touches a socket: ciphertext goes in and out through
// memory buffers, so whoever owns the transport decides when to read and write and nothing
// here can block. Certificates are checked against the system's store (OpenSSL's default
// paths: ca-certificates, or SSL_CERT_FILE / SSL_CERT_DIR when set) plus an optional extra CA
// file (a file that cannot be read fails this engine only: the next one tries it again), and
// the peer's name against hostName (an IPv4 or IPv6 literal is checked against the
// certificate's addresses and is not sent as SNI).
//
// Renegotiation is declined. Invariants: once failed() is true it stays true and failure() says what failed in words a
// user can act on; no plaintext is ever taken in or handed out before established().
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ssl_session_st;

namespace platform::net {

// A session a later connection to the same server may resume (OpenSSL's SSL_SESSION).
using TlsSession = std::shared_ptr<ssl_session_st>;

struct TlsOptions {
    std::string hostName;
    std::string caFile; // an extra trusted CA (PEM); empty: the system's store only
    // Offered to the server for resumption: FTP servers accept a data connection only when
    // it resumes the control connection's session, which proves both come from one client.
    TlsSession resume{};
};

// True for an OpenSSL error code that asks for the same write again later (the session waits
// for the peer or for room), false for one that ends the session.
bool WriteMayBeRetried(int sslError);

class TlsEngine {
public:
    // A CA file that cannot be read makes the engine failed at once.
    explicit TlsEngine(const TlsOptions& options);
    ~TlsEngine();
    TlsEngine(const TlsEngine&) = delete;
    TlsEngine& operator=(const TlsEngine&) = delete;

    // Drives the handshake with what has arrived; true once it has completed.
    bool handshake();
    bool established() const { return established_; }
    bool failed() const { return !failure_.empty(); }
    const std::string& failure() const { return failure_; }
    // After the handshake: the protocol ("TLS 1.3"), whether the offered session was resumed,
    // and the session to offer a later connection (the newest the server sent).
    std::string version() const;
    bool resumed() const;
    TlsSession session() const;

    // Ciphertext from the peer.
    void receive(const char* bytes, std::size_t length);
    // The transport reached its end (orderly or not); a handshake under way fails.
    void endTransport();
    bool transportEnded() const { return transportEnded_; }

    // Ciphertext waiting to be sent, and how much of it the transport took.
    std::string_view outgoing();
    void sent(std::size_t length);

    // Decrypts what has arrived into the plaintext buffer.
    void decrypt();
    std::size_t plaintextSize() const { return plain_.size() - plainStart_; }
    // Copies up to length plaintext bytes; peek leaves them in place.
    std::size_t read(char* into, std::size_t length, bool peek);
    // The peer ended the TLS session properly (close_notify).
    bool closedByPeer() const { return closedByPeer_; }

    // Encrypts up to length bytes into outgoing(); returns how many it took. 0 without
    // failing when the session must hear from the peer first (writeWantsPeer()): offer the
    // bytes again after the next decrypt().
    std::size_t write(const char* bytes, std::size_t length);
    bool writeWantsPeer() const { return writeWantsPeer_; }
    // Queues close_notify (once).
    void close();

private:
    void fail(std::string reason);
    std::string describeFailure(int sslError) const;
    void collectOutgoing();

    struct Handles;
    std::unique_ptr<Handles> h_;
    std::string failure_;
    bool established_ = false;
    bool transportEnded_ = false;
    bool closedByPeer_ = false;
    bool closeSent_ = false;
    bool writeWantsPeer_ = false;
    std::vector<char> plain_;
    std::size_t plainStart_ = 0;
    std::string out_;
    std::size_t outStart_ = 0;
};

} // namespace platform::net
