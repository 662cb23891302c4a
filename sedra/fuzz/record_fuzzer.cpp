// Feeds arbitrary bytes to the microtremor record reader. A record it reads
// is analysed as on loading, written again and must read back to the same
// samples.

#include "sedra/core/sedrarecord.h"
#include "sedra/core/predominantperiod.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    sedra::SedraRecord record;
    if (sedra::decodeSedraRecord(std::span<const std::uint8_t>(data, size), record))
        return 0;
    const auto &c = record.channels;
    if (c.channelCount < 0 || c.channelCount > sedra::kRecordChannels || c.sampleCount < 0
        || c.sampleCount > sedra::kRecordSamples)
        std::abort();
    sedra::SpectrumState spectra;
    sedra::RecordChannels copy = record.channels;
    sedra::ComputeSpectra(copy, spectra);
    sedra::sedraRecordText(record);
    const auto bytes = sedra::encodeSedraRecord(record, 0.0f);
    sedra::SedraRecord again;
    if (sedra::decodeSedraRecord(bytes, again))
        std::abort();
    for (int ch = 0; ch < c.channelCount; ++ch)
        for (int i = 0; i < c.sampleCount; ++i)
            if (again.channels.working[std::size_t(ch)][std::size_t(i)] != c.working[std::size_t(ch)][std::size_t(i)])
                std::abort();
    return 0;
}
