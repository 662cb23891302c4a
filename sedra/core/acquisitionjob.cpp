#include "sedra/core/acquisitionjob.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace sedra {

AcquisitionJob::AcquisitionJob(QObject *parent) : QObject(parent) {}

AcquisitionJob::~AcquisitionJob()
{
    m_cancel.store(true);
    join();
}

bool AcquisitionJob::start(PortIo &io, const AcquisitionParameters &parameters, const ReadyLimit &limit)
{
    if (m_running)
        return false;
    join();
    m_cancel.store(false);
    m_progress.store(0);
    m_running = true;
    const int run = ++m_run;
    m_thread = std::thread([this, &io, parameters, limit, run] {
        auto raw = std::make_shared<std::array<RecordChannel, kRecordChannels>>();
        Acquisition acquisition;
        acquisition.result = AcquireRecord(io, parameters, *raw, &m_cancel, limit, &m_progress);
        acquisition.raw = std::move(raw);
        // The object outlives the worker (its destructor joins it); a call
        // still queued when it is destroyed is dropped with it.
        QMetaObject::invokeMethod(
            this, [this, run, acquisition] { deliver(run, acquisition); }, Qt::QueuedConnection);
    });
    return true;
}

void AcquisitionJob::deliver(int run, const Acquisition &acquisition)
{
    if (run != m_run || !m_running)
        return; // delivered already (by wait())
    join();
    m_running = false;
    emit finished(acquisition);
}

void AcquisitionJob::cancel()
{
    m_cancel.store(true);
}

void AcquisitionJob::wait()
{
    join();
    // The worker has queued its hand-over; deliver it now.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void AcquisitionJob::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace sedra
