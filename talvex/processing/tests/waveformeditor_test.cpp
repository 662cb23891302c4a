#include "talvex/processing/waveformeditor.h"

#include "common/messenger.h"
#include "dsp/filters.h"
#include "dsp/frequencydomain.h"
#include "talvex/survey/undosnapshot.h"
#include "records/fieldrecord.h"
#include "talvex/settings/viewstate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace talvex;
using Repaint = WaveformEditor::Repaint;

namespace {

// A trace with some of everything: a slow wave, a fast wave, an offset and
// the two extreme values.
Trace testTrace(int seed)
{
    Trace t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        const double x = double(i);
        t[i] = std::int16_t(1500.0 + 9000.0 * std::sin(0.02 * x + seed) + 2000.0 * std::sin(0.9 * x));
    }
    t[5] = -32768;
    t[6] = 32767;
    return t;
}

bool sameTraces(const std::vector<TlvOne> &a, const std::vector<TlvOne> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].positive != b[i].positive || a[i].negative != b[i].negative || a[i].interval != b[i].interval
            || a[i].depth != b[i].depth)
            return false;
    }
    return true;
}

class WaveformEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            TlvOne p = TlvOne::newPoint(1.5f);
            p.depth = float(i + 1);
            p.interval = i == 1 ? 250.0f : 100.0f;
            p.positive = testTrace(i);
            p.negative = testTrace(10 + i);
            survey.points.push_back(p);
        }
        survey.setModified(false);
        survey.changeListener = [this](SurveyParts) { ++modifiedCalls; };
        record.header.channelCount = 2;
        record.header.sampleCount = 4096;
        for (std::size_t c = 0; c < 4; ++c) {
            for (std::size_t i = 0; i < 4096; ++i)
                record.channels[c][i] = std::int16_t((i % 1024) * 7 + c * 100 - 3000);
        }
        record.channels[1][0] = -32768;
        record.channelInterval.fill(50.0f);
        record.delay = 12.0f;
        record.gain = 3;
        view.mode = DisplayMode::MultiTrace;
        view.currentPoint = 2;
        view.selectedTrace = 0;
        view.selectedChannel = 2;
        view.cursorX = kWaveformOriginX + 300;
        editor.repaintListener = [this](Repaint r) { repaints.push_back(r); };
    }

    Trace &target() { return view.selectedTrace == 0 ? survey.points[1].positive : survey.points[1].negative; }
    TraceSpan channel(int c) { return TraceSpan(record.channels[std::size_t(c - 1)].data(), kTraceLength); }

    SurveyData survey;
    ViewState view;
    FieldRecord record;
    UndoSnapshot undo;
    EditingSettings settings;
    WaveformEditor editor{{survey, view, record, undo, settings}};
    int modifiedCalls = 0;
    std::vector<Repaint> repaints;
};

} // namespace

TEST_F(WaveformEditorTest, ZeroBeforeCursorSnapshotsStoresAndMarks)
{
    const auto before = survey.points;
    ASSERT_TRUE(editor.ZeroBeforeCursor());
    for (int j = 0; j < 300; ++j)
        ASSERT_EQ(survey.points[1].positive[std::size_t(j)], 0) << j;
    for (int j = 300; j < 1024; ++j)
        ASSERT_EQ(survey.points[1].positive[std::size_t(j)], before[1].positive[std::size_t(j)]) << j;
    EXPECT_EQ(survey.points[1].negative, before[1].negative);
    EXPECT_EQ(survey.points[0].positive, before[0].positive);
    EXPECT_TRUE(undo.available());
    EXPECT_TRUE(survey.isModified());
    EXPECT_EQ(modifiedCalls, 1);
    EXPECT_EQ(repaints, std::vector<Repaint>{Repaint::Target});
}

TEST_F(WaveformEditorTest, UndoAfterZeroingBringsTheTraceBackOnce)
{
    view.mode = DisplayMode::SingleTrace;
    view.selectedTrace = 1;
    const auto before = survey.points;
    ASSERT_TRUE(editor.ZeroAfterCursor());
    EXPECT_EQ(survey.points[1].negative[299], before[1].negative[299]);
    EXPECT_EQ(survey.points[1].negative[300], 0);
    EXPECT_EQ(survey.points[1].negative[1023], 0);
    EXPECT_TRUE(editor.isEnabled(EditCommand::Undo));

    ASSERT_TRUE(editor.Undo());
    EXPECT_TRUE(sameTraces(survey.points, before));
    EXPECT_TRUE(survey.isModified()); // Undo leaves the modified flag alone
    EXPECT_EQ(modifiedCalls, 2); // but tells the listener what came back
    EXPECT_EQ(repaints.back(), Repaint::WholeView);
    // One level: nothing more to undo.
    EXPECT_FALSE(editor.isEnabled(EditCommand::Undo));
    EXPECT_FALSE(editor.Undo());
}

TEST_F(WaveformEditorTest, ZeroingClampsACursorOutsideTheTrace)
{
    const Trace original = target();
    view.cursorX = kWaveformOriginX - 40; // sample -40
    ASSERT_TRUE(editor.ZeroBeforeCursor());
    EXPECT_EQ(target(), original);
    ASSERT_TRUE(editor.ZeroAfterCursor());
    EXPECT_EQ(target(), Trace{});

    target() = original;
    view.cursorX = kWaveformOriginX + 5000;
    ASSERT_TRUE(editor.ZeroAfterCursor());
    EXPECT_EQ(target(), original);
    ASSERT_TRUE(editor.ZeroBeforeCursor());
    EXPECT_EQ(target(), Trace{});

    // The same in the raw record, whose channel buffers are longer than a
    // trace: nothing past sample 1023 is cleared.
    view.mode = DisplayMode::RawRecord;
    const auto channelBefore = record.channels[1];
    ASSERT_TRUE(editor.ZeroBeforeCursor());
    for (std::size_t j = 0; j < 1024; ++j)
        ASSERT_EQ(record.channels[1][j], 0) << j;
    for (std::size_t j = 1024; j < 4096; ++j)
        ASSERT_EQ(record.channels[1][j], channelBefore[j]) << j;
}

TEST_F(WaveformEditorTest, CursorOneAnd1023)
{
    view.cursorX = kWaveformOriginX + 1;
    const Trace original = target();
    ASSERT_TRUE(editor.ZeroBeforeCursor());
    EXPECT_EQ(target()[0], 0);
    EXPECT_EQ(target()[1], original[1]);
    view.cursorX = kWaveformOriginX + 1023;
    ASSERT_TRUE(editor.ZeroAfterCursor());
    EXPECT_EQ(target()[1023], 0);
    EXPECT_EQ(target()[1022], original[1022]);
    EXPECT_EQ(std::count(target().begin(), target().end(), 0),
              2 + std::count(original.begin() + 1, original.end() - 1, 0));
}

TEST_F(WaveformEditorTest, SnapshotOnlyForTheDestructiveOperations)
{
    struct Case {
        const char *name;
        std::function<bool()> run;
        bool snapshot;
    };
    const std::vector<Case> cases = {
        {"ZeroBeforeCursor", [&] { return editor.ZeroBeforeCursor(); }, true},
        {"ZeroAfterCursor", [&] { return editor.ZeroAfterCursor(); }, true},
        {"ShiftEarlier", [&] { return editor.ShiftEarlier(); }, false},
        {"ShiftLater", [&] { return editor.ShiftLater(); }, false},
        {"ShiftEarlierTen", [&] { return editor.ShiftEarlierTen(); }, false},
        {"ShiftLaterTen", [&] { return editor.ShiftLaterTen(); }, false},
        {"InvertTrace", [&] { return editor.InvertTrace(); }, false},
        {"InvertAllPoints", [&] { return editor.InvertAllPoints(); }, false},
        {"RemoveTraceDC", [&] { return editor.RemoveTraceDC(); }, true},
        {"SmoothTrace", [&] { return editor.SmoothTrace(); }, true},
        {"FilterTrace", [&] { return editor.FilterTrace(); }, true},
        {"ShowSpectrum", [&] { return editor.ShowSpectrum(); }, false},
    };
    for (const Case &c : cases) {
        UndoSnapshot fresh;
        undo = fresh;
        view.mode = DisplayMode::MultiTrace;
        const auto before = survey.points;
        ASSERT_TRUE(c.run()) << c.name;
        EXPECT_EQ(undo.available(), c.snapshot) << c.name;
        if (c.snapshot) {
            // The snapshot holds the state from before the operation.
            SurveyData copy = survey;
            ASSERT_TRUE(undo.Undo(copy));
            EXPECT_TRUE(sameTraces(copy.points, before)) << c.name;
        }
    }
}

TEST_F(WaveformEditorTest, RawRecordModeNeitherSnapshotsNorMarksModified)
{
    view.mode = DisplayMode::RawRecord;
    const auto pointsBefore = survey.points;
    const auto recordBefore = record.channels;
    const std::vector<std::pair<const char *, std::function<bool()>>> ops = {
        {"ZeroBeforeCursor", [&] { return editor.ZeroBeforeCursor(); }},
        {"ZeroAfterCursor", [&] { return editor.ZeroAfterCursor(); }},
        {"ShiftEarlier", [&] { return editor.ShiftEarlier(); }},
        {"ShiftLater", [&] { return editor.ShiftLater(); }},
        {"ShiftEarlierTen", [&] { return editor.ShiftEarlierTen(); }},
        {"ShiftLaterTen", [&] { return editor.ShiftLaterTen(); }},
        {"InvertTrace", [&] { return editor.InvertTrace(); }},
        {"RemoveTraceDC", [&] { return editor.RemoveTraceDC(); }},
        {"SmoothTrace", [&] { return editor.SmoothTrace(); }},
        {"FilterTrace", [&] { return editor.FilterTrace(); }},
    };
    for (const auto &[name, run] : ops) {
        record.channels = recordBefore;
        ASSERT_TRUE(run()) << name;
        EXPECT_NE(record.channels[1], recordBefore[1]) << name;
        // Only the selected channel, and only its first 1024 samples.
        EXPECT_EQ(record.channels[0], recordBefore[0]) << name;
        EXPECT_EQ(record.channels[2], recordBefore[2]) << name;
        EXPECT_TRUE(
            std::equal(record.channels[1].begin() + 1024, record.channels[1].end(), recordBefore[1].begin() + 1024))
            << name;
    }
    EXPECT_TRUE(sameTraces(survey.points, pointsBefore));
    EXPECT_FALSE(survey.isModified());
    EXPECT_EQ(modifiedCalls, 0);
    EXPECT_FALSE(undo.available());
    EXPECT_EQ(view.mode, DisplayMode::RawRecord);
}

TEST_F(WaveformEditorTest, RawRecordInvertOfMinus32768)
{
    view.mode = DisplayMode::RawRecord;
    ASSERT_TRUE(editor.InvertTrace());
    EXPECT_EQ(record.channels[1][0], -32768);
    EXPECT_EQ(record.channels[1][1], 3000 - 7 - 100);
    ASSERT_TRUE(editor.InvertTrace());
    EXPECT_EQ(record.channels[1][1], 7 + 100 - 3000);
}

TEST_F(WaveformEditorTest, TenTimesShiftIsTenStoredMarkedRepaintedShifts)
{
    Trace expected = target();
    for (int i = 0; i < 10; ++i)
        shiftLater(expected);
    std::vector<Trace> seen;
    survey.changeListener = [&](SurveyParts) {
        ++modifiedCalls;
        seen.push_back(survey.points[1].positive); // stored before each markModified
    };
    ASSERT_TRUE(editor.ShiftLaterTen());
    EXPECT_EQ(target(), expected);
    EXPECT_EQ(modifiedCalls, 10);
    EXPECT_EQ(repaints, std::vector<Repaint>(10, Repaint::Target));
    ASSERT_EQ(seen.size(), 10u);
    EXPECT_EQ(seen[0][1], seen[0][0]); // one sample after the first run
    EXPECT_EQ(seen[9], expected);
    EXPECT_FALSE(undo.available());

    // Earlier by ten from a ramp: 10, 11, ..., 1023, then 1023 repeated.
    for (std::size_t j = 0; j < 1024; ++j)
        target()[j] = std::int16_t(j);
    repaints.clear();
    ASSERT_TRUE(editor.ShiftEarlierTen());
    EXPECT_EQ(target()[0], 10);
    EXPECT_EQ(target()[1013], 1023);
    EXPECT_EQ(target()[1023], 1023);
    EXPECT_EQ(repaints.size(), 10u);

    // Raw record: ten repaints, nothing marked.
    view.mode = DisplayMode::RawRecord;
    modifiedCalls = 0;
    repaints.clear();
    const std::int16_t s0 = record.channels[1][0];
    ASSERT_TRUE(editor.ShiftLaterTen());
    EXPECT_EQ(repaints.size(), 10u);
    EXPECT_EQ(modifiedCalls, 0);
    EXPECT_EQ(record.channels[1][10], s0);
}

TEST_F(WaveformEditorTest, InvertAllPointsWorksOnTheSelectedTraceOfEveryPoint)
{
    view.selectedTrace = 1;
    const auto before = survey.points;
    ASSERT_TRUE(editor.InvertAllPoints());
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(survey.points[i].positive, before[i].positive);
        EXPECT_EQ(survey.points[i].negative[100], std::int16_t(-before[i].negative[100]));
        EXPECT_EQ(survey.points[i].negative[5], -32768);
    }
    EXPECT_EQ(modifiedCalls, 3);
    EXPECT_EQ(repaints, std::vector<Repaint>{Repaint::WholeView});
    EXPECT_FALSE(undo.available());

    // Also from the raw-record mode, where it still changes the points.
    view.mode = DisplayMode::RawRecord;
    const auto channels = record.channels;
    ASSERT_TRUE(editor.InvertAllPoints());
    EXPECT_TRUE(sameTraces(survey.points, before));
    EXPECT_EQ(record.channels, channels);
    EXPECT_EQ(modifiedCalls, 6);
}

TEST_F(WaveformEditorTest, SmoothUsesTheRememberedWindow)
{
    EXPECT_EQ(settings.smoothWindow, 5);
    Trace expected = target();
    dsp::SmoothWave(expected.data(), 1024, 5);
    ASSERT_TRUE(editor.SmoothTrace());
    EXPECT_EQ(target(), expected);

    // The dialog's OK remembers the window; window 1 leaves the trace as it is.
    const Trace before = target();
    ASSERT_TRUE(editor.SmoothTrace(1));
    EXPECT_EQ(settings.smoothWindow, 1);
    EXPECT_EQ(target(), before);
    EXPECT_TRUE(undo.available());

    ASSERT_TRUE(editor.SmoothTrace(9));
    expected = before;
    dsp::SmoothWave(expected.data(), 1024, 9);
    EXPECT_EQ(target(), expected);
    ASSERT_TRUE(editor.SmoothTrace());
    dsp::SmoothWave(expected.data(), 1024, 9);
    EXPECT_EQ(target(), expected);
}

TEST_F(WaveformEditorTest, FilterAtThePointsOrTheChannelsInterval)
{
    const FilterSettings lowPass{0, 300, FilterKind::LowPass};
    Trace expected = target();
    ApplyFilterSettings(lowPass, expected, 250.0f); // point 2's interval
    Trace wrongInterval = target();
    ApplyFilterSettings(lowPass, wrongInterval, 100.0f);
    ASSERT_NE(expected, wrongInterval);

    ASSERT_TRUE(editor.FilterTrace(lowPass));
    EXPECT_EQ(settings.filter, lowPass);
    EXPECT_EQ(target(), expected);
    // The same low-pass again filters the trace again.
    ApplyFilterSettings(lowPass, expected, 250.0f);
    ASSERT_TRUE(editor.FilterTrace());
    EXPECT_EQ(target(), expected);

    view.mode = DisplayMode::RawRecord;
    record.channelInterval[1] = 125.0f;
    const FilterSettings bandStop{45, 55, FilterKind::BandStop};
    std::array<std::int16_t, 4096> channel = record.channels[1];
    ApplyFilterSettings(bandStop, std::span<std::int16_t>(channel.data(), 1024), 125.0f);
    ASSERT_TRUE(editor.FilterTrace(bandStop));
    EXPECT_EQ(record.channels[1], channel);
    EXPECT_EQ(modifiedCalls, 2);
}

TEST_F(WaveformEditorTest, EachFilterKindUsesItsEdges)
{
    // Before the filter dialog was ever confirmed: a low-pass at 800 Hz.
    Trace expected = target();
    dsp::LowPassFilter(expected.data(), 250.0f, 1024, 800.0f);
    ASSERT_TRUE(editor.FilterTrace());
    EXPECT_EQ(target(), expected);

    expected = target();
    dsp::HighPassFilter(expected.data(), 250.0f, 1024, 20.0f);
    ASSERT_TRUE(editor.FilterTrace({20, 100, FilterKind::HighPass}));
    EXPECT_EQ(target(), expected);

    expected = target();
    dsp::BandPassFilter(expected.data(), 250.0f, 1024, 20.0f, 100.0f);
    ASSERT_TRUE(editor.FilterTrace({20, 100, FilterKind::BandPass}));
    EXPECT_EQ(target(), expected);

    expected = target();
    dsp::BandStopFilter(expected.data(), 250.0f, 1024, 20.0f, 100.0f);
    ASSERT_TRUE(editor.FilterTrace({20, 100, FilterKind::BandStop}));
    EXPECT_EQ(target(), expected);
}

TEST_F(WaveformEditorTest, SpectrumOfAPointTrace)
{
    // 39.0625 Hz is bin 10 at 250 us: the bin width is 1000000 / 1024 / 250.
    for (std::size_t i = 0; i < 1024; ++i)
        target()[i] = std::int16_t(8000.0 * std::sin(2.0 * std::numbers::pi * 39.0625 * double(i) * 250e-6));
    const auto before = survey.points;
    Trace expected = target();
    dsp::SpectrumPeak peak;
    dsp::AmplitudeSpectrum(peak, expected.data(), 250.0f, 1024, 1);

    view.mode = DisplayMode::SingleTrace;
    ASSERT_TRUE(editor.ShowSpectrum());
    EXPECT_EQ(view.mode, DisplayMode::Spectrum);
    EXPECT_FLOAT_EQ(editor.spectrum().frequencyStep, 3.90625f);
    EXPECT_FLOAT_EQ(editor.spectrum().peakFrequency, 39.0625f);
    for (std::size_t i = 0; i < 1024; ++i)
        ASSERT_EQ(editor.spectrum().buffer[i], -expected[i]) << i;
    // Large amplitudes draw upwards: the peak is the most negative value.
    EXPECT_LE(editor.spectrum().buffer[10], -16383);
    EXPECT_TRUE(sameTraces(survey.points, before));
    EXPECT_FALSE(survey.isModified());
    EXPECT_FALSE(undo.available());
    EXPECT_EQ(repaints, std::vector<Repaint>{Repaint::WholeView});
    // In the spectrum mode the trace commands are disabled.
    EXPECT_FALSE(editor.ShowSpectrum());
    EXPECT_FALSE(editor.InvertTrace());
}

TEST_F(WaveformEditorTest, SpectrumOfARawChannelUsesItsInterval)
{
    view.mode = DisplayMode::RawRecord;
    record.channelInterval[1] = 1000.0f;
    ASSERT_TRUE(editor.ShowSpectrum());
    EXPECT_FLOAT_EQ(editor.spectrum().frequencyStep, 1000000.0f / 1024.0f / 1000.0f);
    EXPECT_EQ(view.mode, DisplayMode::Spectrum);
    EXPECT_FALSE(survey.isModified());
}

TEST_F(WaveformEditorTest, SetPositiveAndNegativeTraceOnlyFromTheRawRecord)
{
    const auto before = survey.points;
    EXPECT_FALSE(editor.SetPositiveTrace());
    EXPECT_FALSE(editor.SetNegativeTrace());
    EXPECT_TRUE(sameTraces(survey.points, before));

    view.mode = DisplayMode::RawRecord;
    ASSERT_TRUE(editor.SetNegativeTrace());
    EXPECT_TRUE(
        std::equal(survey.points[1].negative.begin(), survey.points[1].negative.end(), record.channels[1].begin()));
    EXPECT_EQ(survey.points[1].positive, before[1].positive);
    EXPECT_EQ(survey.points[1].interval, 50.0f);
    EXPECT_EQ(survey.points[1].delay, 12.0f);
    EXPECT_EQ(survey.points[1].gain, 3);
    EXPECT_TRUE(survey.isModified());
    EXPECT_FALSE(undo.available());

    view.currentPoint = 4; // past the end of the list
    EXPECT_FALSE(editor.SetPositiveTrace());
}

TEST_F(WaveformEditorTest, NothingRunsWhereTheCommandsAreDisabled)
{
    common::RecordingMessenger messenger;
    const auto check = [&](const char *what) {
        const auto before = survey.points;
        const auto channels = record.channels;
        EXPECT_FALSE(editor.ZeroBeforeCursor()) << what;
        EXPECT_FALSE(editor.ZeroAfterCursor()) << what;
        EXPECT_FALSE(editor.ShiftEarlier()) << what;
        EXPECT_FALSE(editor.ShiftLaterTen()) << what;
        EXPECT_FALSE(editor.InvertTrace()) << what;
        EXPECT_FALSE(editor.RemoveTraceDC()) << what;
        EXPECT_FALSE(editor.SmoothTrace(3)) << what;
        EXPECT_FALSE(editor.FilterTrace(FilterSettings{1, 2, FilterKind::BandPass})) << what;
        EXPECT_FALSE(editor.ShowSpectrum()) << what;
        EXPECT_FALSE(editor.SetPositiveTrace()) << what;
        EXPECT_FALSE(editor.CompressDisplay(messenger)) << what;
        EXPECT_FALSE(editor.RestoreDisplay()) << what;
        EXPECT_TRUE(sameTraces(survey.points, before)) << what;
        EXPECT_EQ(record.channels, channels) << what;
    };
    for (const DisplayMode mode : {DisplayMode::VelocityHistogram, DisplayMode::Spectrum, DisplayMode::TimeDistance}) {
        view.mode = mode;
        check("other modes");
        EXPECT_FALSE(editor.InvertAllPoints());
    }
    view.mode = DisplayMode::MultiTrace;
    view.currentPoint = 0;
    check("no current point");
    view.currentPoint = 4;
    check("current point past the list");
    view.currentPoint = 2;
    view.selectedTrace = 2;
    check("no trace selected");
    EXPECT_FALSE(editor.InvertAllPoints());
    view.selectedTrace = 0;
    view.mode = DisplayMode::RawRecord;
    view.selectedChannel = 5;
    EXPECT_FALSE(editor.InvertTrace());
    EXPECT_FALSE(editor.SetPositiveTrace());

    // An empty survey disables even the raw-record trace commands.
    survey.points.clear();
    view.selectedChannel = 1;
    const auto channels = record.channels;
    EXPECT_FALSE(editor.InvertTrace());
    EXPECT_EQ(record.channels, channels);
    EXPECT_EQ(modifiedCalls, 0);
    EXPECT_FALSE(undo.available());
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_TRUE(repaints.empty());
}

TEST_F(WaveformEditorTest, UndoIsRefusedInTheRawRecordMode)
{
    ASSERT_TRUE(editor.RemoveTraceDC());
    view.mode = DisplayMode::RawRecord;
    EXPECT_FALSE(editor.Undo());
    EXPECT_TRUE(undo.available());
    view.mode = DisplayMode::VelocityHistogram;
    EXPECT_TRUE(editor.Undo());
}

TEST_F(WaveformEditorTest, CompressedDisplayThroughTheEditor)
{
    common::RecordingMessenger messenger;
    view.mode = DisplayMode::RawRecord;
    EXPECT_FALSE(editor.CompressDisplay(messenger)); // L = 0 before the first restore
    EXPECT_EQ(messenger.last(), RawRecordDisplay::fullyCompressedMessage());
    ASSERT_TRUE(editor.RestoreDisplay());
    EXPECT_EQ(editor.rawDisplay().length(), 4096);
    ASSERT_TRUE(editor.CompressDisplay(messenger));
    EXPECT_EQ(editor.rawDisplay().length(), 2048);
    EXPECT_TRUE(editor.rawDisplay().compressed());
    EXPECT_EQ(record.channels[1][1], 7 + 100 - 3000); // the record itself is not resampled
    EXPECT_EQ(editor.rawDisplay().buffer(1)[1], 14 + 100 - 3000);
    EXPECT_FALSE(survey.isModified());
}
