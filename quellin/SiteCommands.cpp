// The top bar: stored sites, protocol and port, connecting, the asynchronous switch; the trace
// line and the session's questions.
#include "quellin/ftp_main.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/ConnectProgress.h"
#include "quellin/PathCombo.h"
#include "quellin/SafeNames.h"
#include "quellin/SiteList.h"
#include "quellin/SitePassword.h"
#include "tcpip/FtpRemoteFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

namespace quellin {

namespace {

constexpr int kSitesWide = 420;
constexpr int kSitesNarrow = 21;
// How both implementations trace a listing entry they left out (RemoteFiles.h).
constexpr std::string_view kLeftOutTrace = "Left out an unusable name";

// The server refused the credentials (FTP's 530, SSH's authentication failure).
bool IsLogInRefusal(const std::exception& error)
{
    return dynamic_cast<const remote::EAuthenticationFailed*>(&error) != nullptr;
}

} // namespace

void Tmainform::CBSitesEnter()
{
    CBSites->setFixedWidth(kSitesWide);
}

void Tmainform::CBSitesExit()
{
    CBSites->setFixedWidth(kSitesNarrow);
}

void Tmainform::CBSitesChange()
{
    // The stored bytes, not the shown text: a password in another encoding stays as it is.
    const QByteArray raw = CBSites->currentData().toByteArray();
    const std::string bytes(raw.constData(), static_cast<std::size_t>(raw.size()));
    fieldsEncoding_ = platform::core::DecodeText(bytes).encoding;
    const SiteFields site = SplitSite(bytes);
    const auto show = [&](QLineEdit* field, const std::string& text) {
        field->setText(fieldsEncoding_ == platform::core::TextEncoding::Utf8
                           ? QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                           : platform::core::DecodeWindows1252(text));
    };
    show(EditName, site.user);
    show(EditPasswort, site.password);
    show(EditHostname, site.host);
    show(EditPfad, site.path);
    showProtocol(site.protocol, site.port);
}

RemoteProtocol Tmainform::chosenProtocol() const
{
    return static_cast<RemoteProtocol>(CBProtocol->currentIndex());
}

void Tmainform::showProtocol(RemoteProtocol protocol, std::uint16_t port)
{
    const QSignalBlocker quiet(CBProtocol);
    CBProtocol->setCurrentIndex(static_cast<int>(protocol));
    EditPort->setValue(port == 0 ? DefaultPort(protocol) : port);
    shownProtocol_ = protocol;
}

void Tmainform::CBProtocolChange()
{
    const RemoteProtocol protocol = chosenProtocol();
    if (EditPort->value() == DefaultPort(shownProtocol_))
        EditPort->setValue(DefaultPort(protocol));
    shownProtocol_ = protocol;
}

std::string Tmainform::remoteName(const QString& text) const
{
    return platform::core::EncodeText(text, fieldsEncoding_);
}

void Tmainform::btn_connectClick()
{
    if (TransferRunning())
        return;
    const std::string folder = remoteName(EditPfad->text());
    RequireSafeFolderPath(folder);
    if (UseProtocol(session, chosenProtocol(), remoteHooks()))
        Edit->setSession(remote());
    remote::RemoteFiles& files = remote();
    files.Disconnect(); // an open session (or one left in a failed transfer) is logged out first
    files.Site.host = remoteName(EditHostname->text());
    files.Site.port = static_cast<std::uint16_t>(EditPort->value());
    files.Site.user = remoteName(EditName->text());
    if (auto* ftp = dynamic_cast<tcpip::FtpRemoteFiles*>(&files))
        ftp->CaFile = ReadExtraCaFile();
    const SiteLogin login{ SchemeOf(chosenProtocol()), files.Site.user, files.Site.host, files.Site.port,
                           remoteName(EditPasswort->text()) };
    bool loggedIn = false;
    try {
        // The keyring, the prompt and the connect box turn the event loop.
        remoteCall([&](remote::RemoteFiles& r) {
            loggedIn = Passwords->logIn(login, [&](const std::string& password) {
                r.Site.password = password;
                if (!ConnectProgress::run(this, EditHostname->text(), r))
                    throw remote::ERemoteCancelled();
            }, IsLogInRefusal);
            if (loggedIn && !folder.empty())
                r.ChangeFolder(folder);
        });
    } catch (const remote::ERemoteCancelled&) {
        Status->setPanelText(0, QStringLiteral("Connect cancelled"));
        return;
    }
    if (!loggedIn)
        return;
    // A new connection starts the path list afresh: nothing of the last site's folders stays.
    auto* path = static_cast<PathCombo*>(cbx_path);
    path->clear();
    path->push(EditHostname->text());
    path->setCurrentIndex(0);
    Refresh();
}

void Tmainform::chk_asyncClick()
{
    // A running transfer keeps the mode it started in; the switch applies when it has ended.
    if (!TransferRunning())
        remote().Async = chk_async->isChecked();
}

void Tmainform::ftp_trace(const std::string& text, remote::TraceLevel level)
{
    if (level == remote::TraceLevel::Command || level == remote::TraceLevel::Reply)
        Status->setPanelText(0, platform::core::DecodeText(text).text);
    else if (text.starts_with(kLeftOutTrace))
        ++leftOutNames_;
}

RemoteHooks Tmainform::remoteHooks()
{
    RemoteHooks hooks;
    hooks.trace = [this](const std::string& text, remote::TraceLevel level) { ftp_trace(text, level); };
    hooks.reconnected = [this](const std::string& text) { noteWhenDone(platform::core::DecodeText(text).text); };
    hooks.hostKeyQuestion = [](const std::string& host, const std::string& fingerprint) {
        const QString question =
            QStringLiteral("The host key of %1 is not known yet. Its fingerprint is\n\n%2\n\n"
                           "Compare it with the one the server's administrator gives you. Yes: trust this key, "
                           "store it in ~/.ssh/known_hosts and connect. No: connect not; nothing is sent.")
                .arg(platform::core::DecodeText(host).text, QString::fromStdString(fingerprint));
        return platform::gui::ShowMessage(QStringLiteral("Unknown host key"), question,
                                          platform::gui::MessageIcon::Question, platform::gui::Yes | platform::gui::No)
            == platform::gui::Yes;
    };
    return hooks;
}

} // namespace quellin
