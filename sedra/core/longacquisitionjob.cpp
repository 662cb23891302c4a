#include "sedra/core/longacquisitionjob.h"

namespace sedra {

LongAcquisitionJob::LongAcquisitionJob(QObject *parent) : QObject(parent) {}

LongAcquisitionJob::~LongAcquisitionJob()
{
    m_worker.stop();
}

bool LongAcquisitionJob::start(PortIo &io, const LongAcquisitionPlan &plan, const ThreeComponentRecord &header)
{
    if (m_running || plan.totalSamples <= 0 || plan.card.interval == 0)
        return false;
    m_worker.join();
    m_done.store(0);
    m_inBlock.store(0);
    m_total = plan.totalSamples;
    m_record = ThreeComponentRecord{};
    m_record.sampleInterval = double(plan.card.interval) * 1e-6;
    m_record.network = header.network;
    m_record.station = header.station;
    m_record.location = header.location;
    m_record.source = header.source;
    // The first set comes after the delay and one interval.
    m_record.start = header.start.value_or(QDateTime::currentDateTimeUtc())
                         .addMSecs(qint64(plan.card.delay) + qint64(plan.card.interval) / 1000);
    for (auto &c : m_record.components)
        c.reserve(std::size_t(plan.totalSamples));
    m_running = true;
    // Blocks of an earlier run still queued are dropped by their run number.
    m_worker.start([this, &io, plan](int run) {
        const LongAcquisitionResult result = AcquireLong(
            io, plan, &m_worker.cancelFlag(),
            [this, run](LongAcquisitionBlock &&block) {
                m_worker.post([this, run, b = std::move(block)] { deliverBlock(run, b); });
            },
            &m_done, &m_inBlock);
        m_inBlock.store(0);
        m_worker.post([this, run, result] { deliverEnd(run, result); });
    });
    return true;
}

void LongAcquisitionJob::deliverBlock(int run, const LongAcquisitionBlock &block)
{
    if (!m_worker.isCurrent(run))
        return;
    LongAcquisitionProgress progress;
    progress.block = block.index;
    progress.totalSamples = m_total;
    progress.gapBefore = block.gapBefore;
    progress.added.sampleInterval = m_record.sampleInterval;
    progress.added.network = m_record.network;
    progress.added.station = m_record.station;
    progress.added.location = m_record.location;
    if (m_record.start)
        progress.added.start
            = m_record.start->addMSecs(qint64(double(block.firstSample) * m_record.sampleInterval * 1000.0));
    for (std::size_t k = 0; k < 3; ++k) {
        progress.added.components[k].assign(block.samples[k].begin(), block.samples[k].end());
        m_record.components[k].insert(m_record.components[k].end(), progress.added.components[k].begin(),
                                      progress.added.components[k].end());
    }
    progress.samplesSoFar = std::int64_t(m_record.sampleCount());
    emit blockCompleted(progress);
}

void LongAcquisitionJob::deliverEnd(int run, const LongAcquisitionResult &result)
{
    if (!m_worker.isCurrent(run) || !m_running)
        return;
    m_worker.join();
    m_running = false;
    emit finished(LongAcquisitionSummary{result});
}

void LongAcquisitionJob::cancel()
{
    m_worker.cancel();
}

void LongAcquisitionJob::wait()
{
    m_worker.wait();
}

} // namespace sedra
