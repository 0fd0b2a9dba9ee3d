#pragma once
// Rectangles written "left,top,right,bottom" so that a failed comparison reads at a glance.
#include "platform/base/WinTypes.h"

#include <string>

namespace Pane::test {

inline std::string Str(const plat::RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) +
           "," + std::to_string(rc.bottom);
}

} // namespace Pane::test
