// The platform's GDI+ declarations, usable with NOMINMAX: its header calls
// min and max unqualified, which NOMINMAX takes away as macros.
#pragma once
#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
