// The window's suggestion cache: what the worker computes piece by piece and
// again after edits is what the picker gives for the whole survey, and a
// snapshot handed out never changes under its holder.

#include "talvex/document/arrivalsuggestions.h"

#include "talvex/survey/surveydata.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <algorithm>

using namespace talvex;

namespace {

// A 40-point hole of the sample model whose later points are noisier copies
// (records of the second channel), so that neighbouring points differ.
SurveyData makeSurvey(int points = 40)
{
    const samplegen::SurveyModel model = samplegen::defaultModel();
    SurveyData survey;
    for (int i = 0; i < points; ++i)
        survey.points.push_back(samplegen::makePoint(model, 0.5 * (i + 1), i % 3 == 0 ? 1 : 0));
    return survey;
}

bool same(const std::vector<ArrivalSuggestion> &a, const std::vector<ArrivalSuggestion> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].found != b[i].found || a[i].sample != b[i].sample || a[i].quality != b[i].quality
            || a[i].reason != b[i].reason || a[i].uncertainty != b[i].uncertainty || a[i].runPoints != b[i].runPoints) {
            qWarning("point %zu differs: %d/%d %d/%d", i + 1, a[i].found, b[i].found, a[i].sample, b[i].sample);
            return false;
        }
    }
    return true;
}

} // namespace

class ArrivalSuggestionCacheTest : public QObject {
    Q_OBJECT

private slots:
    void piecesAndEditsGiveWhatTheWholeSurveyGives()
    {
        SurveyData survey = makeSurvey();
        ArrivalSuggestions cache(survey);
        cache.setFocusPoint(30);
        cache.setShown(true);
        // Nothing arrives before the event loop runs: every point is pending.
        QVERIFY(cache.computing());
        const std::optional<ArrivalSuggestion> pending = cache.forPoint(0);
        QVERIFY(pending && !pending->found && pending->reason == QString::fromUtf8(kSuggestionPending));
        QVERIFY(cache.waitUntilComplete(60000));
        QVERIFY(same(*cache.current(), SuggestArrivals(survey)));
        QCOMPARE(cache.computedPoints(), 40);

        // A snapshot held across an edit keeps describing the survey it was
        // taken from.
        const ArrivalSuggestions::Snapshot held = cache.current();
        const std::vector<ArrivalSuggestion> copy = *held;
        for (std::int16_t &v : survey.points[20].positive)
            v = std::int16_t(-v);
        cache.pointsChanged();
        QVERIFY(cache.waitUntilComplete(60000));
        QVERIFY(same(*held, copy));
        QVERIFY(held != cache.current());
        QVERIFY(same(*cache.current(), SuggestArrivals(survey)));
        const int afterEdit = cache.computedPoints();
        QCOMPARE(afterEdit - 40, 1 + 2 * kSuggestionReach);

        // The neighbours time the points: the pieces must carry them.
        QVERIFY(std::any_of(cache.current()->begin(), cache.current()->end(),
                            [](const ArrivalSuggestion &a) { return a.runPoints > 0; }));

        // A point moved in depth moves on the travel-time curve: it and the
        // neighbours timed with it are computed again.
        survey.points[12].depth += 0.2f;
        cache.pointsChanged();
        QVERIFY(cache.waitUntilComplete(60000));
        QVERIFY(same(*cache.current(), SuggestArrivals(survey)));
        QCOMPARE(cache.computedPoints() - afterEdit, 1 + 2 * kSuggestionReach);
        survey.points[12].depth -= 0.2f;
        cache.pointsChanged();
        QVERIFY(cache.waitUntilComplete(60000));

        // Another source distance bends the whole curve: everything again.
        const int beforeGeometry = cache.computedPoints();
        survey.header.sourceDistance += 2.0f;
        cache.pointsChanged();
        QVERIFY(cache.waitUntilComplete(60000));
        QVERIFY(same(*cache.current(), SuggestArrivals(survey)));
        QCOMPARE(cache.computedPoints() - beforeGeometry, 40);
        const int afterGeometry = cache.computedPoints();

        // A pick changes no trace: nothing is computed.
        survey.points[5].sArrival = 300;
        cache.pointsChanged();
        QVERIFY(cache.waitUntilComplete(60000));
        QCOMPARE(cache.computedPoints(), afterGeometry);

        // An inserted and a deleted point shift the rest, which keep theirs.
        const samplegen::SurveyModel model = samplegen::defaultModel();
        survey.points.insert(survey.points.begin() + 10, samplegen::makePoint(model, 5.25, 1));
        cache.pointsChanged();
        QVERIFY(cache.waitUntilComplete(60000));
        QVERIFY(same(*cache.current(), SuggestArrivals(survey)));
        survey.points.erase(survey.points.begin() + 33);
        survey.points.pop_back();
        cache.pointsChanged();
        QVERIFY(cache.waitUntilComplete(60000));
        QVERIFY(same(*cache.current(), SuggestArrivals(survey)));
        QVERIFY(cache.computedPoints() - afterGeometry < 40);
    }

    void hidingDropsEverythingAndLateResultsAreIgnored()
    {
        SurveyData survey = makeSurvey(120);
        {
            ArrivalSuggestions cache(survey);
            QSignalSpy spy(&cache, &ArrivalSuggestions::updated);
            cache.setShown(true);
            QThread::msleep(50); // the worker is under way; its results wait in the queue
            cache.setShown(false);
            QCoreApplication::sendPostedEvents(&cache);
            QVERIFY(cache.current()->empty());
            QVERIFY(!cache.computing());
            QVERIFY(!cache.forPoint(0));
            QCOMPARE(spy.count(), 0);
            // Shown again while results may still be queued: only the new
            // computation counts, and it is complete and right.
            cache.setShown(true);
            QVERIFY(cache.waitUntilComplete(60000));
            QVERIFY(same(*cache.current(), SuggestArrivals(survey)));
            // Destroyed while computing: the worker stops, nothing is left behind.
            for (std::int16_t &v : survey.points[60].negative)
                v = std::int16_t(v / 2);
            cache.pointsChanged();
            QVERIFY(cache.computing());
        }
    }
};

QTEST_GUILESS_MAIN(ArrivalSuggestionCacheTest)
#include "arrivalsuggestions_test.moc"
