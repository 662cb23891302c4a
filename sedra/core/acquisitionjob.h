// One acquisition on a worker thread. The user-interface thread starts it
// and goes on handling events; the worker programs the card, collects the
// samples into a buffer of its own (a new one for every run) and hands the
// outcome and the buffer over by value in finished(), emitted exactly once
// per run on the job's thread. Nothing of an acquisition that did not
// complete reaches a record.
#pragma once

#include "sedra/card/acquisitioncard.h"
#include "sedra/core/jobworker.h"

#include <QMetaType>
#include <QObject>
#include <atomic>
#include <memory>

namespace sedra {

// What one run produced. The raw channels are shared read-only: nothing
// writes them once the run has ended.
struct Acquisition {
    AcquisitionResult result;
    std::shared_ptr<const std::array<RecordChannel, kRecordChannels>> raw;
};

class AcquisitionJob : public QObject {
    Q_OBJECT
public:
    explicit AcquisitionJob(QObject *parent = nullptr);
    ~AcquisitionJob() override; // cancels and waits for a running worker

    // Starts the worker on `io` (which must outlive the job's run). Returns
    // false when one is running already.
    bool start(PortIo &io, const AcquisitionParameters &parameters, const ReadyLimit &limit);
    // Asks the worker to stop the card; finished() follows.
    void cancel();
    bool isRunning() const { return m_running; }
    // Blocks until the worker has ended and finished() has been emitted (for
    // callers without an event loop, or closing down).
    void wait();

    // Sample sets read so far by the running (or last) acquisition; safe to
    // read from any thread.
    int samplesRead() const { return m_progress.load(std::memory_order_relaxed); }

signals:
    // Emitted on the job's thread, once per run, after the worker has ended.
    void finished(const sedra::Acquisition &acquisition);

private:
    void deliver(int run, const Acquisition &acquisition);

    JobWorker m_worker{*this};
    std::atomic<int> m_progress{0};
    bool m_running = false; // job's thread only: between start() and finished()
};

} // namespace sedra

Q_DECLARE_METATYPE(sedra::Acquisition)
