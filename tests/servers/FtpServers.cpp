#include "FtpServers.h"
#include "LocalUsers.h"
#include "TestCertificates.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <utility>
#include <stdexcept>

namespace testservers {

namespace {

// vsftpd authenticates a local user through PAM; the user's shell must be in /etc/shells and
// its home must exist (it changes there before it changes to local_root).
constexpr const char* kVsftpdUser = "quellinftp";
constexpr const char* kPassword = "Qu3llin-test";
constexpr const char* kSecureChrootDir = "/var/run/vsftpd/empty";
constexpr int kPassivePorts = 24;

std::string vsftpdConfig(std::uint16_t port, std::uint16_t passiveLow, const std::string& root,
                         const std::string& log, int idleSeconds)
{
    const std::pair<const char*, std::string> settings[] = {
        { "listen", "YES" }, { "listen_ipv6", "NO" }, { "background", "NO" },
        { "listen_address", "127.0.0.1" }, { "listen_port", std::to_string(port) },
        { "pasv_enable", "YES" }, { "pasv_address", "127.0.0.1" },
        { "pasv_min_port", std::to_string(passiveLow) },
        { "pasv_max_port", std::to_string(passiveLow + kPassivePorts - 1) },
        { "port_enable", "YES" }, { "connect_from_port_20", "NO" }, { "seccomp_sandbox", "NO" },
        { "anonymous_enable", "NO" }, { "local_enable", "YES" }, { "write_enable", "YES" },
        { "local_umask", "022" }, { "ascii_upload_enable", "YES" }, { "ascii_download_enable", "YES" }, { "chroot_local_user", "YES" }, { "allow_writeable_chroot", "YES" },
        { "local_root", root }, { "secure_chroot_dir", kSecureChrootDir },
        { "pam_service_name", "vsftpd" }, { "userlist_enable", "NO" }, { "xferlog_enable", "YES" },
        { "vsftpd_log_file", log }, { "max_clients", "50" }, { "max_per_ip", "50" },
        { "idle_session_timeout", std::to_string(idleSeconds) }, { "data_connection_timeout", "120" },
    };
    std::string config;
    for (const auto& [key, value] : settings)
        config.append(key).append("=").append(value).append("\n");
    return config;
}

// TLS required for log-in and data; the reuse of the control connection's session on data
// connections (require_ssl_reuse) stays at vsftpd's default, which requires it.
std::string vsftpdTlsConfig(const TempFolder& folder)
{
    return "ssl_enable=YES\nforce_local_logins_ssl=YES\nforce_local_data_ssl=YES\nssl_request_cert=NO\n"
           "ssl_ciphers=HIGH\nssl_tlsv1=YES\nssl_sslv2=NO\nssl_sslv3=NO\n"
           "rsa_cert_file=" + folder.file("server.pem") + "\nrsa_private_key_file=" + folder.file("server.key") + "\n";
}

// ca.pem, and server.pem / server.key for the names security asks for.
void makeServerCertificate(const TempFolder& folder, FtpSecurity security)
{
    MakeCertificateAuthority(folder, "Quellin Test CA");
    MakeCertificate(folder, "server", security == FtpSecurity::Tls ? "IP:127.0.0.1,DNS:localhost" : "DNS:other.invalid",
                    "ca");
}

std::string script(const char* name)
{
    return std::string(TEST_SERVERS_DIR) + "/" + name;
}

} // namespace

const char* FtpServerName(FtpServerKind kind)
{
    return kind == FtpServerKind::Vsftpd ? "vsftpd" : "pyftpdlib";
}

FtpServer::FtpServer(FtpServerKind kind, int idleSeconds, FtpSecurity security)
    : kind_(kind), root_(folder_.file("root")), password_(kPassword)
{
    folder_.makeFolder("root");
    const bool tls = security != FtpSecurity::Plain;
    if (tls)
        makeServerCertificate(folder_, security);
    const std::uint16_t port = FreeLoopbackPort();
    const std::uint16_t passiveLow = FreeLoopbackPortRange(kPassivePorts);
    ServerOptions options;
    options.name = FtpServerName(kind);
    options.port = port;
    options.workingFolder = folder_.path();
    if (kind == FtpServerKind::Vsftpd) {
        EnsureLocalUser(kVsftpdUser, kPassword);
        user_ = kVsftpdUser;
        grantToUser(root_);
        if (::geteuid() == 0)
            QDir().mkpath(kSecureChrootDir);
        folder_.write("vsftpd.conf", vsftpdConfig(port, passiveLow, root_, folder_.file("transfers.log"), idleSeconds)
                                         + (tls ? vsftpdTlsConfig(folder_) : ""));
        options.program = "vsftpd";
        options.arguments = { folder_.file("vsftpd.conf") };
    } else {
        user_ = "quellin";
        options.program = "/usr/bin/python3";
        RequireProgram(options.program);
        if (tls) {
            options.arguments = { script("pyftpdlib_tls.py"), std::to_string(port), root_, user_, password_,
                                  std::to_string(passiveLow), std::to_string(passiveLow + kPassivePorts - 1),
                                  folder_.file("server.pem"), folder_.file("server.key") };
        } else {
            options.arguments = { "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(port), "-w",
                                  "-d", root_, "-u", user_, "-P", password_, "-r",
                                  std::to_string(passiveLow) + "-" + std::to_string(passiveLow + kPassivePorts - 1) };
        }
    }
    process_ = std::make_unique<ServerProcess>(options);
}

FtpServer::~FtpServer() = default;

void FtpServer::grantToUser(const std::string& path) const
{
    if (kind_ != FtpServerKind::Vsftpd || ::geteuid() != 0)
        return;
    GiveToUser(path, kVsftpdUser);
}

void FtpServer::write(const std::string& relative, const std::string& bytes) const
{
    const std::string full = root_ + "/" + relative;
    const std::string parent = QFileInfo(QString::fromStdString(full)).path().toStdString();
    if (!QFileInfo::exists(QString::fromStdString(parent)))
        makeFolder(QDir(QString::fromStdString(root_)).relativeFilePath(QString::fromStdString(parent)).toStdString());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + full);
    grantToUser(full);
}

void FtpServer::makeFolder(const std::string& relative) const
{
    std::string path = root_;
    for (const QString& part : QString::fromStdString(relative).split('/', Qt::SkipEmptyParts)) {
        path.append("/").append(part.toStdString());
        if (!QFileInfo::exists(QString::fromStdString(path))) {
            if (::mkdir(path.c_str(), 0755) != 0)
                throw std::runtime_error("cannot create " + path);
            grantToUser(path);
        }
    }
}

void FtpServer::symlink(const std::string& target, const std::string& relative) const
{
    const std::string full = root_ + "/" + relative;
    if (::symlink(target.c_str(), full.c_str()) != 0)
        throw std::runtime_error("cannot create the link " + full);
    grantToUser(full);
}

std::string FtpServer::read(const std::string& relative) const
{
    std::ifstream in(root_ + "/" + relative, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + root_ + "/" + relative);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FtpServer::exists(const std::string& relative) const
{
    return QFileInfo::exists(QString::fromStdString(root_ + "/" + relative))
        || QFileInfo(QString::fromStdString(root_ + "/" + relative)).isSymLink();
}

std::unique_ptr<FtpServer> StartFtpServer(FtpServerKind kind, int idleSeconds, FtpSecurity security)
{
    return std::make_unique<FtpServer>(kind, idleSeconds, security);
}

FtpsDataRefuser::FtpsDataRefuser()
{
    makeServerCertificate(folder_, FtpSecurity::Tls);
    ServerOptions options;
    options.name = "FTP over TLS server that refuses data connections";
    options.port = FreeLoopbackPort();
    options.workingFolder = folder_.path();
    options.program = RequireProgram("/usr/bin/python3");
    options.arguments = { script("ftps_refusing_data.py"), std::to_string(options.port), folder_.file("server.pem"),
                          folder_.file("server.key") };
    process_ = std::make_unique<ServerProcess>(options);
}

FtpsDataRefuser::~FtpsDataRefuser() = default;

} // namespace testservers
