// The view widget over a document: real mouse and key events, the cached
// scene that cursor moves must not repaint, the stored zoom, and the
// signals the frame listens to.

#include "talvex/analysis/pointcommands.h"
#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/view/ctalvexview.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace talvex;

namespace {

constexpr int kX0 = kWaveformOriginX;
constexpr int kY0 = kWaveformOriginY;

void fillSurvey(SurveyData &survey, int count)
{
    survey.header.holeDepth = float(count);
    for (int i = 0; i < count; ++i) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = float(i + 1);
        p.interval = 25.0f;
        p.delay = 2.0f;
        p.sArrival = 300;
        p.pointVelocity = 150.0f + float(i % 7) * 20.0f;
        for (int j = 0; j < kTraceLength; ++j) {
            p.positive[std::size_t(j)] = std::int16_t(1000.0 * std::sin(j * 0.05 + i));
            p.negative[std::size_t(j)] = std::int16_t(-p.positive[std::size_t(j)]);
        }
        survey.points.push_back(p);
    }
    DiChengOne top;
    top.bottom = 5.0f;
    DiChengOne below;
    below.top = 5.0f;
    below.bottom = float(count);
    survey.layers = {top, below};
}

} // namespace

class ViewWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_document = std::make_unique<SurveyDocument>();
        fillSurvey(m_document->survey(), 40);
        m_view = std::make_unique<CtalvexView>(*m_document, m_settings.filePath("view.ini"));
        m_view->resize(1280, 900);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->viewport()->repaint();
    }
    void cleanup()
    {
        m_view.reset();
        m_document.reset();
    }

    void movingTheTimeCursorPaintsNoTrace()
    {
        const int scenes = m_view->scenePaintCount();
        QVERIFY(scenes >= 1);
        QWidget *viewport = m_view->viewport();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(m_view.get(), Qt::Key_Right);
        QTest::keyClick(m_view.get(), Qt::Key_Down);
        QCOMPARE(m_document->view().cursorX, 200 + 15);

        // Dragging on the current row: no selection change, only the cursor.
        const QPoint start = m_view->toViewport({kX0 + 200, kY0 + 30});
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QTest::mouseMove(viewport, start + QPoint(80, 0));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, start + QPoint(120, 0));
        QVERIFY(m_document->view().cursorX > kX0 + 300);
        viewport->repaint();
        QCOMPARE(m_view->scenePaintCount(), scenes);

        // A click on another row changes the selection: the scene is painted.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, m_view->toViewport({kX0 + 100, kY0 + 120 + 30}));
        QCOMPARE(m_document->view().currentPoint, 2);
        viewport->repaint();
        QCOMPARE(m_view->scenePaintCount(), scenes + 1);
    }

    void clickInTheLowerHalfOfTheThirdRow()
    {
        const QPoint target = m_view->toViewport({kX0 + 400, kY0 + 2 * 120 + 90});
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, target);
        QCOMPARE(m_document->view().currentPoint, 3);
        QCOMPARE(m_document->view().selectedTrace, 1);
        QVERIFY(std::abs(m_document->view().cursorX - (kX0 + 400)) <= 2);
        QCOMPARE(m_view->statusTexts().first(), QString::fromUtf8("测点深度:3.00m"));
    }

    void zoomIsStoredTruncatedAndBoundedBelow()
    {
        QCOMPARE(m_view->scale(), 0.75);
        for (int i = 0; i < 3; ++i)
            m_view->zoomOut();
        m_view.reset();
        QCOMPARE(TalvexSettings(m_settings.filePath("view.ini")).viewScale(), 59);

        TalvexSettings(m_settings.filePath("zero.ini")).setViewScale(0);
        CtalvexView view(*m_document, m_settings.filePath("zero.ini"));
        QCOMPARE(view.scale(), 0.05);
        view.zoomOut();
        QCOMPARE(view.scale(), 0.05);
    }

    void boundaryDragWithTheMouse()
    {
        m_view->showVelocityHistogram();
        QCOMPARE(m_document->view().mode, DisplayMode::VelocityHistogram);
        QSignalSpy layers(m_document.get(), &SurveyDocument::layersChanged);
        QWidget *viewport = m_view->viewport();
        const QPoint line = m_view->toViewport({350, depthToCursorY(5.0f)});
        QTest::mousePress(viewport, Qt::LeftButton, {}, line);
        QCOMPARE(viewport->cursor().shape(), Qt::SplitVCursor);
        QTest::mouseMove(viewport, m_view->toViewport({350, 40}));
        QCOMPARE(m_view->dragLineY(), depthToCursorY(0.0f) + 10);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, m_view->toViewport({350, 40}));
        QCOMPARE(m_document->survey().layers[0].bottom, 0.2f);
        QCOMPARE(m_view->dragLineY(), -1);
        QVERIFY(layers.count() >= 1);
    }

    void readoutsAndMenusFollowTheMode()
    {
        QSignalSpy readouts(m_view.get(), &CtalvexView::readoutChanged);
        QSignalSpy menus(m_view.get(), &CtalvexView::contextMenuRequested);
        QCOMPARE(m_view->readout().label, QString::fromUtf8("当前时间:"));

        m_view->showVelocityHistogram();
        QCOMPARE(readouts.count(), 1);
        QCOMPARE(readouts.last().at(0).toString(), QString::fromUtf8("当前深度:"));
        QCOMPARE(readouts.last().at(1).toString(), QString("0.0"));
        QCOMPARE(readouts.last().at(2).toString(), QString("m"));
        QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, QPoint(300, 300));
        QCOMPARE(menus.count(), 1);
        QCOMPARE(menus.last().at(0).toInt(), int(ContextMenuId::Histogram));

        // The time-distance chart keeps a label and unit in the readout box.
        m_view->showTimeDistance();
        QCOMPARE(readouts.last().at(0).toString(), QString::fromUtf8("波初至时:"));
        QCOMPARE(readouts.last().at(2).toString(), QString("ms"));
        QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, QPoint(300, 300));
        QCOMPARE(menus.count(), 1);
    }

    void modesKeepTheirScrollPositions()
    {
        QScrollBar *bar = m_view->verticalScrollBar();
        QVERIFY(bar->maximum() > 1000);
        bar->setValue(1000);
        m_view->showVelocityHistogram();
        m_view->showMultiTrace();
        QCOMPARE(bar->value(), 1000);
    }

    void deletingEveryPointKeepsTheCurrentPointInTheList()
    {
        SurveyDocument &doc = *m_document;
        doc.view().currentPoint = 40;
        doc.notifyViewChanged();
        while (!doc.survey().points.empty()) {
            QVERIFY(DeletePoint(doc.survey(), doc.view(), doc.undo()));
            doc.notifyViewChanged();
            QVERIFY(doc.view().currentPoint >= 1);
            QVERIFY(doc.view().currentPoint <= std::max<int>(1, int(doc.survey().points.size())));
            m_view->viewport()->repaint();
        }
        QCOMPARE(m_view->statusTexts().first(), QString::fromUtf8("测点深度:0.00m"));
        QTest::keyClick(m_view.get(), Qt::Key_Right); // no point: the cursor stays
        QCOMPARE(doc.view().cursorX, 200);
    }

private:
    QTemporaryDir m_settings;
    std::unique_ptr<SurveyDocument> m_document;
    std::unique_ptr<CtalvexView> m_view;
};

QTEST_MAIN(ViewWidgetTest)
#include "ctalvexview_test.moc"
