#include "richprint/PageSetupFlags.h"

namespace richprint {

unsigned DerivePageSetupFlags(TPageOptions& options, TMeasureUnit unit)
{
    unsigned flags = 0;
    if (options & poDisableMargins) {
        options &= ~unsigned(poMargins);
        flags |= PSD_DISABLEMARGINS;
    } else if (options & poMargins) {
        flags |= PSD_MARGINS;
    }
    if (options & poDisableOrientation)
        flags |= PSD_DISABLEORIENTATION;
    if (options & poDisablePaper)
        flags |= PSD_DISABLEPAPER;
    if (options & poDisablePrinter)
        flags |= PSD_DISABLEPRINTER;
    flags |= unit == TMeasureUnit::muMillimeters ? PSD_INHUNDREDTHSOFMILLIMETERS
                                                 : PSD_INTHOUSANDTHSOFINCHES;
    return flags;
}

} // namespace richprint
