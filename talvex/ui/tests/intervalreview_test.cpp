// 层间时间检查 in the window: a pick moved off its arrival is listed and
// marked in the multi-trace view, a click on the list makes its point
// current, correcting the pick clears the list and the mark, closing the
// list drops the marks.

#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/view/ctalvexview.h"
#include "talvex/ui/dialogs/intervalreviewdialog.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;

namespace {

const QColor kFlagRed{220, 0, 0};

} // namespace

class IntervalReviewWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void aMovedPickIsListedMarkedAndClearedWhenCorrected()
    {
        QTemporaryDir dir;
        TalvexSettings settings{dir.filePath(QStringLiteral("talvex.ini"))};
        SurveyDocument document;
        CMainFrame frame{document, settings};
        const samplegen::SurveyModel model = samplegen::defaultModel();
        SurveyData &survey = document.survey();
        survey.header.holeDepth = 8.0f;
        survey.header.sourceDistance = model.sourceDistance;
        survey.points.clear();
        for (int depth = 1; depth <= 8; ++depth) {
            survey.points.push_back(samplegen::makePoint(model, depth));
            survey.points.back().sArrival = std::int16_t(samplegen::arrivalSample(model, depth));
        }
        const int right = survey.points[4].sArrival;
        survey.points[4].sArrival = std::int16_t(right + 40);
        survey.markModified(SurveyParts::All);
        frame.resize(1500, 1000);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        // Red inside the row of point k (1-based) of the multi-trace view.
        const auto redInRow = [&](int k) {
            CtalvexView &view = frame.view();
            const QImage image = view.viewport()->grab().toImage();
            const QPoint a = view.toViewport(QPoint(kWaveformOriginX, 20 + 120 * (k - 1)));
            const QPoint b = view.toViewport(QPoint(kWaveformOriginX + 1024, 20 + 120 * k));
            for (int y = std::max(0, a.y()); y < std::min(image.height(), b.y()); ++y)
                for (int x = std::max(0, a.x()); x < std::min(image.width(), b.x()); ++x)
                    if (image.pixelColor(x, y) == kFlagRed)
                        return true;
            return false;
        };
        QVERIFY(!redInRow(5));

        QVERIFY(frame.action(CommandId::ReviewIntervals)->isEnabled());
        frame.action(CommandId::ReviewIntervals)->trigger();
        auto *dialog = frame.findChild<IntervalReviewDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("pairs"));
        QCOMPARE(table->rowCount(), 2); // 4-5 and 5-6
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("4-5"));
        QCOMPARE(table->item(1, 7)->text(), QStringLiteral("5"));
        QVERIFY(
            dialog->findChild<QLabel *>(QStringLiteral("summary"))->text().contains(QString::fromUtf8("请复核测点 5")));
        QVERIFY(redInRow(5));
        QVERIFY(!redInRow(2));
        QVERIFY(!redInRow(6));

        // A click on the list goes to the point.
        QCOMPARE(document.view().currentPoint, 1);
        emit table->cellClicked(1, 2);
        QCOMPARE(document.view().currentPoint, 5);

        // The corrected pick leaves nothing to review.
        survey.points[4].sArrival = std::int16_t(right);
        survey.markModified(SurveyParts::Points);
        QCOMPARE(table->rowCount(), 0);
        QVERIFY(!redInRow(5));

        // Closing the list drops the marks.
        survey.points[4].sArrival = std::int16_t(right - 40);
        survey.markModified(SurveyParts::Points);
        QVERIFY(redInRow(5));
        dialog->reject();
        QVERIFY(!redInRow(5));
    }
};

QTEST_MAIN(IntervalReviewWindowTest)
#include "intervalreview_test.moc"
