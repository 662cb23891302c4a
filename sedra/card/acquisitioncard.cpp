#include "sedra/card/acquisitioncard.h"

#include "sedra/card/cardregisters.h"

#include <algorithm>
#include <thread>

namespace sedra {

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;
constexpr milliseconds kMargin{3000};
// The poll wakes this long before a set is due (at most a quarter of the
// interval), which covers the system's lateness in waking a sleeper.
constexpr microseconds kWakeEarly{500};
// A sleep shorter than this is not worth it; the poll naps instead.
constexpr microseconds kShortestSleep{100};
// Longest single sleep, so that a cancel is seen within it.
constexpr microseconds kSleepSlice{20000};
// Nap between looks once the set is near, for intervals of 1 ms or more.
constexpr microseconds kNap{50};
constexpr microseconds kNapFromInterval{1000};
// Pause between looks at a card silent far beyond its interval.
constexpr microseconds kIdlePause{1000};
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

microseconds readyPollPause(microseconds untilDue, microseconds waited, microseconds interval)
{
    const microseconds wakeEarly = std::min(kWakeEarly, interval / 4);
    if (untilDue - wakeEarly >= kShortestSleep)
        return std::min(untilDue - wakeEarly, kSleepSlice);
    if (waited > 2 * interval + milliseconds(2))
        return kIdlePause;
    return interval >= kNapFromInterval ? kNap : microseconds(0);
}

milliseconds acquisitionTimeLeft(const AcquisitionParameters &parameters, int samplesRead, milliseconds elapsed)
{
    const int total = std::clamp(parameters.samples, 0, kRecordSamples);
    const int left = std::clamp(total - samplesRead, 0, total);
    auto remaining = std::chrono::duration_cast<milliseconds>(microseconds(std::int64_t(left) * parameters.interval));
    if (samplesRead <= 0)
        remaining += std::max(milliseconds(0), milliseconds(parameters.delay) - elapsed);
    return remaining;
}

AcquisitionResult AcquireRecord(PortIo &io, const AcquisitionParameters &parameters,
                                std::array<RecordChannel, kRecordChannels> &raw, const std::atomic<bool> *cancel,
                                const ReadyLimit &limit, std::atomic<int> *progress)
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
    if (progress)
        progress->store(0, std::memory_order_relaxed);

    const microseconds interval(parameters.interval);
    // The card delivers its first set after the delay and one interval, each
    // further one an interval after the one before.
    Clock::time_point due = Clock::now() + milliseconds(parameters.delay) + interval;
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
            const microseconds pause
                = readyPollPause(std::chrono::duration_cast<microseconds>(due - now),
                                 std::chrono::duration_cast<microseconds>(now - waitStart), interval);
            if (pause > microseconds(0))
                std::this_thread::sleep_for(pause);
            else
                std::this_thread::yield();
        }
        due = Clock::now() + interval;
        for (int ch = 0; ch < channels; ++ch)
            raw[std::size_t(ch)][std::size_t(i)] = std::int16_t(io.read16(card::kDataPort) & card::kCodeMask);
        result.samplesRead = i + 1;
        if (progress)
            progress->store(i + 1, std::memory_order_relaxed);
    }
    io.write16(card::kRunPort, 0);
    result.outcome = AcquisitionOutcome::Done;
    return result;
}

} // namespace sedra
