#pragma once
// Data roles that models without widgets answer and the platform's views read.
#include <Qt>

namespace platform::core {

// An item's image: an index into the view's image lists (int), the same index in each list.
constexpr int ImageIndexRole = Qt::UserRole + 1;

} // namespace platform::core
