// The TLS engine against an OpenSSL server in the same test, both ends on memory buffers:
// every byte between them passes through the test, so a server's renegotiation request and a
// CA file that appears late can be staged exactly.
#include "platform/net/TlsEngine.h"

#include <gtest/gtest.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

using namespace platform::net;

namespace {

// A self-signed certificate for "localhost" that is its own authority.
struct Identity {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();

    Identity()
    {
        X509_set_version(certificate, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
        X509_gmtime_adj(X509_getm_notAfter(certificate), 86400);
        X509_set_pubkey(certificate, key);
        X509_NAME* name = X509_get_subject_name(certificate);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
        X509_set_issuer_name(certificate, name);
        addExtension(NID_subject_alt_name, "DNS:localhost");
        addExtension(NID_basic_constraints, "critical,CA:TRUE");
        X509_sign(certificate, key, EVP_sha256());
    }
    ~Identity()
    {
        X509_free(certificate);
        EVP_PKEY_free(key);
    }
    Identity(const Identity&) = delete;
    Identity& operator=(const Identity&) = delete;

    void addExtension(int nid, const char* value)
    {
        X509V3_CTX ctx;
        X509V3_set_ctx_nodb(&ctx);
        X509V3_set_ctx(&ctx, certificate, certificate, nullptr, nullptr, 0);
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
        X509_add_ext(certificate, extension, -1);
        X509_EXTENSION_free(extension);
    }

    void writePem(const std::string& path) const
    {
        BIO* file = BIO_new_file(path.c_str(), "w");
        PEM_write_bio_X509(file, certificate);
        BIO_free(file);
    }
};

const Identity& TestIdentity()
{
    static const Identity identity;
    return identity;
}

SSL_CTX* NewServerContext(int maxVersion)
{
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    SSL_CTX_set_max_proto_version(ctx, maxVersion);
    SSL_CTX_use_certificate(ctx, TestIdentity().certificate);
    SSL_CTX_use_PrivateKey(ctx, TestIdentity().key);
    return ctx;
}

// A server on memory buffers: TLS 1.2 by default (renegotiation exists up to 1.2), or one
// connection of a shared context (whose session tickets it honours).
class Server {
public:
    Server() : ctx_(NewServerContext(TLS1_2_VERSION)) { start(); }
    explicit Server(SSL_CTX* shared) : ctx_(shared)
    {
        SSL_CTX_up_ref(ctx_);
        start();
    }
    ~Server()
    {
        SSL_free(ssl_);
        SSL_CTX_free(ctx_);
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    SSL* ssl() const { return ssl_; }

    // Moves every waiting byte both ways until neither side has anything more to say.
    void exchange(TlsEngine& client)
    {
        for (int round = 0; round < 20; ++round) {
            bool moved = false;
            const std::string_view up = client.outgoing();
            if (!up.empty()) {
                BIO_write(in_, up.data(), static_cast<int>(up.size()));
                client.sent(up.size());
                moved = true;
            }
            if (!SSL_is_init_finished(ssl_))
                SSL_do_handshake(ssl_);
            char piece[16384];
            for (int n; (n = BIO_read(out_, piece, sizeof piece)) > 0;) {
                client.receive(piece, static_cast<std::size_t>(n));
                moved = true;
            }
            if (!client.established())
                client.handshake();
            else
                client.decrypt();
            if (!moved && client.outgoing().empty())
                return;
        }
    }

    // What SSL_read says now: the bytes, or the reason code of the error that ended it.
    std::string read(unsigned long& errorReason)
    {
        ERR_clear_error();
        char buffer[256];
        std::size_t got = 0;
        errorReason = 0;
        if (SSL_read_ex(ssl_, buffer, sizeof buffer, &got) == 1)
            return std::string(buffer, got);
        errorReason = ERR_GET_REASON(ERR_peek_error());
        ERR_clear_error();
        return {};
    }

private:
    void start()
    {
        ssl_ = SSL_new(ctx_);
        in_ = BIO_new(BIO_s_mem());
        out_ = BIO_new(BIO_s_mem());
        BIO_set_mem_eof_return(in_, -1);
        SSL_set_bio(ssl_, in_, out_);
        SSL_set_accept_state(ssl_);
    }

    SSL_CTX* ctx_;
    SSL* ssl_;
    BIO* in_;
    BIO* out_;
};

class TempCaFile {
public:
    TempCaFile()
    {
        char pattern[] = "/tmp/tls-engine-ca-XXXXXX";
        const int fd = mkstemp(pattern);
        ::close(fd);
        path_ = pattern;
        std::filesystem::remove(path_); // it must be missing at first
    }
    ~TempCaFile() { std::filesystem::remove(path_); }
    TempCaFile(const TempCaFile&) = delete;
    TempCaFile& operator=(const TempCaFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(TlsEngine, ARenegotiationTheServerAsksForIsDeclinedAndWritesGoOn)
{
    TempCaFile ca;
    TestIdentity().writePem(ca.path());
    Server server;
    TlsEngine client({"localhost", ca.path()});
    server.exchange(client);
    ASSERT_TRUE(client.established()) << client.failure();

    ASSERT_EQ(SSL_renegotiate(server.ssl()), 1);
    SSL_do_handshake(server.ssl()); // sends the hello request
    server.exchange(client);
    const std::string text = "after the request";
    EXPECT_EQ(client.write(text.data(), text.size()), text.size()) << client.failure();
    EXPECT_FALSE(client.writeWantsPeer());
    server.exchange(client);

    unsigned long reason = 0;
    server.read(reason);
    EXPECT_EQ(reason, static_cast<unsigned long>(SSL_R_NO_RENEGOTIATION))
        << "the client must answer with no_renegotiation, not a new handshake: "
        << ERR_reason_error_string(ERR_PACK(ERR_LIB_SSL, 0, reason));
    EXPECT_EQ(SSL_total_renegotiations(server.ssl()), 1) << "asked once, never completed";
}

TEST(TlsEngine, ACaFileThatAppearsLaterIsReadThen)
{
    TempCaFile ca;
    const TlsEngine before({"localhost", ca.path()});
    ASSERT_TRUE(before.failed());
    EXPECT_EQ(before.failure(), "cannot read the CA certificates in \"" + ca.path() + "\"");

    TestIdentity().writePem(ca.path());
    Server server;
    TlsEngine after({"localhost", ca.path()});
    EXPECT_FALSE(after.failed()) << after.failure();
    server.exchange(after);
    EXPECT_TRUE(after.established()) << after.failure();
}

struct WriteErrorCase {
    const char* name;
    int sslError;
    bool retried;
};

class TlsWriteErrors : public testing::TestWithParam<WriteErrorCase> {};

TEST_P(TlsWriteErrors, OnlyWaitingIsRetried)
{
    EXPECT_EQ(WriteMayBeRetried(GetParam().sslError), GetParam().retried);
}

// What FTP servers require of a data connection: the control connection's session, offered
// again, is resumed (TLS 1.3: from a ticket that came after the handshake).
TEST(TlsEngine, ASessionOfferedAgainIsResumedAndItsVersionNamed)
{
    TempCaFile ca;
    TestIdentity().writePem(ca.path());
    SSL_CTX* shared = NewServerContext(TLS1_3_VERSION);
    Server control(shared);
    TlsEngine first({"localhost", ca.path()});
    control.exchange(first);
    ASSERT_TRUE(first.established()) << first.failure();
    EXPECT_EQ(first.version(), "TLS 1.3");
    EXPECT_FALSE(first.resumed());

    Server data(shared);
    TlsEngine resuming({"localhost", ca.path(), first.session()});
    data.exchange(resuming);
    ASSERT_TRUE(resuming.established()) << resuming.failure();
    EXPECT_TRUE(resuming.resumed());

    Server other(shared);
    TlsEngine fresh({"localhost", ca.path()});
    other.exchange(fresh);
    EXPECT_FALSE(fresh.resumed());
    SSL_CTX_free(shared);
}

INSTANTIATE_TEST_SUITE_P(Codes, TlsWriteErrors, testing::Values(
    WriteErrorCase{"WantRead", SSL_ERROR_WANT_READ, true},
    WriteErrorCase{"WantWrite", SSL_ERROR_WANT_WRITE, true},
    WriteErrorCase{"ProtocolError", SSL_ERROR_SSL, false},
    WriteErrorCase{"SystemCall", SSL_ERROR_SYSCALL, false},
    WriteErrorCase{"PeerClosed", SSL_ERROR_ZERO_RETURN, false}),
    [](const testing::TestParamInfo<WriteErrorCase>& info) { return std::string(info.param.name); });

} // namespace
