#include "talvex/processing/editcommands.h"

#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <gtest/gtest.h>

#include <set>

using namespace talvex;

namespace {

using C = EditCommand;

const std::set<C> traceCommands
    = {C::ZeroBeforeCursor, C::ZeroAfterCursor, C::ShiftEarlier,  C::ShiftLater,  C::ShiftEarlierTen, C::ShiftLaterTen,
       C::InvertTrace,      C::InvertAllPoints, C::RemoveTraceDC, C::SmoothTrace, C::DigitalFilter,   C::ShowSpectrum};
const std::set<C> rawOnly
    = {C::SetPositiveTrace, C::SetNegativeTrace, C::CompressDisplay, C::ExpandDisplay, C::RestoreDisplay};

SurveyData surveyWith(int points)
{
    SurveyData s;
    for (int i = 0; i < points; ++i)
        s.points.push_back(TlvOne::newPoint(1.5f));
    return s;
}

ViewState viewIn(DisplayMode mode)
{
    ViewState v;
    v.mode = mode;
    v.currentPoint = 1;
    return v;
}

} // namespace

TEST(EditCommands, TableByModeWithPointsAndASnapshot)
{
    const SurveyData s = surveyWith(3);
    struct Row {
        DisplayMode mode;
        bool trace, raw, undo;
    };
    const Row rows[] = {
        {DisplayMode::MultiTrace, true, false, true}, {DisplayMode::SingleTrace, true, false, true},
        {DisplayMode::RawRecord, true, true, false},  {DisplayMode::VelocityHistogram, false, false, true},
        {DisplayMode::Spectrum, false, false, true},  {DisplayMode::TimeDistance, false, false, true},
    };
    // Every command of the list once (the window makes one action of each),
    // and each in one of the three groups whose rules are checked here.
    EXPECT_EQ(std::set<C>(kAllEditCommands.begin(), kAllEditCommands.end()).size(), kAllEditCommands.size());
    for (const Row &r : rows) {
        const ViewState v = viewIn(r.mode);
        for (C c : kAllEditCommands) {
            bool expected = r.undo;
            if (traceCommands.count(c))
                expected = r.trace;
            else if (rawOnly.count(c))
                expected = r.raw;
            else
                EXPECT_EQ(c, C::Undo) << "command " << int(c) << " has no rule in this test";
            EXPECT_EQ(isEnabled(c, s, v, true), expected) << int(r.mode) << " command " << int(c);
        }
        // Without a snapshot Undo is disabled everywhere.
        EXPECT_FALSE(isEnabled(C::Undo, s, v, false)) << int(r.mode);
    }
}

TEST(EditCommands, AnEmptySurveyDisablesTheTraceCommandsAndUndo)
{
    const SurveyData s = surveyWith(0);
    for (DisplayMode m : {DisplayMode::MultiTrace, DisplayMode::SingleTrace, DisplayMode::RawRecord}) {
        const ViewState v = viewIn(m);
        for (C c : traceCommands)
            EXPECT_FALSE(isEnabled(c, s, v, true)) << int(m) << " command " << int(c);
        EXPECT_FALSE(isEnabled(C::Undo, s, v, true));
    }
    // Without a point there is nothing to set the traces of, but the raw
    // record can still be displayed.
    const ViewState raw = viewIn(DisplayMode::RawRecord);
    EXPECT_FALSE(isEnabled(C::SetPositiveTrace, s, raw, false));
    EXPECT_FALSE(isEnabled(C::SetNegativeTrace, s, raw, false));
    EXPECT_TRUE(isEnabled(C::CompressDisplay, s, raw, false));
    EXPECT_TRUE(isEnabled(C::RestoreDisplay, s, raw, false));
}

TEST(EditCommands, TargetsThatDoNotExistDisableTheirCommands)
{
    const SurveyData s = surveyWith(2);
    ViewState v = viewIn(DisplayMode::SingleTrace);
    v.currentPoint = 3;
    EXPECT_FALSE(isEnabled(C::InvertTrace, s, v, false));
    EXPECT_TRUE(isEnabled(C::InvertAllPoints, s, v, false)); // works on every point, not the current one
    v.currentPoint = 0;
    EXPECT_FALSE(isEnabled(C::ZeroBeforeCursor, s, v, false));
    v.currentPoint = 2;
    EXPECT_TRUE(isEnabled(C::ZeroBeforeCursor, s, v, false));
    v.selectedTrace = 1;
    EXPECT_TRUE(isEnabled(C::ZeroBeforeCursor, s, v, false));
    v.selectedTrace = -1;
    EXPECT_FALSE(isEnabled(C::ZeroBeforeCursor, s, v, false));
    EXPECT_FALSE(isEnabled(C::InvertAllPoints, s, v, false));

    // Raw record: the channel must be 1...4; the current point only matters
    // to the commands that write into it.
    v = viewIn(DisplayMode::RawRecord);
    v.currentPoint = 7;
    EXPECT_TRUE(isEnabled(C::InvertTrace, s, v, false));
    EXPECT_FALSE(isEnabled(C::SetPositiveTrace, s, v, false));
    v.currentPoint = 2;
    v.selectedChannel = 4;
    EXPECT_TRUE(isEnabled(C::SetNegativeTrace, s, v, false));
    v.selectedChannel = 5;
    EXPECT_FALSE(isEnabled(C::InvertTrace, s, v, false));
    EXPECT_FALSE(isEnabled(C::SetNegativeTrace, s, v, false));
    v.selectedChannel = 0;
    EXPECT_FALSE(isEnabled(C::ShowSpectrum, s, v, false));
}
