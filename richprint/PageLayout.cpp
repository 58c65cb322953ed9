#include "richprint/PageLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace richprint {

namespace {

int RoundPixels(double value)
{
    return static_cast<int>(std::lround(value));
}

// 0 when the value does not fit an int (an overflowing geometry gives an empty text area).
int Checked(double value)
{
    if (!std::isfinite(value) || value > std::numeric_limits<int>::max()
        || value < std::numeric_limits<int>::min())
        return 0;
    return static_cast<int>(value);
}

int Resolution(bool present, int dpi)
{
    return present && dpi > 0 ? dpi : kFallbackResolution;
}

} // namespace

PageLayout::PageLayout() = default;

int PageLayout::ResolutionX() const
{
    return Resolution(device_.present, device_.dpiX);
}

int PageLayout::ResolutionY() const
{
    return Resolution(device_.present, device_.dpiY);
}

double PageLayout::ToInches(double length) const
{
    return unit_ == TMeasureUnit::muInches ? length : length * kInchesPerMillimeter;
}

double PageLayout::FromInches(double inches) const
{
    return unit_ == TMeasureUnit::muInches ? inches : inches * kMillimetersPerInch;
}

int PageLayout::ToDeviceX(double length) const
{
    return RoundPixels(ToInches(length) * ResolutionX());
}

int PageLayout::ToDeviceY(double length) const
{
    return RoundPixels(ToInches(length) * ResolutionY());
}

double PageLayout::FromDeviceX(int pixels) const
{
    return FromInches(double(pixels) / ResolutionX());
}

double PageLayout::FromDeviceY(int pixels) const
{
    return FromInches(double(pixels) / ResolutionY());
}

double PageLayout::Fallback(double inches, double millimeters) const
{
    return unit_ == TMeasureUnit::muInches ? inches : millimeters;
}

double PageLayout::PaperWidth() const
{
    return device_.present ? FromDeviceX(device_.paperWidth) : Fallback(8.5, 210);
}

double PageLayout::PaperHeight() const
{
    return device_.present ? FromDeviceY(device_.paperHeight) : Fallback(11, 297);
}

double PageLayout::PrintableWidth() const
{
    return device_.present ? FromDeviceX(device_.printableWidth) : Fallback(8, 198);
}

double PageLayout::PrintableHeight() const
{
    return device_.present ? FromDeviceY(device_.printableHeight) : Fallback(10.5, 284);
}

double PageLayout::GutterLeft() const
{
    return device_.present ? FromDeviceX(device_.offsetX) : Fallback(0.25, 6);
}

double PageLayout::GutterTop() const
{
    return device_.present ? FromDeviceY(device_.offsetY) : Fallback(0.25, 6);
}

double PageLayout::GutterRight() const
{
    return PaperWidth() - PrintableWidth() - GutterLeft();
}

double PageLayout::GutterBottom() const
{
    return PaperHeight() - PrintableHeight() - GutterTop();
}

double PageLayout::Margin(MarginSide side) const
{
    return margins_[static_cast<int>(side)];
}

void PageLayout::SetMargin(MarginSide side, double value)
{
    double low = 0;
    double high = 0;
    switch (side) {
    case MarginSide::Top:
        low = GutterTop();
        high = PaperHeight() - GutterBottom();
        break;
    case MarginSide::Bottom:
        low = GutterBottom();
        high = PaperHeight() - GutterTop();
        break;
    case MarginSide::Left:
        low = GutterLeft();
        high = PaperWidth() - GutterRight();
        break;
    case MarginSide::Right:
        low = GutterRight();
        high = PaperWidth() - GutterLeft();
        break;
    }
    // Low first, then high: the order in which the bounds are applied when they cross.
    if (value < low)
        value = low;
    if (value > high)
        value = high;
    margins_[static_cast<int>(side)] = value;
}

void PageLayout::SetMeasureUnit(TMeasureUnit unit, bool reclamp)
{
    if (unit == unit_)
        return;
    const double factor = unit == TMeasureUnit::muInches ? kInchesPerMillimeter
                                                         : kMillimetersPerInch;
    for (double& margin : margins_)
        margin *= factor;
    borderOffset_ *= factor;
    defaultColumnWidth_ *= factor;
    unit_ = unit;
    if (!reclamp)
        return;
    for (MarginSide side : {MarginSide::Top, MarginSide::Bottom, MarginSide::Left, MarginSide::Right})
        SetMargin(side, Margin(side));
}

TextArea PageLayout::Area(int lineHeight) const
{
    TextArea a;
    a.left = ToDeviceX(Margin(MarginSide::Left) - GutterLeft());
    a.right = ToDeviceX(Margin(MarginSide::Right) - GutterRight());
    a.top = ToDeviceY(Margin(MarginSide::Top) - GutterTop());
    a.bottom = std::max(ToDeviceY(Margin(MarginSide::Bottom) - GutterBottom()), lineHeight);
    a.width = Checked(double(ToDeviceX(PrintableWidth())) - a.left - a.right);
    a.height = Checked(double(ToDeviceY(PrintableHeight())) - a.top - a.bottom);
    return a;
}

} // namespace richprint
