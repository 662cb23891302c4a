#include "analysistestutil.h"
#include "common/messenger.h"
#include "talvex/analysis/ceditdaodialogmodel.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/survey/undosnapshot.h"
#include "records/fieldrecord.h"
#include "talvex/settings/viewstate.h"

#include <gtest/gtest.h>

using namespace talvex;
using talvex::testing::survey;

namespace {

ViewState viewAt(int point, int sample = 1)
{
    ViewState v;
    v.currentPoint = point;
    v.cursorX = kWaveformOriginX + sample;
    return v;
}

} // namespace

TEST(SetSArrival, PicksAndRecomputesTheCurrentAndTheNextPointOnly)
{
    SurveyData s = survey(0.0f, {{2.0f, 10}, {4.0f, 20}, {6.0f, 30}, {8.0f, 40}});
    RecalculateAllVelocities(s);
    const float thirdBefore = s.points[2].pointVelocity;
    const float fourthBefore = s.points[3].pointVelocity;

    ASSERT_TRUE(SetSArrival(s, viewAt(2, 16)));
    EXPECT_EQ(s.points[1].sArrival, 16);
    EXPECT_FLOAT_EQ(s.points[1].pointVelocity, 2.0f / 6.0f * 1000.0f);
    EXPECT_FLOAT_EQ(s.points[2].pointVelocity, 2.0f / 14.0f * 1000.0f);
    EXPECT_NE(s.points[2].pointVelocity, thirdBefore);
    EXPECT_EQ(s.points[3].pointVelocity, fourthBefore);
    EXPECT_TRUE(s.isModified());

    // The last point has no next point; the cursor's last sample is stored as is.
    ASSERT_TRUE(SetSArrival(s, viewAt(4, 1023)));
    EXPECT_EQ(s.points[3].sArrival, 1023);
}

TEST(SetSArrival, RefusesWithoutACurrentPointOrOffTheTrace)
{
    SurveyData s = survey(0.0f, {{2.0f, 10}});
    EXPECT_FALSE(SetSArrival(s, viewAt(2, 20)));
    EXPECT_FALSE(SetSArrival(s, viewAt(0, 20)));
    EXPECT_FALSE(SetSArrival(s, viewAt(1, 0)));
    EXPECT_FALSE(SetSArrival(s, viewAt(1, 1024)));
    EXPECT_EQ(s.points[0].sArrival, 10);
    EXPECT_FALSE(s.isModified());
}

TEST(SetPAndRArrival, StoreTheCursorSampleWithoutTouchingVelocitiesOrTheSArrival)
{
    SurveyData s = survey(0.0f, {{2.0f, 10}, {4.0f, 20}});
    RecalculateAllVelocities(s);
    const TlvOne before = s.points[1];

    ASSERT_TRUE(SetPArrival(s, viewAt(2, 7)));
    ASSERT_TRUE(SetRArrival(s, viewAt(2, 900)));
    EXPECT_EQ(s.points[1].pArrival, 7);
    EXPECT_EQ(s.points[1].rArrival, 900);
    EXPECT_EQ(s.points[1].sArrival, before.sArrival);
    EXPECT_EQ(s.points[1].pointVelocity, before.pointVelocity);
    EXPECT_TRUE(s.isModified());

    EXPECT_FALSE(SetPArrival(s, viewAt(3, 7)));
    EXPECT_FALSE(SetRArrival(s, viewAt(1, 1024)));
    EXPECT_EQ(s.points[0].rArrival, 0);
}

TEST(SetTriggerPoint, ShiftsEveryChannelToTheCursor)
{
    FieldRecord record;
    for (std::size_t c = 0; c < record.channels.size(); ++c) {
        for (std::size_t j = 0; j < record.channels[c].size(); ++j)
            record.channels[c][j] = std::int16_t(j + 10 * c);
    }
    ASSERT_TRUE(SetTriggerPoint(record, viewAt(1, 1000)));
    for (std::size_t c = 0; c < record.channels.size(); ++c) {
        EXPECT_EQ(record.channels[c][0], std::int16_t(1000 + 10 * c));
        EXPECT_EQ(record.channels[c][23], std::int16_t(1023 + 10 * c));
        EXPECT_EQ(record.channels[c][24], std::int16_t(1023 + 10 * c));
        EXPECT_EQ(record.channels[c][1023], std::int16_t(1023 + 10 * c));
        EXPECT_EQ(record.channels[c][1024], std::int16_t(1024 + 10 * c)); // beyond the trace length
    }
}

TEST(SortPointsByDepth, SortsWholeRecordsRaisesTheHoleDepthAndRecomputes)
{
    SurveyData s = survey(0.0f, {{6.0f, 30}, {2.0f, 10}, {4.0f, 20}, {61.0f, 200}});
    s.points[0].gain = 7;
    s.header.holeDepth = 50.0f;
    ASSERT_TRUE(SortPointsByDepth(s));
    ASSERT_EQ(s.points.size(), 4u);
    EXPECT_EQ(s.points[0].depth, 2.0f);
    EXPECT_EQ(s.points[1].depth, 4.0f);
    EXPECT_EQ(s.points[2].depth, 6.0f);
    EXPECT_EQ(s.points[2].gain, 7); // the record travels whole
    EXPECT_EQ(s.points[2].sArrival, 30);
    EXPECT_EQ(s.header.holeDepth, 61.0f);
    EXPECT_FLOAT_EQ(s.points[1].pointVelocity, 200.0f);
    EXPECT_TRUE(s.isModified());

    SurveyData empty;
    EXPECT_FALSE(SortPointsByDepth(empty));
}

TEST(InsertPoint, NewPointBeforeTheCurrentOneWithUndo)
{
    SurveyData s = survey(2.5f, {{2.0f, 10}, {4.0f, 20}});
    ViewState view = viewAt(2);
    UndoSnapshot undo;
    ASSERT_TRUE(InsertPoint(s, view, undo));
    ASSERT_EQ(s.points.size(), 3u);
    EXPECT_EQ(view.currentPoint, 2); // the new point is now the current one
    const TlvOne &added = s.points[1];
    EXPECT_EQ(added.depth, 0.0f);
    EXPECT_EQ(added.gain, 1);
    EXPECT_EQ(added.crossDistance, 2.5f);
    EXPECT_EQ(s.points[2].depth, 4.0f);
    EXPECT_TRUE(s.isModified());
    ASSERT_TRUE(undo.available());
    ASSERT_TRUE(undo.Undo(s));
    EXPECT_EQ(s.points.size(), 2u);

    // One past the end appends; an empty survey takes its first point.
    view.currentPoint = 3;
    ASSERT_TRUE(InsertPoint(s, view, undo));
    EXPECT_EQ(s.points.size(), 3u);
    EXPECT_EQ(s.points[2].depth, 0.0f);
    SurveyData empty;
    view.currentPoint = 1;
    ASSERT_TRUE(InsertPoint(empty, view, undo));
    EXPECT_EQ(empty.points.size(), 1u);
    view.currentPoint = 3;
    EXPECT_FALSE(InsertPoint(empty, view, undo));
}

TEST(DeletePoint, KeepsTheCurrentPointInsideTheList)
{
    SurveyData s = survey(0.0f, {{2.0f, 10}, {4.0f, 20}, {6.0f, 40}});
    RecalculateAllVelocities(s);
    ViewState view = viewAt(2);
    UndoSnapshot undo;
    ASSERT_TRUE(DeletePoint(s, view, undo));
    ASSERT_EQ(s.points.size(), 2u);
    // The point after the removed one is recomputed against its new neighbour.
    EXPECT_FLOAT_EQ(s.points[1].pointVelocity, 4.0f / 30.0f * 1000.0f);
    EXPECT_TRUE(undo.available());

    view.currentPoint = 2;
    ASSERT_TRUE(DeletePoint(s, view, undo));
    EXPECT_EQ(view.currentPoint, 1);
    ASSERT_TRUE(DeletePoint(s, view, undo));
    EXPECT_TRUE(s.points.empty());
    EXPECT_EQ(view.currentPoint, 1);
    EXPECT_FALSE(DeletePoint(s, view, undo));
}

TEST(PointDialog, ShowsArrivalsWithoutTheDelayAndStoresThemTruncated)
{
    SurveyData s = survey(0.0f, {{10.0f, 301, 50.0f, 3.0f}});
    s.points[0].pArrival = 150;
    s.points[0].gain = 8;
    s.header.holeDepth = 50.0f;
    ViewState view = viewAt(1);
    UndoSnapshot undo;
    common::RecordingMessenger messenger;
    CEditDaoDialogModel dialog(s, view, undo, messenger);
    ASSERT_TRUE(dialog.hasPoint());
    EXPECT_FLOAT_EQ(dialog.values().sArrivalMs, 15.05f);
    EXPECT_FLOAT_EQ(dialog.values().pArrivalMs, 7.5f);
    EXPECT_EQ(dialog.values().gain, 8);

    PointDialogValues v = dialog.values();
    v.sArrivalMs = 15.06f; // 301.2 samples
    v.rArrivalMs = 0.049f; // 0.98 samples
    v.depth = 60.0f;
    v.gain = 99;
    ASSERT_TRUE(dialog.apply(v));
    const TlvOne &p = s.points[0];
    EXPECT_EQ(p.sArrival, 301);
    EXPECT_EQ(p.pArrival, 150);
    EXPECT_EQ(p.rArrival, 0);
    EXPECT_EQ(p.gain, 8);
    EXPECT_EQ(s.header.holeDepth, 60.0f);
    EXPECT_FLOAT_EQ(p.equivVelocity, 60.0f / (15.05f + 3.0f) * 1000.0f);
    EXPECT_TRUE(s.isModified());
    EXPECT_TRUE(undo.available());
}

TEST(PointDialog, OkWithoutAnEditKeepsEveryPick)
{
    // Times shown for whole samples come back a hair below the sample for
    // many intervals; they must not lose that sample.
    for (const float interval : {10.0f, 12.5f, 20.0f, 25.0f, 50.0f, 125.0f, 31.25f}) {
        for (int sample = 0; sample < kTraceLength; ++sample) {
            const float ms = CEditDaoDialogModel::arrivalMs(std::int16_t(sample), interval);
            ASSERT_EQ(CEditDaoDialogModel::arrivalSample(ms, interval), sample) << interval;
        }
    }
}

TEST(PointDialog, RefusesAZeroIntervalAndArrivalsBeyondTheField)
{
    SurveyData s = survey(0.0f, {{10.0f, 301, 50.0f, 3.0f}});
    ViewState view = viewAt(1);
    UndoSnapshot undo;
    common::RecordingMessenger messenger;
    CEditDaoDialogModel dialog(s, view, undo, messenger);
    PointDialogValues v = dialog.values();
    v.interval = 0.0f;
    EXPECT_FALSE(dialog.apply(v));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(CEditDaoDialogModel::kIntervalMessage));
    v.interval = 50.0f;
    v.sArrivalMs = 2000.0f; // 40000 samples
    EXPECT_FALSE(dialog.apply(v));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(CEditDaoDialogModel::kArrivalRangeMessage));
    EXPECT_EQ(s.points[0].sArrival, 301);
    EXPECT_EQ(s.points[0].interval, 50.0f);
    EXPECT_FALSE(s.isModified());
    EXPECT_FALSE(undo.available());

    view.currentPoint = 2;
    CEditDaoDialogModel none(s, view, undo, messenger);
    EXPECT_FALSE(none.hasPoint());
    EXPECT_FALSE(none.apply(v));
}

TEST(PointDialog, APointWithoutARecordCanBeEditedUntilAnArrivalNeedsTheInterval)
{
    // As New and insert make it: interval 0, no picks.
    SurveyData s;
    s.points.push_back(TlvOne::newPoint(1.5f));
    s.points[0].depth = 1.0f;
    ViewState view = viewAt(1);
    UndoSnapshot undo;
    common::RecordingMessenger messenger;
    CEditDaoDialogModel dialog(s, view, undo, messenger);
    PointDialogValues v = dialog.values();
    v.depth = 60.0f;
    v.crossDistance = 2.0f;
    ASSERT_TRUE(dialog.apply(v));
    EXPECT_EQ(s.points[0].depth, 60.0f);
    EXPECT_EQ(s.points[0].crossDistance, 2.0f);
    EXPECT_EQ(s.header.holeDepth, 60.0f);
    EXPECT_TRUE(messenger.messages.isEmpty());
    v.pArrivalMs = 1.0f; // no interval to convert it with
    EXPECT_FALSE(dialog.apply(v));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(CEditDaoDialogModel::kIntervalMessage));
    EXPECT_EQ(s.points[0].pArrival, 0);
    v.pArrivalMs = 0.0f;
    v.interval = -25.0f;
    EXPECT_FALSE(dialog.apply(v));
}

TEST(PointCommands, EnabledByViewModeAndPoints)
{
    SurveyData empty;
    SurveyData one = survey(0.0f, {{2.0f, 10}});
    ViewState view;
    for (const DisplayMode mode : {DisplayMode::MultiTrace, DisplayMode::SingleTrace, DisplayMode::RawRecord}) {
        view.mode = mode;
        EXPECT_TRUE(pointCommandsEnabled(one, view));
        EXPECT_FALSE(pointCommandsEnabled(empty, view));
        EXPECT_TRUE(insertPointEnabled(view));
        EXPECT_EQ(setTriggerPointEnabled(view), mode == DisplayMode::RawRecord);
    }
    view.mode = DisplayMode::VelocityHistogram;
    EXPECT_FALSE(pointCommandsEnabled(one, view));
    EXPECT_FALSE(insertPointEnabled(view));
}
