#pragma once
// Page geometry of the print engine: unit conversion between the measure unit and device
// pixels, the paper and printable area with the fallback values used when no printer exists,
// and the margins, clamped into the paper on every assignment.
//
// Invariant: each margin lies between its gutter and the paper size minus the opposite gutter
// (as of the last assignment; a later change of device does not re-clamp by itself).
#include <QtGlobal>

namespace richprint {

enum class TMeasureUnit { muMillimeters, muInches };

inline constexpr double kInchesPerMillimeter = 0.039370078740157480314;
inline constexpr double kMillimetersPerInch = 25.4;
// Resolution assumed when there is no printer or it reports none.
inline constexpr int kFallbackResolution = 600;

// What the printer reports, in its device pixels. present == false: no printer, the fallbacks
// apply (and the pixel fields are ignored).
struct DeviceMetrics {
    bool present = false;
    int dpiX = kFallbackResolution;
    int dpiY = kFallbackResolution;
    int paperWidth = 0;
    int paperHeight = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int offsetX = 0; // printable area's left edge from the paper's
    int offsetY = 0;
};

// Device-pixel offsets of the text area from the printable area's top-left corner.
struct TextArea {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int width = 0;  // 0 when the computation overflows
    int height = 0;
};

enum class MarginSide { Top, Bottom, Left, Right };

class PageLayout {
public:
    PageLayout();

    const DeviceMetrics& Device() const { return device_; }
    void SetDevice(const DeviceMetrics& device) { device_ = device; }

    int ResolutionX() const;
    int ResolutionY() const;

    TMeasureUnit MeasureUnit() const { return unit_; }
    // Converts the margins, the border offset and the default column width to the new unit;
    // reclamp re-assigns the margins through the clamping setter.
    void SetMeasureUnit(TMeasureUnit unit, bool reclamp);

    int ToDeviceX(double length) const;
    int ToDeviceY(double length) const;
    double FromDeviceX(int pixels) const;
    double FromDeviceY(int pixels) const;

    double PaperWidth() const;
    double PaperHeight() const;
    double PrintableWidth() const;
    double PrintableHeight() const;
    double GutterLeft() const;
    double GutterTop() const;
    double GutterRight() const;
    double GutterBottom() const;

    double Margin(MarginSide side) const;
    void SetMargin(MarginSide side, double value); // clamped

    double BorderOffset() const { return borderOffset_; }
    void SetBorderOffset(double value) { borderOffset_ = value; }
    double DefaultColumnWidth() const { return defaultColumnWidth_; }
    void SetDefaultColumnWidth(double value) { defaultColumnWidth_ = value; }

    // lineHeight: the engine's current line height, the least bottom offset.
    TextArea Area(int lineHeight) const;

private:
    double ToInches(double length) const;
    double FromInches(double inches) const;
    double Fallback(double inches, double millimeters) const;

    DeviceMetrics device_;
    TMeasureUnit unit_ = TMeasureUnit::muMillimeters;
    double margins_[4] = {30, 25, 25, 15};
    double borderOffset_ = 2;
    double defaultColumnWidth_ = 0;
};

} // namespace richprint
