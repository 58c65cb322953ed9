// TRichPrinter: the stored settings and the page setup dialog.
#include "richprint/richprint.h"

#include "platform/gui/Dialogs.h"
#include "richprint/PrintSettings.h"

#include <QPrinter>
#include <cmath>

namespace richprint {

void TRichPrinter::LoadSettings()
{
    platform::core::UserStore store;
    const std::optional<StoredPrintSettings> stored = LoadPrintSettings(store);
    if (!stored) {
        SetMarginTop(MarginTop());
        SetMarginBottom(MarginBottom());
        SetMarginLeft(MarginLeft());
        SetMarginRight(MarginRight());
        SetMeasureUnit(TMeasureUnit::muMillimeters);
        SetOrientation(TPrinterOrientation::poPortrait);
        plainText_ = false;
        return;
    }
    // The margins were saved in the stored unit: switch to it first, so that they are taken in
    // it (and clamped to the paper of the stored orientation).
    SetMeasureUnit(stored->millimeters ? TMeasureUnit::muMillimeters : TMeasureUnit::muInches);
    SetOrientation(stored->portrait ? TPrinterOrientation::poPortrait
                                    : TPrinterOrientation::poLandscape);
    SetMarginLeft(stored->marginLeft);
    SetMarginTop(stored->marginTop);
    SetMarginBottom(stored->marginBottom);
    SetMarginRight(stored->marginRight);
    plainText_ = stored->plainText;
}

void TRichPrinter::SaveSettings()
{
    platform::core::UserStore store;
    StoredPrintSettings s;
    s.marginLeft = MarginLeft();
    s.marginTop = MarginTop();
    s.marginBottom = MarginBottom();
    s.marginRight = MarginRight();
    s.millimeters = MeasureUnit() == TMeasureUnit::muMillimeters;
    s.portrait = Orientation() == TPrinterOrientation::poPortrait;
    s.plainText = plainText_;
    SavePrintSettings(store, s);
}

bool TRichPrinter::PageSetupDialog()
{
    LoadSettings();
    const bool millimeters = MeasureUnit() == TMeasureUnit::muMillimeters;
    const double scale = millimeters ? 100 : 1000;
    auto toDialog = [&](double margin) { return int(std::lround(margin * scale)); };
    platform::gui::PageSetupRequest request;
    request.marginLeft = toDialog(MarginLeft());
    request.marginTop = toDialog(MarginTop());
    request.marginRight = toDialog(MarginRight());
    request.marginBottom = toDialog(MarginBottom());
    request.thousandthsOfInches = !millimeters;
    request.portrait = Orientation() == TPrinterOrientation::poPortrait;
    request.disableMargins = pageSetupFlags_ & PSD_DISABLEMARGINS;
    request.disableOrientation = pageSetupFlags_ & PSD_DISABLEORIENTATION;
    request.disablePaper = pageSetupFlags_ & PSD_DISABLEPAPER;
    request.disablePrinter = pageSetupFlags_ & PSD_DISABLEPRINTER;
    const platform::gui::PageSetupResult result
        = platform::gui::dialogs().pageSetup(request, printer_.get());
    // Confirmed or not, the dialog's values are taken and stored.
    SetMarginLeft(result.marginLeft / scale);
    SetMarginTop(result.marginTop / scale);
    SetMarginRight(result.marginRight / scale);
    SetMarginBottom(result.marginBottom / scale);
    RefreshDevice();
    SetOrientation(result.portrait ? TPrinterOrientation::poPortrait
                                   : TPrinterOrientation::poLandscape);
    SaveSettings();
    return result.accepted;
}

} // namespace richprint
