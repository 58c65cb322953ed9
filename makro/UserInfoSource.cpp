#include "makro/UserInfoSource.h"

#include "platform/core/UserStore.h"

#include <pwd.h>
#include <unistd.h>

namespace makro {

namespace {

std::string AccountFullName()
{
    const passwd* entry = getpwuid(getuid());
    if (!entry || !entry->pw_gecos)
        return {};
    // The full name is the first of the comma-separated fields.
    const std::string gecos = entry->pw_gecos;
    return gecos.substr(0, gecos.find(','));
}

} // namespace

UserInfo ReadUserInfo()
{
    const platform::core::UserStore store;
    const QString key = QString::fromLatin1(userInfoKey);
    UserInfo user;
    user.name = store.readString(key, QStringLiteral("DefName")).value_or(AccountFullName());
    user.company = store.readString(key, QStringLiteral("DefCompany")).value_or(std::string());
    return user;
}

} // namespace makro
