#include "talvex/processing/filtersettings.h"

#include <climits>
#include <cstddef>

namespace talvex {

float nyquistFrequency(float interval)
{
    return 500000.0f / interval;
}

bool usableCutOff(int hz, float interval)
{
    return hz > 0 && (interval <= 0.0f || float(hz) < nyquistFrequency(interval));
}

void ApplyFilterSettings(const FilterSettings &settings, std::span<std::int16_t> samples, float interval)
{
    const std::size_t size
        = samples.size() < static_cast<std::size_t>(INT_MAX) ? samples.size() : static_cast<std::size_t>(INT_MAX);
    dsp::ApplyFilter(settings.kind, samples.data(), interval, static_cast<int>(size),
                     static_cast<float>(settings.lower), static_cast<float>(settings.upper));
}

} // namespace talvex
