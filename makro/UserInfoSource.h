#pragma once
// Where the author line of a new macro gets the user's name and company. The per-user
// settings store has no user-information values yet, so the name comes from the account
// database (the full-name field of the user's entry) and the company is empty.
#include "makro/MacroTexts.h"

namespace makro {

UserInfo ReadUserInfo();

} // namespace makro
