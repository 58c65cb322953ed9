// Opening a remote file in the editor and writing it back; copying between the views.
#include "quellin/ftp_main.h"

#include <QLineEdit>

namespace quellin {

void Tmainform::OpenRemoteFile(const RemoteItem& item)
{
    EditTempName->setText(platform::core::DecodeText(item.name).text);
}

void Tmainform::SBZurueckClick() {}

void Tmainform::CopyClick(int /*tag*/) {}

} // namespace quellin
