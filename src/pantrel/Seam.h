#pragma once

#include "pantrel.h"

namespace pantrel {

// The seam in force: the host's, or the one that shows real windows.
UiSeam &seam();

} // namespace pantrel
