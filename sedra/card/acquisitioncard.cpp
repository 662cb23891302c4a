#include "sedra/card/acquisitioncard.h"

#include "sedra/card/cardregisters.h"

#include <algorithm>
#include <thread>

namespace sedra {

namespace {
using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kMargin{3000};
} // namespace

std::uint16_t gainCode(int gain)
{
    switch (gain) {
    case 10: return 1;
    case 100: return 2;
    default: return 0;
    }
}

bool isCardIdentification(std::uint16_t value)
{
    const std::uint16_t id = value & 0x0FF0;
    return id == 0x0550 || id == 0x0AA0;
}

bool DetectCard(PortIo &io)
{
    return isCardIdentification(io.read16(card::kIdentPort));
}

std::int16_t convertRawCode(std::int16_t code)
{
    return code > 8191 ? std::int16_t(code - 16384) : code;
}

void ConvertRawCodes(std::int16_t *samples, int count)
{
    for (int i = 0; i < count; ++i)
        samples[i] = convertRawCode(samples[i]);
}

float sampleToMillivolts(int sample)
{
    return float(sample) * 5000.0f / 8192.0f;
}

ReadyLimit readyLimitFor(const AcquisitionParameters &parameters)
{
    const auto interval = std::chrono::milliseconds(parameters.interval / 1000 + 1);
    return {std::chrono::milliseconds(parameters.delay) + interval + kMargin, interval + kMargin};
}

AcquisitionResult AcquireRecord(PortIo &io, const AcquisitionParameters &parameters,
                                std::array<RecordChannel, kRecordChannels> &raw, const std::atomic<bool> *cancel,
                                const ReadyLimit &limit)
{
    const int samples = std::clamp(parameters.samples, 0, kRecordSamples);
    const int channels = std::clamp(parameters.channels, 0, kRecordChannels);
    const std::uint16_t code = gainCode(parameters.gain);

    io.write16(card::kIntervalPort, parameters.interval);
    io.write16(card::kDelayPort, parameters.delay);
    io.write16(card::kGainPort, code);
    io.write16(card::kDataPort, card::kDataSetupValue);
    io.write16(card::kModePort, card::kModeValue);
    for (int k = 0; k < card::kDiscardedReads; ++k)
        io.read16(card::kDataPort);
    io.write16(card::kRunPort, 1);

    // A card that paces normally sets the ready bit within one interval; one
    // that has been silent for much longer is polled once a millisecond so
    // that the wait for the time limit does not spin.
    const auto idleAfter = std::chrono::microseconds(2 * parameters.interval) + std::chrono::milliseconds(2);
    AcquisitionResult result;
    for (int i = 0; i < samples; ++i) {
        const Clock::time_point waitStart = Clock::now();
        const Clock::time_point deadline = waitStart + (i == 0 ? limit.firstSample : limit.nextSample);
        for (;;) {
            if (cancel && cancel->load(std::memory_order_relaxed)) {
                io.write16(card::kRunPort, 0);
                result.outcome = AcquisitionOutcome::Cancelled;
                return result;
            }
            if (io.read16(card::kStatusPort) & card::kReadyBit)
                break;
            const Clock::time_point now = Clock::now();
            if (now >= deadline) {
                io.write16(card::kRunPort, 0);
                result.outcome = AcquisitionOutcome::NeverReady;
                return result;
            }
            if (now - waitStart > idleAfter)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        for (int ch = 0; ch < channels; ++ch)
            raw[std::size_t(ch)][std::size_t(i)] = std::int16_t(io.read16(card::kDataPort) & card::kCodeMask);
        result.samplesRead = i + 1;
    }
    io.write16(card::kRunPort, 0);
    result.outcome = AcquisitionOutcome::Done;
    return result;
}

} // namespace sedra
