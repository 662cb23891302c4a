// The long recording job end to end with the simulated card: one
// blockCompleted() per block, in order, carrying the new samples, the
// recording so far growing with them, and finished() once.

#include "sedra/card/simulatedcard.h"
#include "sedra/core/longacquisitionjob.h"

#include <QSignalSpy>
#include <QTest>

using namespace sedra;

namespace {

SimulatedCardOptions model(const char *text)
{
    QString error;
    return SimulatedCardOptions::parse(QString::fromLatin1(text), &error).value_or(SimulatedCardOptions{});
}

LongAcquisitionPlan plan(std::int64_t samples, std::uint16_t interval)
{
    LongAcquisitionPlan p;
    p.card.interval = interval;
    p.totalSamples = samples;
    return p;
}

} // namespace

class LongAcquisitionJobTest : public QObject {
    Q_OBJECT

private slots:
    void everyBlockIsAnnouncedWithItsSamples()
    {
        SimulatedCard card(model("hv:seed=4,fast"));
        LongAcquisitionJob job;
        std::vector<LongAcquisitionProgress> seen;
        std::vector<std::size_t> recordSizes;
        connect(&job, &LongAcquisitionJob::blockCompleted, this, [&](const LongAcquisitionProgress &p) {
            seen.push_back(p);
            recordSizes.push_back(job.record().sampleCount()); // the recording so far, in the slot
        });
        QSignalSpy finished(&job, &LongAcquisitionJob::finished);
        ThreeComponentRecord header;
        header.network = QStringLiteral("AB");
        header.station = QStringLiteral("P1");
        QVERIFY(job.start(card, plan(10000, 10000), header));
        QVERIFY(!job.start(card, plan(10000, 10000))); // one run at a time
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!job.isRunning());
        const auto summary = finished.at(0).at(0).value<LongAcquisitionSummary>();
        QCOMPARE(summary.result.outcome, AcquisitionOutcome::Done);
        QCOMPARE(summary.result.samplesRead, std::int64_t(10000));
        QVERIFY(summary.result.gaps.empty());

        QCOMPARE(seen.size(), std::size_t(3));
        const ThreeComponentRecord &whole = job.record();
        QCOMPARE(whole.sampleCount(), std::size_t(10000));
        QCOMPARE(whole.sampleInterval, 0.01);
        QCOMPARE(whole.station, QStringLiteral("P1"));
        std::size_t at = 0;
        for (std::size_t b = 0; b < seen.size(); ++b) {
            const LongAcquisitionProgress &p = seen[b];
            QCOMPARE(p.block, int(b));
            QCOMPARE(p.totalSamples, std::int64_t(10000));
            QCOMPARE(std::size_t(p.samplesSoFar), at + p.added.sampleCount());
            QCOMPARE(recordSizes[b], std::size_t(p.samplesSoFar));
            for (std::size_t k = 0; k < 3; ++k)
                QVERIFY(std::equal(p.added.components[k].begin(), p.added.components[k].end(),
                                   whole.components[k].begin() + std::ptrdiff_t(at)));
            QVERIFY(p.added.start);
            QCOMPARE(p.added.start->msecsTo(*whole.start), -qint64(double(at) * 10.0));
            at += p.added.sampleCount();
        }
        QCOMPARE(seen[2].added.sampleCount(), std::size_t(10000 - 2 * 4096));
    }

    // Stopped after the first block (the card paced by the clock): the
    // recording keeps what was read, finished() says it was stopped.
    void cancelKeepsWhatWasRead()
    {
        SimulatedCard card(model("hv:seed=4"));
        LongAcquisitionJob job;
        QSignalSpy blocks(&job, &LongAcquisitionJob::blockCompleted);
        QSignalSpy finished(&job, &LongAcquisitionJob::finished);
        connect(&job, &LongAcquisitionJob::blockCompleted, &job, &LongAcquisitionJob::cancel);
        QVERIFY(job.start(card, plan(5 * 4096, 100)));
        QVERIFY(finished.wait(10000));
        const auto summary = finished.at(0).at(0).value<LongAcquisitionSummary>();
        QCOMPARE(summary.result.outcome, AcquisitionOutcome::Cancelled);
        QVERIFY(summary.result.samplesRead >= 4096);
        QVERIFY(summary.result.samplesRead < 5 * 4096);
        QCOMPARE(std::int64_t(job.record().sampleCount()), summary.result.samplesRead);
        QVERIFY(blocks.count() >= 1);
    }

    void emptyPlanIsRefused()
    {
        SimulatedCard card(model("hv:fast"));
        LongAcquisitionJob job;
        QVERIFY(!job.start(card, plan(0, 10000)));
        QVERIFY(!job.start(card, plan(100, 0)));
        QVERIFY(!job.isRunning());
    }
};

QTEST_GUILESS_MAIN(LongAcquisitionJobTest)
#include "longacquisitionjob_test.moc"
