// One acquisition on a worker thread. The user-interface thread starts it
// and goes on handling events; the worker programs the card, collects the
// samples into a buffer of its own and reports the end through a queued
// signal. Nothing of an acquisition that did not complete reaches a record.
#pragma once

#include "sedra/card/acquisitioncard.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

namespace sedra {

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
    bool isRunning() const { return m_thread.joinable() && !m_done.load(); }
    // Blocks until the worker has ended (for callers without an event loop).
    void wait();

    // Sample sets read so far by the running (or last) acquisition; safe to
    // read from any thread.
    int samplesRead() const { return m_progress.load(std::memory_order_relaxed); }

    const AcquisitionResult &result() const { return m_result; }
    const std::array<RecordChannel, kRecordChannels> &raw() const { return *m_raw; }

signals:
    // Emitted on the job's thread once the worker has ended.
    void finished();

private:
    void join();

    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
    std::atomic<int> m_progress{0};
    AcquisitionResult m_result;
    std::unique_ptr<std::array<RecordChannel, kRecordChannels>> m_raw;
};

} // namespace sedra
