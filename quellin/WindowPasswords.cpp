#include "quellin/WindowPasswords.h"

#include "platform/core/TextCodec.h"
#include "platform/gui/Dialogs.h"
#include "platform/keyring/SecretServiceStore.h"

namespace quellin {

const char* const kKeyringService = "Quellin";

std::unique_ptr<SitePassword> MakeWindowPasswords()
{
    auto store = std::make_unique<platform::keyring::SecretServiceStore>(QLatin1String(kKeyringService));
    return std::make_unique<SitePassword>(std::move(store), [](const PasswordQuestion& question) {
        platform::gui::PasswordRequest request;
        request.caption = QStringLiteral("Password");
        request.text = platform::core::DecodeText(question.text).text;
        request.offerRemember = question.offerRemember;
        request.remember = question.remember;
        const std::optional<platform::gui::PasswordResult> result = platform::gui::dialogs().password(request);
        if (!result)
            return std::optional<PasswordAnswer>();
        return std::optional<PasswordAnswer>(PasswordAnswer{ result->password.toStdString(), result->remember });
    });
}

} // namespace quellin
