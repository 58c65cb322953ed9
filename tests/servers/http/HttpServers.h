#pragma once
// Real HTTP servers for tests on 127.0.0.1 with ephemeral ports: nginx serving a folder the
// test fills (over http, or over https as well), and tinyproxy in front of it. Each lives in its own temporary folder (config,
// pid file, logs, temp paths) and is stopped when the object goes.
//   testservers::Nginx web;                      // serves web.root() at 127.0.0.1:web.port()
//   web.write("page.html", "<a href=x>x</a>");
//   testservers::TinyProxy proxy;                // forwards to any loopback server
#include "ServerProcess.h"

#include <memory>
#include <string>

namespace testservers {

class Nginx {
public:
    // Besides the files of root(), the server answers:
    //   /old.html  301 to /page.html          /loop  302 to itself (an endless loop)
    //   anything missing: nginx's own 404 "Not Found" page
    Nginx();
    ~Nginx();
    std::uint16_t port() const { return process_->port(); }
    // "http://127.0.0.1:PORT" + path
    std::string url(const std::string& path) const;
    const std::string& root() const { return root_; }
    void write(const std::string& relative, const std::string& bytes) const;
    std::string output() const { return process_->output(); }
    // One line per request served so far: "CONNECTION-NUMBER METHOD PATH PROTOCOL".
    std::string accessLog() const;

private:
    TempFolder folder_;
    std::string root_;
    std::unique_ptr<ServerProcess> process_;
};

// nginx over TLS with a certificate authority of its own, all made with the openssl command
// in the server's folder: port() serves root() over https with a certificate for 127.0.0.1
// and localhost signed by caFile(); selfSignedPort() the same files with a self-signed
// certificate; otherNamePort() with one signed by caFile() for "other.invalid" only;
// plainPort() over http. Besides the files:
//   http  /to-https  302 to https /page.html     https /to-http  302 to http /page.html
//   https /loop      302 to itself
//   https /redirect?to=ADDRESS  302 to ADDRESS as given (not decoded)
class NginxTls {
public:
    NginxTls();
    ~NginxTls();
    std::uint16_t port() const { return port_; }
    std::uint16_t plainPort() const { return plainPort_; }
    std::uint16_t selfSignedPort() const { return selfSignedPort_; }
    std::uint16_t otherNamePort() const { return otherNamePort_; }
    // "https://127.0.0.1:PORT" + path, port() unless another is given
    std::string url(const std::string& path, std::uint16_t port = 0) const;
    // "http://127.0.0.1:PLAINPORT" + path
    std::string plainUrl(const std::string& path) const;
    // The CA certificate (PEM) that signed the certificates of port() and otherNamePort().
    std::string caFile() const;
    const std::string& root() const { return root_; }
    void write(const std::string& relative, const std::string& bytes) const;

private:
    TempFolder folder_;
    std::string root_;
    std::uint16_t port_ = 0, plainPort_ = 0, selfSignedPort_ = 0, otherNamePort_ = 0;
    std::unique_ptr<ServerProcess> process_;
};

class TinyProxy {
public:
    TinyProxy();
    ~TinyProxy();
    std::uint16_t port() const { return process_->port(); }
    // What tinyproxy logged so far (one line per request it forwarded).
    std::string log() const;

private:
    TempFolder folder_;
    std::unique_ptr<ServerProcess> process_;
};

} // namespace testservers
