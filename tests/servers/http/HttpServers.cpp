#include "HttpServers.h"
#include "TestCertificates.h"

#include <QProcess>
#include <QStringList>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testservers {

namespace {

// The whole configuration around the server blocks: every path inside prefix.
std::string NginxConfig(const std::string& prefix, const std::string& servers)
{
    std::ostringstream c;
    c << "daemon off;\n"
         "worker_processes 1;\n"
         "pid " << prefix << "/nginx.pid;\n"
         "error_log " << prefix << "/error.log warn;\n"
         "events { worker_connections 128; }\n"
         "http {\n"
         "  log_format connections '$connection $request';\n"
         "  access_log " << prefix << "/access.log connections;\n"
         "  client_body_temp_path " << prefix << "/tmp/body;\n"
         "  proxy_temp_path " << prefix << "/tmp/proxy;\n"
         "  fastcgi_temp_path " << prefix << "/tmp/fastcgi;\n"
         "  uwsgi_temp_path " << prefix << "/tmp/uwsgi;\n"
         "  scgi_temp_path " << prefix << "/tmp/scgi;\n"
         "  types { text/html html htm; text/plain txt; application/octet-stream bin; }\n"
         "  default_type application/octet-stream;\n"
         "  sendfile on;\n"
      << servers << "}\n";
    return c.str();
}

std::string PlainServer(std::uint16_t port, const std::string& root, const std::string& locations)
{
    std::ostringstream c;
    c << "  server {\n"
         "    listen 127.0.0.1:" << port << ";\n"
         "    server_name localhost;\n"
         "    root " << root << ";\n"
      << locations << "  }\n";
    return c.str();
}

std::string TlsServer(std::uint16_t port, const std::string& root, const std::string& certificate,
                      const std::string& locations)
{
    std::ostringstream c;
    c << "  server {\n"
         "    listen 127.0.0.1:" << port << " ssl;\n"
         "    ssl_certificate " << certificate << ".pem;\n"
         "    ssl_certificate_key " << certificate << ".key;\n"
         "    root " << root << ";\n"
      << locations << "  }\n";
    return c.str();
}

std::string TinyProxyConfig(std::uint16_t port, const std::string& prefix)
{
    std::ostringstream c;
    c << "Port " << port << "\n"
         "Listen 127.0.0.1\n"
         "Timeout 30\n"
         "MaxClients 20\n"
         "Allow 127.0.0.1\n"
         "DisableViaHeader Yes\n"
         "LogLevel Info\n"
         "LogFile \"" << prefix << "/tinyproxy.log\"\n"
         "PidFile \"" << prefix << "/tinyproxy.pid\"\n";
    return c.str();
}

} // namespace

Nginx::Nginx() : root_(folder_.file("www"))
{
    folder_.makeFolder("www");
    folder_.makeFolder("tmp");
    const std::uint16_t port = FreeLoopbackPort();
    folder_.write("nginx.conf",
                  NginxConfig(folder_.path(), PlainServer(port, root_,
                                                          "    location = /old.html { return 301 /page.html; }\n"
                                                          "    location = /loop { return 302 /loop; }\n")));
    process_ = std::make_unique<ServerProcess>(ServerOptions{
        "nginx", RequireProgram("nginx"),
        {"-p", folder_.path(), "-c", folder_.file("nginx.conf"), "-e", folder_.file("error.log")},
        port, folder_.path()});
}

Nginx::~Nginx() = default;

std::string Nginx::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port()) + path;
}

void Nginx::write(const std::string& relative, const std::string& bytes) const
{
    folder_.write("www/" + relative, bytes);
}

std::string Nginx::accessLog() const
{
    std::ifstream log(folder_.file("access.log"), std::ios::binary);
    std::ostringstream text;
    text << log.rdbuf();
    return text.str();
}

NginxTls::NginxTls() : root_(folder_.file("www"))
{
    folder_.makeFolder("www");
    folder_.makeFolder("tmp");
    MakeCertificateAuthority(folder_, "Tarnby Test CA");
    MakeCertificate(folder_, "server", "IP:127.0.0.1,DNS:localhost", "ca");
    MakeCertificate(folder_, "other", "DNS:other.invalid", "ca");
    MakeCertificate(folder_, "self", "IP:127.0.0.1,DNS:localhost", "");
    port_ = FreeLoopbackPortRange(4);
    plainPort_ = static_cast<std::uint16_t>(port_ + 1);
    selfSignedPort_ = static_cast<std::uint16_t>(port_ + 2);
    otherNamePort_ = static_cast<std::uint16_t>(port_ + 3);
    const std::string https = "https://127.0.0.1:" + std::to_string(port_);
    const std::string http = "http://127.0.0.1:" + std::to_string(plainPort_);
    const std::string servers =
        PlainServer(plainPort_, root_, "    location = /to-https { return 302 " + https + "/page.html; }\n")
        + TlsServer(port_, root_, folder_.file("server"),
                    "    location = /to-http { return 302 " + http + "/page.html; }\n"
                    "    location = /loop { return 302 /loop; }\n"
                    "    location = /redirect { return 302 $arg_to; }\n")
        + TlsServer(selfSignedPort_, root_, folder_.file("self"), "")
        + TlsServer(otherNamePort_, root_, folder_.file("other"), "");
    folder_.write("nginx.conf", NginxConfig(folder_.path(), servers));
    process_ = std::make_unique<ServerProcess>(ServerOptions{
        "nginx", RequireProgram("nginx"),
        {"-p", folder_.path(), "-c", folder_.file("nginx.conf"), "-e", folder_.file("error.log")},
        port_, folder_.path()});
}

NginxTls::~NginxTls() = default;

std::string NginxTls::url(const std::string& path, std::uint16_t port) const
{
    return "https://127.0.0.1:" + std::to_string(port == 0 ? port_ : port) + path;
}

std::string NginxTls::plainUrl(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(plainPort_) + path;
}

std::string NginxTls::caFile() const
{
    return folder_.file("ca.pem");
}

void NginxTls::write(const std::string& relative, const std::string& bytes) const
{
    folder_.write("www/" + relative, bytes);
}

TinyProxy::TinyProxy()
{
    const std::uint16_t port = FreeLoopbackPort();
    folder_.write("tinyproxy.conf", TinyProxyConfig(port, folder_.path()));
    process_ = std::make_unique<ServerProcess>(ServerOptions{
        "tinyproxy", RequireProgram("tinyproxy"), {"-d", "-c", folder_.file("tinyproxy.conf")},
        port, folder_.path()});
}

TinyProxy::~TinyProxy() = default;

std::string TinyProxy::log() const
{
    std::ifstream in(folder_.file("tinyproxy.log"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace testservers
