// The top bar: stored sites, connecting, the asynchronous switch; the trace line.
#include "quellin/ftp_main.h"

#include "platform/gui/StatusPanels.h"
#include "quellin/ConnectProgress.h"
#include "quellin/PathCombo.h"
#include "quellin/SafeNames.h"
#include "quellin/SiteList.h"
#include "tcpip/tcpip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace quellin {

namespace {

constexpr int kSitesWide = 420;
constexpr int kSitesNarrow = 21;

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
    ftp->Password = remoteName(EditPasswort->text());
    // Logs out an open session first. The box takes the input while the connect waits.
    if (!ConnectProgress::run(this, EditHostname->text(), *ftp)) {
        Status->setPanelText(0, QStringLiteral("Connect cancelled"));
        return;
    }
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
