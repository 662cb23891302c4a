// The H/V mode offscreen: it draws the windows shaded by their verdict, a
// click toggles a window and changes the result, the printed H/V page
// renders, and the analysis follows a long recording from the simulated
// card window by window until the data are enough.

#include "sedra/card/simulatedcard.h"
#include "sedra/core/longacquisitionjob.h"
#include "sedra/render/hvpainter.h"
#include "sedra/tests/hvtestrecord.h"
#include "sedra/ui/hvview.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <set>

using namespace sedra;

namespace {

// Distinct colours in the image: a blank or one-colour picture has few.
int colourCount(const QImage &image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

ThreeComponentRecord testRecord()
{
    hvtest::RecordSpec s;
    s.seconds = 600;
    s.burstWindows = {3};
    return hvtest::makeRecord(s);
}

// Where the view draws the middle of window `index`, a little below the top
// of the traces (shading only, no trace there).
QPoint windowPoint(const HvView &view, int index, qreal below = 2)
{
    HvPaintStyle style;
    style.font = view.font();
    const QRectF plot = HvPainter::windowsPlotArea(view.windowsRect(), style);
    const HvWindow &w = view.result().windows[std::size_t(index)];
    const double len = double(view.result().windowSamples) * view.result().sampleInterval;
    const double t = w.startSeconds + len / 2;
    return QPointF(plot.left() + t / view.record().duration() * plot.width(), plot.top() + below).toPoint();
}

SimulatedCardOptions model(const char *text)
{
    QString error;
    return SimulatedCardOptions::parse(QString::fromLatin1(text), &error).value_or(SimulatedCardOptions{});
}

} // namespace

class HvViewTest : public QObject {
    Q_OBJECT

private slots:
    void drawsWindowsShadedByVerdict()
    {
        HvView view;
        view.resize(1400, 820);
        QVERIFY(view.setRecord(testRecord()).isEmpty());
        QCOMPARE(view.result().windows.size(), std::size_t(10));
        QVERIFY(!view.result().windows[3].used);
        QVERIFY(view.result().windows[5].used);
        const QImage image = view.grab().toImage();
        if (!qEnvironmentVariableIsEmpty("HV_VIEW_PNG"))
            image.save(qEnvironmentVariable("HV_VIEW_PNG"));
        QVERIFY(colourCount(image) > 30);
        const QColor rejected = image.pixelColor(windowPoint(view, 3));
        const QColor kept = image.pixelColor(windowPoint(view, 5));
        QVERIFY2(rejected != kept, qPrintable(rejected.name() + QLatin1Char(' ') + kept.name()));
        QVERIFY(rejected.red() > rejected.green()); // reddish
        QVERIFY(kept.green() > kept.red()); // greenish
    }

    void clickTogglesAWindowAndTheResultFollows()
    {
        HvView view;
        view.resize(1400, 820);
        QVERIFY(view.setRecord(testRecord()).isEmpty());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy changed(&view, &HvView::resultChanged);
        const int usedBefore = view.result().usedCount();
        const double medianBefore = view.result().f0Windows.median;

        QVERIFY(view.windowToolTip(5).contains(QStringLiteral("采用")));
        QVERIFY(view.windowToolTip(3).contains(QStringLiteral("STA/LTA 反触发")));
        QTest::mouseClick(&view, Qt::LeftButton, {}, windowPoint(view, 5, 20));
        QCOMPARE(changed.count(), 1);
        QVERIFY(view.windowToolTip(5).contains(QStringLiteral("手动剔除")));
        QCOMPARE(view.result().windows[5].manual, ManualMark::Reject);
        QVERIFY(!view.result().windows[5].used);
        // The frequency-domain rejection runs again on what is left, so
        // another window may come back; the statistics follow the windows used.
        QVERIFY(view.result().usedCount() < usedBefore + 1);
        QVERIFY(view.result().f0Windows.median != medianBefore);
        QCOMPARE(view.result().f0Windows.count, view.result().usedCount());

        // The burst window kept by hand; the mark on window 5 stays.
        QTest::mouseClick(&view, Qt::LeftButton, {}, windowPoint(view, 3, 20));
        QCOMPARE(view.result().windows[3].manual, ManualMark::Keep);
        QVERIFY(view.result().windows[3].used);
        QCOMPARE(view.result().windows[5].manual, ManualMark::Reject);

        // A velocity typed in re-evaluates without touching the marks.
        view.vsEdit()->setValue(200);
        QVERIFY(view.result().depth.has_value());
        QCOMPARE(view.result().depth->h, 200.0 / (4 * view.result().f0));
        QCOMPARE(view.result().windows[5].manual, ManualMark::Reject);
        QCOMPARE(view.result().windows[3].manual, ManualMark::Keep);

        // A click outside the windows changes nothing.
        const int count = changed.count();
        QTest::mouseClick(&view, Qt::LeftButton, {}, view.curvesRect().center().toPoint());
        QCOMPARE(changed.count(), count);
    }

    void printedPageRenders()
    {
        const ThreeComponentRecord record = testRecord();
        HvOptions o;
        o.vs = 250;
        const HvResult result = analyseHv(record, o);
        QVERIFY(result.ok());
        // A4 at 1 px per 0.1 mm / 2.
        QImage page(1050, 1485, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(0.5, 0.5);
            HvPainter::drawPage(painter, QSizeF(2100, 2970), record, result, QStringLiteral("H/V 谱比分析"), 1.0);
        }
        if (!qEnvironmentVariableIsEmpty("HV_PAGE_PNG"))
            page.save(qEnvironmentVariable("HV_PAGE_PNG"));
        QVERIFY(colourCount(page) > 30);
        // The lower third holds the tables: not blank either.
        QVERIFY(colourCount(page.copy(0, 1000, 1050, 400)) > 2);

        QTemporaryDir dir;
        QString error;
        QVERIFY(HvPainter::writePdf(record, result, QStringLiteral("H/V"), dir.filePath("hv.pdf"), &error));
        QFile pdf(dir.filePath("hv.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(!HvPainter::writePdf(record, result, QString(), dir.filePath("no/such/dir/hv.pdf"), &error));
        QVERIFY(!error.isEmpty());
    }

    void liveUpdateFromTheSimulatedCard()
    {
        SimulatedCard card(model("hv:f0=2.0,a0=4,damping=0.15,transients=2,seed=3,fast"));
        LongAcquisitionJob job;
        HvView view;
        view.resize(1400, 820);
        QVERIFY(view.startLive(0.01).isEmpty());
        std::vector<std::size_t> windowsSeen;
        bool indicatorOn = false;
        int sufficientAt = -1;
        connect(&job, &LongAcquisitionJob::blockCompleted, &view, [&](const LongAcquisitionProgress &p) {
            view.appendLive(p.added);
            windowsSeen.push_back(view.result().windows.size());
            if (view.dataSufficient() && sufficientAt < 0)
                sufficientAt = int(view.result().windows.size());
            indicatorOn = view.sufficiencyIndicator()->text() == QStringLiteral("数据已足够，可以结束采集");
            QCOMPARE(indicatorOn, view.dataSufficient());
        });
        QSignalSpy finished(&job, &LongAcquisitionJob::finished);
        LongAcquisitionPlan plan;
        plan.card.interval = 10000; // 100 Hz
        plan.totalSamples = 20 * 60 * 100;
        QVERIFY(job.start(card, plan));
        QVERIFY(finished.wait(60000));
        // Windows appear one by one as the blocks come, never all at once.
        QVERIFY(windowsSeen.size() > 20);
        QCOMPARE(windowsSeen.back(), std::size_t(20));
        QVERIFY(std::is_sorted(windowsSeen.begin(), windowsSeen.end()));
        QVERIFY(std::adjacent_find(windowsSeen.begin(), windowsSeen.end(),
                                   [](std::size_t a, std::size_t b) { return b > a + 1; })
                == windowsSeen.end());
        // The same as the whole record analysed at once.
        const HvResult whole = analyseHv(job.record(), view.result().options);
        QCOMPARE(view.result().windows.size(), whole.windows.size());
        QCOMPARE(view.result().f0, whole.f0);
        QVERIFY(std::fabs(view.result().f0 - 2.0) < 0.15);
        // Enough data is said once the criteria hold, not after the first window.
        QVERIFY(sufficientAt > 1);
        QVERIFY(indicatorOn);
        QVERIFY(view.sufficiencyIndicator()->text() == QStringLiteral("数据已足够，可以结束采集"));
        if (!qEnvironmentVariableIsEmpty("HV_LIVE_PNG"))
            view.grab().toImage().save(qEnvironmentVariable("HV_LIVE_PNG"));
    }
};

QTEST_MAIN(HvViewTest)
#include "hvview_test.moc"
