#pragma once
// The options of the page setup dialog and the dialog flags derived from them.
#include "richprint/PageLayout.h"

namespace richprint {

enum TPageOption : unsigned {
    poDisableMargins = 1,
    poMargins = 2,
    poDisableOrientation = 4,
    poDisablePaper = 8,
    poDisablePrinter = 16,
};
using TPageOptions = unsigned;

enum PageSetupFlag : unsigned {
    PSD_MARGINS = 0x2,
    PSD_INTHOUSANDTHSOFINCHES = 0x4,
    PSD_INHUNDREDTHSOFMILLIMETERS = 0x8,
    PSD_DISABLEMARGINS = 0x10,
    PSD_DISABLEPRINTER = 0x20,
    PSD_DISABLEORIENTATION = 0x100,
    PSD_DISABLEPAPER = 0x200,
};

// Disabling the margins drops poMargins from options; poMargins without it drops
// poDisableMargins. Returns the flags for the (adjusted) options and the unit.
unsigned DerivePageSetupFlags(TPageOptions& options, TMeasureUnit unit);

} // namespace richprint
