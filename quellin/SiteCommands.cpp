// The top bar: stored sites, connecting, the asynchronous switch; the trace line.
#include "quellin/ftp_main.h"

#include "platform/gui/StatusPanels.h"
#include "quellin/PathCombo.h"
#include "quellin/SafeNames.h"
#include "quellin/SiteList.h"
#include "quellin/SitePassword.h"
#include "tcpip/tcpip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace quellin {

namespace {

constexpr int kSitesWide = 420;
constexpr int kSitesNarrow = 21;

// "530 Not logged in" to USER or PASS: the server refused the credentials.
bool IsLogInRefusal(const std::exception& error)
{
    const auto* reply = dynamic_cast<const tcpip::EProtocolError*>(&error);
    return reply && reply->ReplyCode == 530;
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
    ftp->Hostname = remoteName(EditHostname->text());
    ftp->Username = remoteName(EditName->text());
    const SiteLogin login{ "ftp", ftp->Username, ftp->Hostname, ftp->Port, remoteName(EditPasswort->text()) };
    bool loggedIn = false;
    {
        TransferScope busy(*this); // the keyring and the prompt turn the event loop
        loggedIn = Passwords->logIn(login, [this](const std::string& password) {
            ftp->Password = password;
            ftp->Connect(); // logs out an open session first
        }, IsLogInRefusal);
    }
    if (!loggedIn)
        return;
    ftp->ChangeDir(folder);
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
        ftp->Async = chk_async->isChecked();
}

void Tmainform::ftp_trace(const std::string& text, int level)
{
    if (level == tcpip::tl_command || level == tcpip::tl_reply)
        Status->setPanelText(0, platform::core::DecodeText(text).text);
}

} // namespace quellin
