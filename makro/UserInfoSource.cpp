#include "makro/UserInfoSource.h"

#include <pwd.h>
#include <unistd.h>

namespace makro {

UserInfo ReadUserInfo()
{
    UserInfo user;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_gecos) {
        // The full name is the first of the comma-separated fields.
        const std::string gecos = entry->pw_gecos;
        user.name = gecos.substr(0, gecos.find(','));
    }
    return user;
}

} // namespace makro
