#include "sedra/core/filtersettings.h"

#include <algorithm>

namespace sedra {

std::optional<FilterKind> FilterSettings::kind() const
{
    return dsp::filterKindFromIndex(storedKind - 1);
}

int FilterSettings::effectiveLowPassCutoff() const
{
    return lowPassCutoff > 0 ? lowPassCutoff : kDefaultLowPassCutoff;
}

int FilterSettings::effectiveHighPassCutoff() const
{
    return highPassCutoff > 0 ? highPassCutoff : kDefaultHighPassCutoff;
}

FilterBand FilterSettings::band() const
{
    const int lowPass = effectiveLowPassCutoff();
    const int highPass = effectiveHighPassCutoff();
    const std::optional<FilterKind> k = kind();
    if (k == FilterKind::BandPass || k == FilterKind::BandStop) {
        return {static_cast<float>(std::min(lowPass, highPass)), static_cast<float>(std::max(lowPass, highPass))};
    }
    return {static_cast<float>(highPass), static_cast<float>(lowPass)};
}

} // namespace sedra
