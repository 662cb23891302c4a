#include "dsp/filterkind.h"

#include "dsp/filters.h"

namespace dsp {

std::optional<FilterKind> filterKindFromIndex(int index)
{
    switch (index) {
    case 0: return FilterKind::LowPass;
    case 1: return FilterKind::HighPass;
    case 2: return FilterKind::BandPass;
    case 3: return FilterKind::BandStop;
    default: return std::nullopt;
    }
}

void ApplyFilter(FilterKind kind, std::int16_t *samples, float dt, int count, float fLow, float fHigh)
{
    switch (kind) {
    case FilterKind::LowPass: LowPassFilter(samples, dt, count, fHigh); break;
    case FilterKind::HighPass: HighPassFilter(samples, dt, count, fLow); break;
    case FilterKind::BandPass: BandPassFilter(samples, dt, count, fLow, fHigh); break;
    case FilterKind::BandStop: BandStopFilter(samples, dt, count, fLow, fHigh); break;
    }
}

} // namespace dsp
