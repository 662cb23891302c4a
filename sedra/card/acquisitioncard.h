#pragma once
// The acquisition card's side of one microtremor acquisition: detection,
// the register sequence of one acquisition with its bounded ready poll, and
// the conversion of the raw 14-bit codes to signed samples and millivolts.

#include "sedra/card/portio.h"
#include "sedra/card/recordchannels.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace sedra {

// What one acquisition programs into the card.
struct AcquisitionParameters {
    std::uint16_t interval = 8000; // sample interval, us
    std::uint16_t delay = 0; // delay before the first sample, ms
    int gain = 1; // amplifier gain: 1, 10 or 100
    int samples = 1024; // samples per channel N, 1..4096
    int channels = 4; // channel count C, 1..4
};

// Gain code of register 3: 1 -> 0, 10 -> 1, 100 -> 2, anything else 0.
std::uint16_t gainCode(int gain);

// Whether an identification word names a present card: bits 4 to 11 read
// 0x55 or 0xAA, whatever the other bits.
bool isCardIdentification(std::uint16_t value);

// Reads the identification register once.
bool DetectCard(PortIo &io);

// A stored 14-bit code as a signed sample: codes above 8191 are negative
// (code - 16384), giving -8192 to 8191.
std::int16_t convertRawCode(std::int16_t code);
// Converts `count` stored codes in place.
void ConvertRawCodes(std::int16_t *samples, int count);

// Millivolts of a signed sample: 8192 codes are 5000 mV.
float sampleToMillivolts(int sample);

enum class AcquisitionOutcome {
    Done, // every sample read, card stopped
    NeverReady, // the ready bit did not come within the time limit; card stopped
    Cancelled, // stopped on request; card stopped
};

struct AcquisitionResult {
    AcquisitionOutcome outcome = AcquisitionOutcome::Done;
    int samplesRead = 0; // complete sample sets read before the end
};

// How long the ready poll waits for one sample set before it gives up.
struct ReadyLimit {
    std::chrono::milliseconds firstSample{0}; // from the start: delay + interval + margin
    std::chrono::milliseconds nextSample{0}; // between two sets: interval + margin
};

// The limit for `parameters`: the expected wait plus three seconds.
ReadyLimit readyLimitFor(const AcquisitionParameters &parameters);

// How long the ready poll pauses before its next look at the status
// register. `untilDue` is the time left until the next sample set is due
// (negative once it is late), `waited` the time spent waiting for this set,
// `interval` the sample interval. Until shortly before the set is due the
// poll sleeps, in slices short enough to notice a cancel; near and after
// the due moment it naps 50 us when the interval is 1 ms or more and yields
// (zero) when it is shorter; a card silent for much longer than an interval
// is looked at once a millisecond.
std::chrono::microseconds readyPollPause(std::chrono::microseconds untilDue, std::chrono::microseconds waited,
                                         std::chrono::microseconds interval);

// Time an acquisition still needs after `samplesRead` sets, `elapsed` after
// its start: the sets left at one interval each, plus what is left of the
// card's delay while no set has come yet.
std::chrono::milliseconds acquisitionTimeLeft(const AcquisitionParameters &parameters, int samplesRead,
                                              std::chrono::milliseconds elapsed);

// One acquisition, in the card's exact register order: interval, delay,
// gain code, register 5 = 3, register 2 = 5, four discarded reads of
// register 5, start; then for each sample the ready poll and one read of
// register 5 per channel (14 bits kept), and the stop. Sample i of channel
// ch goes to position i of `raw[ch]`; positions from N on are not touched.
//
// The next set is due one interval after the last one was seen (the first
// after the delay and one interval); the poll sleeps until shortly before
// that (readyPollPause), so an acquisition of minutes does not keep a core
// busy, and it reads each set well within its interval.
//
// The ready poll ends when the card does not become ready within `limit`
// or when `cancel` (may be null) turns true; in both cases the card is
// stopped with register 4 = 0 and the outcome says why. The samples read so
// far are then in `raw`, but the caller keeps none of them as a record.
// `progress` (may be null) holds the count of sets read so far.
AcquisitionResult AcquireRecord(PortIo &io, const AcquisitionParameters &parameters,
                                std::array<RecordChannel, kRecordChannels> &raw, const std::atomic<bool> *cancel,
                                const ReadyLimit &limit, std::atomic<int> *progress = nullptr);

} // namespace sedra
