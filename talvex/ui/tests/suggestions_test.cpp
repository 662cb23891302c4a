// The automatic suggestions in the window, on a generated hole whose
// arrivals are known: markers drawn only while shown, the current point's
// pick and all picks above a quality accepted and undone, the suggested
// layers accepted or ignored, and when each command can run.

#include "common/messenger.h"
#include "talvex/analysis/autopick.h"
#include "talvex/analysis/layersuggest.h"
#include "talvex/analysis/surveylogimport.h"
#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/view/ctalvexview.h"
#include "talvex/ui/dialogs/layersuggestiondialog.h"
#include "talvex/ui/dialogs/pickqualitydialog.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace talvex;

namespace {

const QColor kMarkerGreen{0, 150, 0};

struct Fixture {
    QTemporaryDir dir;
    TalvexSettings settings{dir.filePath(QStringLiteral("talvex.ini"))};
    SurveyDocument document;
    common::RecordingMessenger messenger;
    CMainFrame frame{document, settings};

    // A hole of the sample model with points every metre down to `depth`,
    // nothing picked; point `silent` (1-based, 0 for none) has empty traces
    // and so no suggestion.
    explicit Fixture(int silent = 0, int depth = 10)
    {
        frame.setMessenger(messenger);
        const samplegen::SurveyModel model = samplegen::defaultModel();
        SurveyData &survey = document.survey();
        survey.header.holeDepth = float(depth);
        survey.header.sourceDistance = model.sourceDistance;
        survey.points.clear();
        for (int d = 1; d <= depth; ++d)
            survey.points.push_back(samplegen::makePoint(model, d));
        if (silent > 0) {
            survey.points[std::size_t(silent - 1)].positive.fill(0);
            survey.points[std::size_t(silent - 1)].negative.fill(0);
        }
        survey.markModified(SurveyParts::All);
        frame.resize(1500, 1000);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
    }

    void trigger(CommandId id) { frame.action(id)->trigger(); }
    bool enabled(CommandId id) { return frame.action(id)->isEnabled(); }
    // Every point's suggestion, once the worker has computed them all.
    std::vector<ArrivalSuggestion> suggestions()
    {
        [&] { QVERIFY(document.suggestions().waitUntilComplete(20000)); }();
        return *document.suggestions().current();
    }
    std::vector<int> arrivals() const
    {
        std::vector<int> picks;
        for (const TlvOne &point : document.survey().points)
            picks.push_back(point.sArrival);
        return picks;
    }

    // Whether the view shows marker green near logical column `x` between
    // logical rows `top` and `bottom`.
    bool greenNear(int x, int top, int bottom)
    {
        CtalvexView &view = frame.view();
        const QImage image = view.viewport()->grab().toImage();
        const QPoint a = view.toViewport(QPoint(x, top));
        const QPoint b = view.toViewport(QPoint(x, bottom));
        for (int px = a.x() - 2; px <= a.x() + 2; ++px)
            for (int py = a.y(); py <= b.y(); ++py)
                if (image.rect().contains(px, py) && image.pixelColor(px, py) == kMarkerGreen)
                    return true;
        return false;
    }
    // The marker span of point `k` (1-based) in the multi-trace view.
    bool markerShownAt(int k, int sample)
    {
        return greenNear(kWaveformOriginX + sample, 20 + 120 * (k - 1) + 6, 20 + 120 * (k - 1) + 42);
    }
};

// Answers the next modal dialog of type D with `answer`, once it is shown.
template <typename D>
void answerDialog(std::function<void(D &)> answer)
{
    QTimer::singleShot(0, [answer] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<D *>(widget); dialog && dialog->isVisible()) {
                answer(*dialog);
                return;
            }
    });
}

} // namespace

class SuggestionWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void markersShowOnlyWhileOnAndCostNoRepaintOnCursorMoves()
    {
        // Deeper than the reach of one point's suggestion into its neighbours.
        Fixture f(3, 2 * kSuggestionReach + 8);
        QVERIFY(f.enabled(CommandId::ToggleArrivalSuggestions));
        QVERIFY(!f.enabled(CommandId::AcceptArrivalSuggestion));
        QVERIFY(!f.enabled(CommandId::AcceptAllArrivalSuggestions));

        const samplegen::SurveyModel model = samplegen::defaultModel();
        const int sample = samplegen::arrivalSample(model, 2.0);
        QVERIFY(!f.markerShownAt(2, sample));

        f.trigger(CommandId::ToggleArrivalSuggestions);
        QVERIFY(f.frame.action(CommandId::ToggleArrivalSuggestions)->isChecked());
        const ArrivalSuggestion second = f.suggestions()[1];
        QVERIFY(second.found);
        QVERIFY(std::abs(second.sample - sample) <= 3);
        QVERIFY(f.markerShownAt(2, second.sample));
        // The silent point has none, and says why when it is current.
        QVERIFY(!f.suggestions()[2].found);
        QVERIFY(!f.markerShownAt(3, sample));
        f.document.view().currentPoint = 3;
        f.document.notifyViewChanged();
        QVERIFY(f.frame.statusBar()->currentMessage().startsWith(QString::fromUtf8("测点3无拾取建议：")));
        QVERIFY(!f.enabled(CommandId::AcceptArrivalSuggestion));
        QVERIFY(f.enabled(CommandId::AcceptAllArrivalSuggestions));

        // The cursor moves over the cached picture: no scene paint, no new
        // computation.
        f.frame.view().viewport()->grab();
        const int paints = f.frame.view().scenePaintCount();
        const int computations = f.document.suggestions().computedPoints();
        f.frame.view().MoveTimeCursor(kWaveformOriginX + 400);
        f.frame.view().viewport()->grab();
        QCOMPARE(f.frame.view().scenePaintCount(), paints);
        QCOMPARE(f.document.suggestions().computedPoints(), computations);

        // An edit of one trace computes its point and the neighbours timed
        // with it again, not the survey; hiding drops them.
        f.document.view().currentPoint = 2;
        f.document.notifyViewChanged();
        f.trigger(CommandId::InvertTrace);
        f.suggestions();
        const int recomputed = f.document.suggestions().computedPoints() - computations;
        QVERIFY(recomputed >= 1);
        QVERIFY(recomputed <= 1 + 2 * kSuggestionReach);
        QVERIFY(recomputed < int(f.document.survey().points.size()));
        f.trigger(CommandId::ToggleArrivalSuggestions);
        QVERIFY(f.suggestions().empty());
        QVERIFY(!f.markerShownAt(2, second.sample));
        QCOMPARE(f.frame.statusBar()->currentMessage(), QString::fromUtf8("就绪"));
    }

    void theSingleTraceViewShowsTheCurrentPointsMarker()
    {
        Fixture f;
        f.trigger(CommandId::ToggleArrivalSuggestions);
        f.document.view().currentPoint = 4;
        f.trigger(CommandId::ToggleSingleTrace);
        QCOMPARE(f.document.view().mode, DisplayMode::SingleTrace);
        const int sample = f.suggestions()[3].sample;
        QVERIFY(f.greenNear(kWaveformOriginX + sample, kWaveformOriginY + 60, kWaveformOriginY + 160));
    }

    void theKeyAcceptsTheCurrentSuggestionAndUndoRestoresThePick()
    {
        Fixture f;
        f.trigger(CommandId::ToggleArrivalSuggestions);
        f.document.view().currentPoint = 5;
        f.document.survey().points[4].sArrival = 7; // a manual pick to be replaced
        f.document.survey().markModified(SurveyParts::Points);
        f.document.notifyViewChanged();
        f.frame.updateActions();
        const ArrivalSuggestion suggestion = f.suggestions()[4];
        const int computations = f.document.suggestions().computedPoints();
        QVERIFY(f.enabled(CommandId::AcceptArrivalSuggestion));

        QTest::keyClick(&f.frame, Qt::Key_Y);
        const TlvOne &point = f.document.survey().points[4];
        QCOMPARE(int(point.sArrival), suggestion.sample);
        QCOMPARE(f.document.view().cursorX, kWaveformOriginX + suggestion.sample);
        QVERIFY(point.pointVelocity > 0.0f);
        // A pick leaves the traces, so the suggestions stand.
        f.suggestions();
        QCOMPARE(f.document.suggestions().computedPoints(), computations);

        f.trigger(CommandId::Undo);
        QCOMPARE(int(f.document.survey().points[4].sArrival), 7);
    }

    void acceptingAllAboveAQualityTakesOneUndo()
    {
        Fixture f;
        f.trigger(CommandId::ToggleArrivalSuggestions);
        const std::vector<ArrivalSuggestion> suggestions = f.suggestions();
        int expected = 0;
        for (const ArrivalSuggestion &s : suggestions)
            expected += isAcceptable(s, 0.8) ? 1 : 0;
        QVERIFY(expected > 0);
        const std::vector<int> before = f.arrivals();

        // Out of range is refused and the dialog stays; then 0.8 is taken.
        answerDialog<PickQualityDialog>([&f](PickQualityDialog &dialog) {
            auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("minQuality"));
            QCOMPARE(edit->text(), QStringLiteral("0.5"));
            edit->setText(QStringLiteral("1.5"));
            dialog.accept();
            QVERIFY(dialog.isVisible());
            QCOMPARE(f.messenger.last(), QString::fromUtf8(kQualityRangeMessage));
            edit->setText(QStringLiteral("0.8"));
            dialog.accept();
        });
        f.trigger(CommandId::AcceptAllArrivalSuggestions);
        QCOMPARE(
            f.messenger.last(),
            QString::fromUtf8("已采用 %1 个测点的拾取建议（质量不低于 0.80）：填入 %1 个，替换 0 个。").arg(expected));
        int picked = 0;
        for (std::size_t i = 0; i < suggestions.size(); ++i) {
            if (isAcceptable(suggestions[i], 0.8)) {
                QCOMPARE(int(f.document.survey().points[i].sArrival), suggestions[i].sample);
                ++picked;
            } else {
                QCOMPARE(int(f.document.survey().points[i].sArrival), before[i]);
            }
        }
        QCOMPARE(picked, expected);

        f.trigger(CommandId::Undo);
        QVERIFY(f.arrivals() == before);

        // Cancel changes nothing.
        answerDialog<PickQualityDialog>([](PickQualityDialog &dialog) { dialog.reject(); });
        f.trigger(CommandId::AcceptAllArrivalSuggestions);
        QVERIFY(f.arrivals() == before);
    }

    void handPicksStayUnlessReplacingIsTicked()
    {
        Fixture f;
        f.trigger(CommandId::ToggleArrivalSuggestions);
        const std::vector<ArrivalSuggestion> suggestions = f.suggestions();
        QVERIFY(isAcceptable(suggestions[1], 0.0) && isAcceptable(suggestions[2], 0.0));
        // The engineer picked points 2 and 3 by hand, away from the suggestions.
        f.document.survey().points[1].sArrival = std::int16_t(suggestions[1].sample + 30);
        f.document.survey().points[2].sArrival = std::int16_t(suggestions[2].sample + 30);
        f.document.survey().markModified(SurveyParts::Points);
        const std::vector<int> handPicked = f.arrivals();

        answerDialog<PickQualityDialog>([](PickQualityDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("minQuality"))->setText(QStringLiteral("0"));
            QVERIFY(!dialog.findChild<QCheckBox *>(QStringLiteral("replaceExisting"))->isChecked());
            dialog.accept();
        });
        f.trigger(CommandId::AcceptAllArrivalSuggestions);
        QCOMPARE(int(f.document.survey().points[1].sArrival), handPicked[1]);
        QCOMPARE(int(f.document.survey().points[2].sArrival), handPicked[2]);
        QVERIFY(f.messenger.last().contains(QString::fromUtf8("保留已有拾取 2 个")));

        // Ticked: they are replaced, and one Undo brings them back.
        answerDialog<PickQualityDialog>([](PickQualityDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("minQuality"))->setText(QStringLiteral("0"));
            dialog.findChild<QCheckBox *>(QStringLiteral("replaceExisting"))->setChecked(true);
            dialog.accept();
        });
        const std::vector<int> beforeReplacing = f.arrivals();
        f.trigger(CommandId::AcceptAllArrivalSuggestions);
        QCOMPARE(int(f.document.survey().points[1].sArrival), suggestions[1].sample);
        QCOMPARE(int(f.document.survey().points[2].sArrival), suggestions[2].sample);
        QVERIFY(f.messenger.last().contains(QString::fromUtf8("替换 2 个")));
        f.trigger(CommandId::Undo);
        QVERIFY(f.arrivals() == beforeReplacing);
    }

    void suggestedLayersAreAcceptedOrIgnored()
    {
        Fixture f;
        const samplegen::SurveyModel model = samplegen::defaultModel();
        for (std::size_t i = 0; i < f.document.survey().points.size(); ++i)
            f.document.survey().points[i].sArrival = std::int16_t(samplegen::arrivalSample(model, double(i + 1)));
        f.trigger(CommandId::RecalculateAll);
        QVERIFY(!f.enabled(CommandId::SuggestLayers)); // a waveform mode
        f.trigger(CommandId::ShowHistogram);
        QVERIFY(f.enabled(CommandId::SuggestLayers));
        const LayerSuggestion expected = SuggestLayers(f.document.survey());
        QVERIFY(expected.ok());

        answerDialog<LayerSuggestionDialog>([](LayerSuggestionDialog &dialog) { dialog.reject(); });
        f.trigger(CommandId::SuggestLayers);
        QVERIFY(f.document.survey().layers.empty());

        const int paints = f.frame.view().scenePaintCount();
        answerDialog<LayerSuggestionDialog>([](LayerSuggestionDialog &dialog) { dialog.accept(); });
        f.trigger(CommandId::SuggestLayers);
        const auto &layers = f.document.survey().layers;
        QCOMPARE(layers.size(), expected.layers.size());
        for (std::size_t i = 0; i + 1 < layers.size(); ++i)
            QCOMPARE(layers[i].bottom, expected.layers[i].bottom);
        f.frame.view().viewport()->grab();
        QVERIFY(f.frame.view().scenePaintCount() > paints); // the histogram redrew

        // With layers there, the window's messenger asks before replacing
        // them, and No keeps them.
        QVERIFY(f.messenger.questions.isEmpty());
        f.document.survey().layers.pop_back();
        const std::size_t kept = f.document.survey().layers.size();
        f.messenger.answers = {false};
        answerDialog<LayerSuggestionDialog>([](LayerSuggestionDialog &dialog) { dialog.accept(); });
        f.trigger(CommandId::SuggestLayers);
        QCOMPARE(f.messenger.questions, QStringList{QString::fromUtf8(kOverwriteLayersQuestion)});
        QCOMPARE(f.document.survey().layers.size(), kept);
    }
};

QTEST_MAIN(SuggestionWindowTest)
#include "suggestions_test.moc"
