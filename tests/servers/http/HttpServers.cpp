#include "HttpServers.h"

#include <fstream>
#include <sstream>

namespace testservers {

namespace {

std::string NginxConfig(std::uint16_t port, const std::string& prefix)
{
    std::ostringstream c;
    c << "daemon off;\n"
         "worker_processes 1;\n"
         "pid " << prefix << "/nginx.pid;\n"
         "error_log " << prefix << "/error.log warn;\n"
         "events { worker_connections 128; }\n"
         "http {\n"
         "  access_log off;\n"
         "  client_body_temp_path " << prefix << "/tmp/body;\n"
         "  proxy_temp_path " << prefix << "/tmp/proxy;\n"
         "  fastcgi_temp_path " << prefix << "/tmp/fastcgi;\n"
         "  uwsgi_temp_path " << prefix << "/tmp/uwsgi;\n"
         "  scgi_temp_path " << prefix << "/tmp/scgi;\n"
         "  types { text/html html htm; text/plain txt; application/octet-stream bin; }\n"
         "  default_type application/octet-stream;\n"
         "  sendfile on;\n"
         "  server {\n"
         "    listen 127.0.0.1:" << port << ";\n"
         "    server_name localhost;\n"
         "    root " << prefix << "/www;\n"
         "    location = /old.html { return 301 /page.html; }\n"
         "    location = /loop { return 302 /loop; }\n"
         "  }\n"
         "}\n";
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
    folder_.write("nginx.conf", NginxConfig(port, folder_.path()));
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
