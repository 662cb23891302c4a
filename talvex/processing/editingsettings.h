// What the main view remembers for the trace commands while the program
// runs (not persisted).
#pragma once

#include "talvex/processing/filtersettings.h"

namespace talvex {

struct EditingSettings {
    // Samples averaged by SmoothTrace: the value of the CPointNumDialog
    // ("点数设定", "平滑点数:"), which opens with it and stores it on OK.
    // SmoothWave does nothing for a window <= 0 or wider than the trace.
    int smoothWindow = 5;
    // Kind and edges of the digital filter: the CLuBoDialog's result.
    FilterSettings filter;

    bool operator==(const EditingSettings &) const = default;
};

} // namespace talvex
