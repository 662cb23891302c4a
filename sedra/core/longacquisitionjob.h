// A long three-component recording on a worker thread. The worker takes the
// card's blocks (sedra/card/longacquisition.h); each completed block is
// handed to the job's thread, added to the recording and announced by
// blockCompleted(), so that a live display can update after every block.
// finished() follows once, after the last block.
#pragma once

#include "sedra/card/longacquisition.h"
#include "sedra/core/jobworker.h"
#include "sedra/core/threecomponent.h"

#include <QMetaType>
#include <QObject>
#include <atomic>

namespace sedra {

// What blockCompleted() carries: the new samples (as a record of their own,
// starting where they start in the recording) and where the recording
// stands. The whole recording so far is the job's record().
struct LongAcquisitionProgress {
    int block = 0; // 0-based
    std::int64_t samplesSoFar = 0; // per component, this block included
    std::int64_t totalSamples = 0; // planned
    ThreeComponentRecord added;
    std::optional<AcquisitionGap> gapBefore;
};

// How the run ended (see LongAcquisitionResult) and the gaps of its joins.
struct LongAcquisitionSummary {
    LongAcquisitionResult result;
};

class LongAcquisitionJob : public QObject {
    Q_OBJECT
public:
    explicit LongAcquisitionJob(QObject *parent = nullptr);
    ~LongAcquisitionJob() override; // cancels and waits for a running worker

    // Starts recording `plan` on `io` (which must outlive the run); the
    // recording's codes and start time are taken from `header` (its samples
    // are ignored). False when a run is going on already or the plan holds
    // no sample.
    bool start(PortIo &io, const LongAcquisitionPlan &plan, const ThreeComponentRecord &header = {});
    // Asks the worker to stop; the samples read so far stay the recording.
    void cancel();
    bool isRunning() const { return m_running; }
    // Blocks until the worker has ended and every blockCompleted() and
    // finished() has been emitted (callers without an event loop).
    void wait();

    // The recording so far (job's thread): every block delivered.
    const ThreeComponentRecord &record() const { return m_record; }
    // Sets read so far, including the running block; any thread.
    std::int64_t samplesRead() const
    {
        return m_done.load(std::memory_order_relaxed) + m_inBlock.load(std::memory_order_relaxed);
    }

signals:
    void blockCompleted(const sedra::LongAcquisitionProgress &progress);
    void finished(const sedra::LongAcquisitionSummary &summary);

private:
    void deliverBlock(int run, const LongAcquisitionBlock &block);
    void deliverEnd(int run, const LongAcquisitionResult &result);

    JobWorker m_worker{*this};
    std::atomic<std::int64_t> m_done{0};
    std::atomic<int> m_inBlock{0};
    ThreeComponentRecord m_record;
    std::int64_t m_total = 0;
    bool m_running = false;
};

} // namespace sedra

Q_DECLARE_METATYPE(sedra::LongAcquisitionProgress)
Q_DECLARE_METATYPE(sedra::LongAcquisitionSummary)
