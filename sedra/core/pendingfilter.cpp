#include "sedra/core/pendingfilter.h"

#include <algorithm>
#include <optional>

namespace sedra {

bool ApplyPendingFilter(RecordChannels &record, FilterSettings &settings)
{
    if (!settings.pending) {
        return false;
    }
    const int count = std::clamp(record.sampleCount, 0, kRecordSamples);
    constexpr int kFilteredChannels = 3;
    for (int ch = 0; ch < kFilteredChannels; ++ch) {
        std::copy_n(record.unfiltered[ch].begin(), count, record.working[ch].begin());
    }

    const std::optional<FilterKind> kind = settings.kind();
    if (kind) {
        const FilterBand band = settings.band();
        const auto interval = static_cast<float>(record.sampleInterval);
        for (int ch = 0; ch < kFilteredChannels; ++ch) {
            if ((settings.channelMask & (1 << ch)) != 0) {
                dsp::ApplyFilter(*kind, record.working[ch].data(), interval, count, band.low, band.high);
            }
        }
    }
    settings.pending = false;
    return true;
}

} // namespace sedra
