#include "sedra/core/acquisitionjob.h"

namespace sedra {

AcquisitionJob::AcquisitionJob(QObject *parent) : QObject(parent) {}

AcquisitionJob::~AcquisitionJob()
{
    m_worker.stop();
}

bool AcquisitionJob::start(PortIo &io, const AcquisitionParameters &parameters, const ReadyLimit &limit)
{
    if (m_running)
        return false;
    m_worker.join();
    m_progress.store(0);
    m_running = true;
    m_worker.start([this, &io, parameters, limit](int run) {
        auto raw = std::make_shared<std::array<RecordChannel, kRecordChannels>>();
        Acquisition acquisition;
        acquisition.result = AcquireRecord(io, parameters, *raw, &m_worker.cancelFlag(), limit, &m_progress);
        acquisition.raw = std::move(raw);
        m_worker.post([this, run, acquisition] { deliver(run, acquisition); });
    });
    return true;
}

void AcquisitionJob::deliver(int run, const Acquisition &acquisition)
{
    if (!m_worker.isCurrent(run) || !m_running)
        return; // delivered already (by wait())
    m_worker.join();
    m_running = false;
    emit finished(acquisition);
}

void AcquisitionJob::cancel()
{
    m_worker.cancel();
}

void AcquisitionJob::wait()
{
    m_worker.wait();
}

} // namespace sedra
