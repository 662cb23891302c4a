#include "sedra/core/acquisitionjob.h"

#include <QMetaObject>

namespace sedra {

AcquisitionJob::AcquisitionJob(QObject *parent)
    : QObject(parent), m_raw(std::make_unique<std::array<RecordChannel, kRecordChannels>>())
{
}

AcquisitionJob::~AcquisitionJob()
{
    m_cancel.store(true);
    join();
}

bool AcquisitionJob::start(PortIo &io, const AcquisitionParameters &parameters, const ReadyLimit &limit)
{
    if (isRunning())
        return false;
    join();
    m_cancel.store(false);
    m_done.store(false);
    m_result = {};
    m_progress.store(0);
    m_thread = std::thread([this, &io, parameters, limit] {
        const AcquisitionResult result = AcquireRecord(io, parameters, *m_raw, &m_cancel, limit, &m_progress);
        m_result = result;
        m_done.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(
            this,
            [this] {
                join();
                emit finished();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void AcquisitionJob::cancel()
{
    m_cancel.store(true);
}

void AcquisitionJob::wait()
{
    join();
}

void AcquisitionJob::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace sedra
