#pragma once
// A long continuous recording (minutes) made of the card's acquisitions:
// the card holds at most 4096 sample sets per acquisition, so the recording
// is taken block by block, the card restarted at once after each block.
//
// Joining: the card starts its sample clock when it is started and delivers
// the first set one interval (plus its delay) later. The first block uses
// the programmed delay, the others none, so that a block's first set comes
// one interval after the restart. When the restart follows the block's
// last set by less than half an interval, the next block continues the
// sample grid and nothing is lost. When it comes later (a loaded machine, an
// interval of a few microseconds), the sets the card would have taken in
// between are lost: the join is recorded as a gap, with the sample where it
// lies and the time missing, and the recording goes on. A card that is not
// sampled in real time (PortIo::sampledInRealTime, a fast simulation)
// loses nothing between blocks.

#include "sedra/card/acquisitioncard.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace sedra {

struct LongAcquisitionPlan {
    // Interval, delay (first block only) and gain; `samples` and `channels`
    // are set per block from the fields below.
    AcquisitionParameters card;
    std::int64_t totalSamples = 0; // sample sets of the whole recording
    // Card channels (1-based) recorded as north, east and vertical.
    std::array<int, 3> channels{1, 2, 3};
};

// Time the card did not sample between two blocks, beyond the regular
// interval: it lies just before sample `atSample` of the recording.
struct AcquisitionGap {
    std::int64_t atSample = 0;
    double seconds = 0.0;
};

// One completed block, in signed samples (the card's codes converted), in
// the order north, east, vertical.
struct LongAcquisitionBlock {
    int index = 0; // 0-based
    std::int64_t firstSample = 0; // position of its first sample in the recording
    std::array<std::vector<std::int16_t>, 3> samples;
    std::optional<AcquisitionGap> gapBefore;
};

struct LongAcquisitionResult {
    // Done: every sample read. Cancelled: stopped on request, the blocks
    // read so far (and the part of the last one) are the recording.
    // NeverReady: the card stopped answering; what was read is kept but the
    // recording is incomplete.
    AcquisitionOutcome outcome = AcquisitionOutcome::Done;
    std::int64_t samplesRead = 0;
    int blocks = 0;
    std::vector<AcquisitionGap> gaps;
};

// Called once per block on the acquiring thread, right after it completed
// (the part of a block read before a stop comes too). It should be quick:
// the card waits for the restart until it returns.
using LongAcquisitionSink = std::function<void(LongAcquisitionBlock &&block)>;

// Sample sets in `minutes` at `intervalUs` (rounded down; at least one).
std::int64_t samplesForMinutes(double minutes, std::uint16_t intervalUs);

// Records `plan.totalSamples` sets in blocks of up to 4096 (see above).
// `progress` (may be null) holds the sets read so far, updated after each
// block; `blockProgress` (may be null) the sets of the running block.
LongAcquisitionResult AcquireLong(PortIo &io, const LongAcquisitionPlan &plan, const std::atomic<bool> *cancel,
                                  const LongAcquisitionSink &sink, std::atomic<std::int64_t> *progress = nullptr,
                                  std::atomic<int> *blockProgress = nullptr);

} // namespace sedra
