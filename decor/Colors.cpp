#include "decor/Colors.h"

namespace decor {

SystemColors SystemColors::FromPalette(const QPalette& p)
{
    return {p.color(QPalette::Button), p.color(QPalette::Light), p.color(QPalette::Dark), p.color(QPalette::Shadow)};
}

} // namespace decor
