// The acquisition worker hands each run over by value, exactly once, and a
// run's buffer is never written after it was handed over.

#include "sedra/card/simulatedcard.h"
#include "sedra/core/acquisitionjob.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace sedra;

namespace {

ReadyLimit generous()
{
    return {std::chrono::milliseconds(5000), std::chrono::milliseconds(5000)};
}

AcquisitionParameters parameters(int samples)
{
    AcquisitionParameters p;
    p.samples = samples;
    p.channels = 2;
    return p;
}

} // namespace

class AcquisitionJobTest : public QObject {
    Q_OBJECT

private slots:
    void eachRunIsHandedOverOnceWithABufferOfItsOwn()
    {
        SimulatedCard card;
        AcquisitionJob job;
        QSignalSpy spy(&job, &AcquisitionJob::finished);
        QVERIFY(job.start(card, parameters(256), generous()));
        QVERIFY(job.isRunning());
        QVERIFY(!job.start(card, parameters(256), generous())); // one run at a time
        QVERIFY(spy.wait(10000));
        QCOMPARE(spy.count(), 1);
        QVERIFY(!job.isRunning());
        const auto first = spy.at(0).at(0).value<Acquisition>();
        QCOMPARE(first.result.outcome, AcquisitionOutcome::Done);
        QCOMPARE(first.result.samplesRead, 256);
        QVERIFY(first.raw);
        const auto firstSamples = *first.raw;
        QVERIFY(std::any_of(firstSamples[0].begin(), firstSamples[0].begin() + 256, [](auto v) { return v != 0; }));

        // wait() delivers the hand-over itself, and only once.
        SimulatedCardOptions other;
        other.seed = 9;
        SimulatedCard second(other);
        QVERIFY(job.start(second, parameters(128), generous()));
        job.wait();
        QCOMPARE(spy.count(), 2);
        job.wait();
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 2);
        const auto next = spy.at(1).at(0).value<Acquisition>();
        QCOMPARE(next.result.samplesRead, 128);
        // The first run's samples are as they were handed over.
        QVERIFY(next.raw != first.raw);
        QVERIFY(*first.raw == firstSamples);
    }

    void aCancelledRunIsHandedOverToo()
    {
        SimulatedCardOptions never;
        never.neverReady = true;
        SimulatedCard card(never);
        AcquisitionJob job;
        QSignalSpy spy(&job, &AcquisitionJob::finished);
        QVERIFY(job.start(card, parameters(64), generous()));
        job.cancel();
        job.wait();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<Acquisition>().result.outcome, AcquisitionOutcome::Cancelled);
    }
};

QTEST_GUILESS_MAIN(AcquisitionJobTest)
#include "acquisitionjob_test.moc"
