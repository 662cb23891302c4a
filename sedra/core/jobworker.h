// The worker-thread plumbing shared by the acquisition jobs: one worker
// thread at a time, a cancel flag it polls, and a run number, so that a
// hand-over queued by an earlier run is told from the current run's. The
// job keeps what it hands over and when; this keeps the thread.
//
// The job must stop the worker in its own destructor (stop()), before its
// other members go, since the worker reads them.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <thread>
#include <utility>

namespace sedra {

class JobWorker {
public:
    explicit JobWorker(QObject &owner) : m_owner(owner) {}
    ~JobWorker() { stop(); }
    JobWorker(const JobWorker &) = delete;
    JobWorker &operator=(const JobWorker &) = delete;

    // Joins the last worker, clears the cancel flag and runs `work(run)` on a
    // new thread; returns the new run number.
    template <class Work>
    int start(Work work)
    {
        join();
        m_cancel.store(false);
        const int run = ++m_run;
        m_thread = std::thread([work = std::move(work), run]() mutable { work(run); });
        return run;
    }
    // Whether `run` is the latest run started (owner's thread).
    bool isCurrent(int run) const { return run == m_run; }
    // Asks the worker to stop.
    void cancel() { m_cancel.store(true); }
    // The flag the worker polls.
    std::atomic<bool> &cancelFlag() { return m_cancel; }
    // Queues `call` to run on the owner's thread (from the worker); a call
    // still queued when the owner is destroyed is dropped with it.
    template <class Call>
    void post(Call call)
    {
        QMetaObject::invokeMethod(&m_owner, std::move(call), Qt::QueuedConnection);
    }
    // Waits for the worker to end.
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    // Waits for the worker and runs what it queued (callers without an
    // event loop, or closing down).
    void wait()
    {
        join();
        QCoreApplication::sendPostedEvents(&m_owner, QEvent::MetaCall);
    }
    // Cancels and joins.
    void stop()
    {
        cancel();
        join();
    }

private:
    QObject &m_owner;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    int m_run = 0; // owner's thread only
};

} // namespace sedra
