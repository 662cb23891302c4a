#include "talvex/processing/waveformeditor.h"

#include "dsp/filters.h"
#include "dsp/frequencydomain.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/survey/recordtraces.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <algorithm>

namespace talvex {

WaveformEditor::WaveformEditor(const EditorState &state)
    : m_survey(state.survey), m_view(state.view), m_record(state.record), m_undo(state.undo), m_settings(state.settings)
{
}

bool WaveformEditor::isEnabled(EditCommand command) const
{
    return talvex::isEnabled(command, m_survey, m_view, m_undo.available());
}

void WaveformEditor::repaint(Repaint region)
{
    if (repaintListener)
        repaintListener(region);
}

template <typename Change>
bool WaveformEditor::editTarget(EditCommand command, Snapshot snapshot, Change &&change)
{
    if (!isEnabled(command))
        return false;
    if (m_view.inPointMode()) {
        // The change works on a copy; the snapshot (of the survey as it still
        // is) and the store follow only when it succeeded, so a filter that
        // runs out of memory (std::bad_alloc) leaves survey and undo alone.
        const std::size_t index = std::size_t(m_view.currentPoint - 1);
        TlvOne point = m_survey.points[index];
        Trace &trace = m_view.selectedTrace == 0 ? point.positive : point.negative;
        change(TraceSpan(trace), point.interval);
        if (snapshot == Snapshot::Yes)
            m_undo.TakeUndoSnapshot(m_survey);
        m_survey.points[index] = point;
        m_survey.markModified(SurveyParts::Points);
    } else {
        // Raw-record mode (isEnabled allows no other): the first 1024 samples
        // of the selected channel; the survey stays as it is.
        const std::size_t c = std::size_t(m_view.selectedChannel - 1);
        change(TraceSpan(m_record.channels[c].data(), kTraceLength), m_record.channelInterval[c]);
    }
    repaint(Repaint::Target);
    return true;
}

bool WaveformEditor::ZeroBeforeCursor()
{
    const int k = m_view.cursorSample();
    return editTarget(EditCommand::ZeroBeforeCursor, Snapshot::Yes, [k](TraceSpan x, float) { zeroBefore(x, k); });
}

bool WaveformEditor::ZeroAfterCursor()
{
    const int k = m_view.cursorSample();
    return editTarget(EditCommand::ZeroAfterCursor, Snapshot::Yes, [k](TraceSpan x, float) { zeroAfter(x, k); });
}

bool WaveformEditor::ShiftEarlier()
{
    return editTarget(EditCommand::ShiftEarlier, Snapshot::No, [](TraceSpan x, float) { shiftEarlier(x); });
}

bool WaveformEditor::ShiftLater()
{
    return editTarget(EditCommand::ShiftLater, Snapshot::No, [](TraceSpan x, float) { shiftLater(x); });
}

bool WaveformEditor::ShiftEarlierTen()
{
    if (!isEnabled(EditCommand::ShiftEarlierTen))
        return false;
    for (int i = 0; i < 10; ++i)
        ShiftEarlier();
    return true;
}

bool WaveformEditor::ShiftLaterTen()
{
    if (!isEnabled(EditCommand::ShiftLaterTen))
        return false;
    for (int i = 0; i < 10; ++i)
        ShiftLater();
    return true;
}

bool WaveformEditor::InvertTrace()
{
    return editTarget(EditCommand::InvertTrace, Snapshot::No, [](TraceSpan x, float) { invert(x); });
}

bool WaveformEditor::InvertAllPoints()
{
    if (!isEnabled(EditCommand::InvertAllPoints))
        return false;
    const bool positive = m_view.selectedTrace == 0;
    for (std::size_t i = 0; i < m_survey.points.size(); ++i) {
        TlvOne point = m_survey.points[i];
        invert(TraceSpan(positive ? point.positive : point.negative));
        m_survey.points[i] = point;
        m_survey.markModified(SurveyParts::Points);
    }
    repaint(Repaint::WholeView);
    return true;
}

bool WaveformEditor::RemoveTraceDC()
{
    return editTarget(EditCommand::RemoveTraceDC, Snapshot::Yes,
                      [](TraceSpan x, float) { dsp::RemoveDC(x.data(), 0, kTraceLength); });
}

bool WaveformEditor::SmoothTrace()
{
    const int window = m_settings.smoothWindow;
    return editTarget(EditCommand::SmoothTrace, Snapshot::Yes,
                      [window](TraceSpan x, float) { dsp::SmoothWave(x.data(), kTraceLength, window); });
}

bool WaveformEditor::SmoothTrace(int window)
{
    if (!isEnabled(EditCommand::SmoothTrace))
        return false;
    m_settings.smoothWindow = window;
    return SmoothTrace();
}

bool WaveformEditor::FilterTrace()
{
    const FilterSettings settings = m_settings.filter;
    return editTarget(EditCommand::DigitalFilter, Snapshot::Yes,
                      [&settings](TraceSpan x, float interval) { ApplyFilterSettings(settings, x, interval); });
}

bool WaveformEditor::FilterTrace(const FilterSettings &settings)
{
    if (!isEnabled(EditCommand::DigitalFilter))
        return false;
    m_settings.filter = settings;
    return FilterTrace();
}

float WaveformEditor::targetInterval() const
{
    if (m_view.inPointMode()) {
        const int k = m_view.currentPoint;
        return k >= 1 && std::size_t(k) <= m_survey.points.size() ? m_survey.points[std::size_t(k - 1)].interval : 0.0f;
    }
    const int c = m_view.selectedChannel;
    return c >= 1 && std::size_t(c) <= m_record.channelInterval.size() ? m_record.channelInterval[std::size_t(c - 1)]
                                                                       : 0.0f;
}

bool WaveformEditor::ShowSpectrum()
{
    if (!isEnabled(EditCommand::ShowSpectrum))
        return false;
    float interval = 0.0f;
    if (m_view.inPointMode()) {
        const TlvOne &point = m_survey.points[std::size_t(m_view.currentPoint - 1)];
        m_spectrum.buffer = m_view.selectedTrace == 0 ? point.positive : point.negative;
        interval = point.interval;
    } else {
        const std::size_t c = std::size_t(m_view.selectedChannel - 1);
        std::copy_n(m_record.channels[c].begin(), kTraceLength, m_spectrum.buffer.begin());
        interval = m_record.channelInterval[c];
    }
    dsp::SpectrumPeak peak;
    dsp::AmplitudeSpectrum(peak, m_spectrum.buffer.data(), interval, kTraceLength, 1);
    m_spectrum.peakFrequency = peak.peakFrequency;
    m_spectrum.frequencyStep = peak.frequencyStep;
    m_view.mode = DisplayMode::Spectrum;
    // The display values lie in -16383...16384, so their negation fits.
    for (std::int16_t &v : m_spectrum.buffer)
        v = std::int16_t(-int(v));
    repaint(Repaint::WholeView);
    return true;
}

bool WaveformEditor::SetPositiveTrace()
{
    if (!isEnabled(EditCommand::SetPositiveTrace))
        return false;
    talvex::SetPositiveTrace(m_survey, m_record, m_view.currentPoint, m_view.selectedChannel);
    repaint(Repaint::WholeView);
    return true;
}

bool WaveformEditor::SetNegativeTrace()
{
    if (!isEnabled(EditCommand::SetNegativeTrace))
        return false;
    talvex::SetNegativeTrace(m_survey, m_record, m_view.currentPoint, m_view.selectedChannel);
    repaint(Repaint::WholeView);
    return true;
}

bool WaveformEditor::CompressDisplay(common::Messenger &messenger)
{
    if (!isEnabled(EditCommand::CompressDisplay) || !m_rawDisplay.CompressDisplay(m_record, messenger))
        return false;
    repaint(Repaint::WholeView);
    return true;
}

bool WaveformEditor::ExpandDisplay(common::Messenger &messenger)
{
    if (!isEnabled(EditCommand::ExpandDisplay) || !m_rawDisplay.ExpandDisplay(m_record, messenger))
        return false;
    repaint(Repaint::WholeView);
    return true;
}

bool WaveformEditor::RestoreDisplay()
{
    if (!isEnabled(EditCommand::RestoreDisplay))
        return false;
    m_rawDisplay.RestoreDisplay(m_record);
    repaint(Repaint::WholeView);
    return true;
}

bool WaveformEditor::Undo()
{
    if (!isEnabled(EditCommand::Undo) || !m_undo.Undo(m_survey))
        return false;
    repaint(Repaint::WholeView);
    return true;
}

} // namespace talvex
