#pragma once
// Where the author line of a new macro gets the user's name and company: the user-information
// values of the per-user settings store ("DefName" and "DefCompany" under the key below).
// Where the store has no name, the full name of the user's account (its GECOS field) stands
// in; a missing company stays empty.
#include "makro/MacroTexts.h"

namespace makro {

inline constexpr const char* userInfoKey = "Software\\Microsoft\\MS Setup (ACME)\\User Info";

// Throws platform::core::ERegistryTypeError when a value is stored as bytes, not text.
UserInfo ReadUserInfo();

} // namespace makro
