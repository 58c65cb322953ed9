#pragma once
// The main window's passwords: the desktop's keyring (service "Quellin") and the prompt
// through the dialog seam. Typed passwords go out as UTF-8, the form the keyring keeps.
#include "quellin/SitePassword.h"

#include <memory>

namespace quellin {

extern const char* const kKeyringService; // "Quellin"

std::unique_ptr<SitePassword> MakeWindowPasswords();

} // namespace quellin
