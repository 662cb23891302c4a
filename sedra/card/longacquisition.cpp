#include "sedra/card/longacquisition.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace sedra {

std::int64_t samplesForMinutes(double minutes, std::uint16_t intervalUs)
{
    if (!(minutes > 0.0) || intervalUs == 0)
        return 0;
    return std::max<std::int64_t>(1, std::int64_t(std::floor(minutes * 60e6 / double(intervalUs))));
}

LongAcquisitionResult AcquireLong(PortIo &io, const LongAcquisitionPlan &plan, const std::atomic<bool> *cancel,
                                  const LongAcquisitionSink &sink, std::atomic<std::int64_t> *progress,
                                  std::atomic<int> *blockProgress)
{
    using Clock = std::chrono::steady_clock;
    LongAcquisitionResult result;
    const int channels = *std::max_element(plan.channels.begin(), plan.channels.end());
    auto raw = std::make_unique<std::array<RecordChannel, kRecordChannels>>();
    std::atomic<int> ownBlockProgress{0};
    std::atomic<int> *inBlock = blockProgress ? blockProgress : &ownBlockProgress;
    const double interval = double(plan.card.interval) * 1e-6;
    std::optional<Clock::time_point> lastBlockEnd;
    if (progress)
        progress->store(0, std::memory_order_relaxed);
    while (result.samplesRead < plan.totalSamples) {
        AcquisitionParameters p = plan.card;
        p.channels = std::clamp(channels, 1, kRecordChannels);
        p.samples = int(std::min<std::int64_t>(kRecordSamples, plan.totalSamples - result.samplesRead));
        if (result.blocks > 0)
            p.delay = 0;
        const Clock::time_point restart = Clock::now();
        std::optional<AcquisitionGap> gap;
        if (lastBlockEnd && io.sampledInRealTime()) {
            // The block's first set comes one interval after the restart;
            // anything beyond the grid's next slot was not sampled.
            const double late = std::chrono::duration<double>(restart - *lastBlockEnd).count();
            if (late >= interval / 2.0) {
                gap = AcquisitionGap{result.samplesRead, late};
                result.gaps.push_back(*gap);
            }
        }
        const AcquisitionResult block = AcquireRecord(io, p, *raw, cancel, readyLimitFor(p), inBlock);
        lastBlockEnd = Clock::now();
        LongAcquisitionBlock out;
        out.index = result.blocks;
        out.firstSample = result.samplesRead;
        out.gapBefore = gap;
        for (std::size_t k = 0; k < 3; ++k) {
            const RecordChannel &ch = (*raw)[std::size_t(plan.channels[k] - 1)];
            out.samples[k].resize(std::size_t(block.samplesRead));
            for (int i = 0; i < block.samplesRead; ++i)
                out.samples[k][std::size_t(i)] = convertRawCode(ch[std::size_t(i)]);
        }
        result.samplesRead += block.samplesRead;
        ++result.blocks;
        if (progress)
            progress->store(result.samplesRead, std::memory_order_relaxed);
        inBlock->store(0, std::memory_order_relaxed);
        if (block.samplesRead > 0 && sink)
            sink(std::move(out));
        if (block.outcome != AcquisitionOutcome::Done) {
            result.outcome = block.outcome;
            return result;
        }
    }
    result.outcome = AcquisitionOutcome::Done;
    return result;
}

} // namespace sedra
