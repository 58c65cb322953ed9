#include "platform/net/TlsEngine.h"

#include <algorithm>
#include <arpa/inet.h>
#include <map>
#include <mutex>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace platform::net {

namespace {

constexpr std::size_t kReadPiece = 16 * 1024;
constexpr std::size_t kWritePiece = 64 * 1024;

struct ContextDeleter {
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
using ContextPtr = std::unique_ptr<SSL_CTX, ContextDeleter>;

// One context per extra CA file, made once: loading the store is the expensive part, and
// contexts are safe to share between connections.
struct Context {
    ContextPtr ctx;
    std::string error;
};

// Only contexts that loaded are kept: a CA file that is missing or unreadable now may be
// there for the next connection, and one failure must not stay for the life of the process.
std::shared_ptr<const Context> contextFor(const std::string& caFile)
{
    static std::mutex mutex;
    static auto* contexts = new std::map<std::string, std::shared_ptr<const Context>>; // outlives every connection
    std::lock_guard lock(mutex);
    auto it = contexts->find(caFile);
    if (it != contexts->end())
        return it->second;
    auto c = std::make_shared<Context>();
    c->ctx.reset(SSL_CTX_new(TLS_client_method()));
    if (!c->ctx) {
        c->error = "TLS is not available";
    } else {
        SSL_CTX_set_min_proto_version(c->ctx.get(), TLS1_2_VERSION);
        SSL_CTX_set_verify(c->ctx.get(), SSL_VERIFY_PEER, nullptr);
        // A server's request to renegotiate is declined: a renegotiation can change the peer's
        // identity under a session already checked, and stalls writes while it runs.
        SSL_CTX_set_options(c->ctx.get(), SSL_OP_NO_RENEGOTIATION);
        // A refused write is offered again from wherever the caller's bytes then are.
        SSL_CTX_set_mode(c->ctx.get(), SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
        SSL_CTX_set_default_verify_paths(c->ctx.get());
        if (!caFile.empty() && SSL_CTX_load_verify_locations(c->ctx.get(), caFile.c_str(), nullptr) != 1)
            c->error = "cannot read the CA certificates in \"" + caFile + "\"";
        ERR_clear_error();
    }
    if (c->error.empty())
        contexts->emplace(caFile, c);
    return c;
}

bool isAddressLiteral(const std::string& host)
{
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

} // namespace

bool WriteMayBeRetried(int sslError)
{
    return sslError == SSL_ERROR_WANT_READ || sslError == SSL_ERROR_WANT_WRITE;
}

struct TlsEngine::Handles {
    SSL* ssl = nullptr;
    BIO* in = nullptr;  // owned by ssl
    BIO* out = nullptr; // owned by ssl
    ~Handles() { SSL_free(ssl); }
};

TlsEngine::TlsEngine(const TlsOptions& options) : h_(std::make_unique<Handles>())
{
    const std::shared_ptr<const Context> context = contextFor(options.caFile);
    if (!context->error.empty() || options.hostName.empty()) {
        fail(!context->error.empty() ? context->error : "no host name to check the certificate against");
        return;
    }
    h_->ssl = SSL_new(context->ctx.get()); // holds its own reference to the context
    h_->in = BIO_new(BIO_s_mem());
    h_->out = BIO_new(BIO_s_mem());
    if (!h_->ssl || !h_->in || !h_->out) {
        BIO_free(h_->in);
        BIO_free(h_->out);
        fail("TLS is not available");
        return;
    }
    // An empty input buffer means "wait for more", never end of data.
    BIO_set_mem_eof_return(h_->in, -1);
    SSL_set_bio(h_->ssl, h_->in, h_->out);
    SSL_set_connect_state(h_->ssl);
    SSL_set_hostflags(h_->ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    const bool named = isAddressLiteral(options.hostName)
                           ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(h_->ssl), options.hostName.c_str()) == 1
                           : SSL_set1_host(h_->ssl, options.hostName.c_str()) == 1
                                 && SSL_set_tlsext_host_name(h_->ssl, options.hostName.c_str()) == 1;
    if (named && options.resume)
        SSL_set_session(h_->ssl, options.resume.get());
    ERR_clear_error();
    if (!named)
        fail("cannot check the certificate against the host name \"" + options.hostName + "\"");
}

TlsEngine::~TlsEngine() = default;

std::string TlsEngine::version() const
{
    if (!established_)
        return {};
    // OpenSSL says "TLSv1.3"; people read "TLS 1.3".
    std::string name = SSL_get_version(h_->ssl);
    if (name.rfind("TLSv", 0) == 0)
        name = "TLS " + name.substr(4);
    return name;
}

bool TlsEngine::resumed() const
{
    return established_ && SSL_session_reused(h_->ssl) == 1;
}

TlsSession TlsEngine::session() const
{
    if (!established_)
        return {};
    return TlsSession(SSL_get1_session(h_->ssl), [](SSL_SESSION* s) { SSL_SESSION_free(s); });
}

void TlsEngine::fail(std::string reason)
{
    if (failure_.empty())
        failure_ = std::move(reason);
}

std::string TlsEngine::describeFailure(int sslError) const
{
    const long verify = SSL_get_verify_result(h_->ssl);
    if (!established_ && verify != X509_V_OK) {
        if (verify == X509_V_ERR_HOSTNAME_MISMATCH || verify == X509_V_ERR_IP_ADDRESS_MISMATCH)
            return "certificate verify failed: host name mismatch";
        return std::string("certificate verify failed: ") + X509_verify_cert_error_string(verify);
    }
    const unsigned long error = ERR_peek_last_error();
    const char* reason = error != 0 ? ERR_reason_error_string(error) : nullptr;
    const std::string what = reason ? reason : "error " + std::to_string(sslError);
    return (established_ ? "TLS error: " : "TLS handshake failed: ") + what;
}

bool TlsEngine::handshake()
{
    if (established_ || failed())
        return established_;
    ERR_clear_error();
    const int result = SSL_do_handshake(h_->ssl);
    const int error = SSL_get_error(h_->ssl, result);
    if (result == 1) {
        established_ = true;
    } else if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
        fail(describeFailure(error));
    } else if (transportEnded_) {
        fail("connection closed during the TLS handshake");
    }
    ERR_clear_error();
    collectOutgoing();
    return established_;
}

void TlsEngine::receive(const char* bytes, std::size_t length)
{
    if (length > 0 && !failed())
        BIO_write(h_->in, bytes, static_cast<int>(length));
}

void TlsEngine::endTransport()
{
    transportEnded_ = true;
}

std::string_view TlsEngine::outgoing()
{
    return std::string_view(out_).substr(outStart_);
}

void TlsEngine::sent(std::size_t length)
{
    outStart_ += length;
    if (outStart_ >= out_.size()) {
        out_.clear();
        outStart_ = 0;
    }
}

void TlsEngine::collectOutgoing()
{
    if (!h_->out)
        return;
    char piece[kReadPiece];
    for (int n; (n = BIO_read(h_->out, piece, sizeof piece)) > 0;)
        out_.append(piece, static_cast<std::size_t>(n));
}

void TlsEngine::decrypt()
{
    if (!established_ || failed() || closedByPeer_)
        return;
    writeWantsPeer_ = false; // what the peer sent may be what the write waited for
    ERR_clear_error();
    for (;;) {
        const std::size_t used = plain_.size();
        plain_.resize(used + kReadPiece);
        std::size_t got = 0;
        const int result = SSL_read_ex(h_->ssl, plain_.data() + used, kReadPiece, &got);
        plain_.resize(used + got);
        if (result == 1)
            continue;
        const int error = SSL_get_error(h_->ssl, result);
        if (error == SSL_ERROR_ZERO_RETURN)
            closedByPeer_ = true;
        else if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
            fail(describeFailure(error));
        break;
    }
    ERR_clear_error();
    collectOutgoing();
}

std::size_t TlsEngine::read(char* into, std::size_t length, bool peek)
{
    const std::size_t n = std::min(length, plaintextSize());
    std::copy_n(plain_.data() + plainStart_, n, into);
    if (!peek) {
        plainStart_ += n;
        if (plainStart_ == plain_.size()) {
            plain_.clear();
            plainStart_ = 0;
        }
    }
    return n;
}

std::size_t TlsEngine::write(const char* bytes, std::size_t length)
{
    if (!established_ || failed() || closeSent_ || length == 0)
        return 0;
    ERR_clear_error();
    writeWantsPeer_ = false;
    std::size_t written = 0;
    const int result = SSL_write_ex(h_->ssl, bytes, std::min(length, kWritePiece), &written);
    if (result != 1) {
        const int error = SSL_get_error(h_->ssl, result);
        if (WriteMayBeRetried(error))
            writeWantsPeer_ = true;
        else
            fail(describeFailure(error));
    }
    ERR_clear_error();
    collectOutgoing();
    return written;
}

void TlsEngine::close()
{
    if (!established_ || failed() || closeSent_)
        return;
    closeSent_ = true;
    ERR_clear_error();
    SSL_shutdown(h_->ssl);
    ERR_clear_error();
    collectOutgoing();
}

} // namespace platform::net
