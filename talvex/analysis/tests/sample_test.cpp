// Picking the generated sample's true arrivals must give back the velocities
// of the model it was generated from.

#include "common/messenger.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "records/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/settings/viewstate.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace talvex;

TEST(GeneratedSample, PickedArrivalsGiveBackTheModelVelocities)
{
    QTemporaryDir dir;
    const samplegen::SurveyModel model = samplegen::defaultModel();
    QString error;
    ASSERT_GT(samplegen::writeRecords(model, dir.path(), &error), 0) << error.toStdString();

    SurveyData survey;
    HoleParameters p = newSurveyDefaults(survey, QDate(2026, 12, 7));
    p.holeDepth = model.holeDepth;
    p.pointSpacing = model.pointSpacing;
    p.sourceDistance = model.sourceDistance;
    NewSurvey(survey, p);
    FieldRecord record;
    common::RecordingMessenger messenger;
    ASSERT_GT(ImportFolder(survey, record, dir.path(), 1, messenger).filesTaken, 0);

    ViewState view;
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        const TlvOne &pt = survey.points[i];
        const double t = samplegen::travelTimeMs(model, pt.depth, true);
        const int sample = int(std::lround((t - pt.delay) * 1000.0 / pt.interval));
        ASSERT_GE(sample, kFirstCursorSample) << pt.depth;
        ASSERT_LE(sample, kLastCursorSample) << pt.depth;
        view.currentPoint = int(i) + 1;
        view.cursorX = kWaveformOriginX + sample;
        ASSERT_TRUE(SetSArrival(survey, view));
    }
    RecalculateAllVelocities(survey);

    float previous = 0.0f;
    for (const TlvOne &pt : survey.points) {
        const double expected = samplegen::intervalVelocity(model, previous, pt.depth);
        EXPECT_NEAR(pt.pointVelocity, expected, 0.02 * expected) << pt.depth;
        // The slant ray over the slant time is the vertical average.
        const double equivalent = samplegen::intervalVelocity(model, 0.0, pt.depth);
        EXPECT_NEAR(pt.equivVelocity, equivalent, 0.02 * equivalent) << pt.depth;
        previous = pt.depth;
    }

    // Layers set at the model's boundaries carry the model's velocities.
    for (const samplegen::ModelLayer &l : model.layers) {
        if (l.bottom > model.holeDepth)
            continue;
        view.depthCursor = depthToCursorY(l.bottom);
        ASSERT_TRUE(InsertLayer(survey, view, messenger)) << l.bottom;
    }
    ASSERT_EQ(survey.layers.size(), model.layers.size() - 1);
    for (std::size_t i = 0; i < survey.layers.size(); ++i)
        EXPECT_NEAR(survey.layers[i].velocity, model.layers[i].vs, 0.02 * model.layers[i].vs) << i;
}
