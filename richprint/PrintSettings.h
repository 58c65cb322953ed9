#pragma once
// The print settings kept in the per-user store under "RichPrint.Settings\Marges": the four
// margins as 8-byte binary doubles in the unit they were saved in, and the measure unit,
// orientation and plain-text flag as decimal strings.
#include "platform/core/UserStore.h"

#include <optional>
#include <string>

namespace richprint {

struct StoredPrintSettings {
    double marginLeft = 0;
    double marginTop = 0;
    double marginBottom = 0;
    double marginRight = 0;
    bool millimeters = true;
    bool portrait = true;
    bool plainText = false;
};

// Decimal text, or hexadecimal after "0x"/"0X"; missing or not a number reads as 0.
int ParseStoredInteger(const std::optional<std::string>& text);

// Creates "RichPrint.Settings" when missing. Empty when there is no "Marges" sub-key. A margin
// that is missing or not an 8-byte binary value throws platform::core::ERegistryTypeError.
std::optional<StoredPrintSettings> LoadPrintSettings(platform::core::UserStore& store);
void SavePrintSettings(platform::core::UserStore& store, const StoredPrintSettings& settings);

} // namespace richprint
