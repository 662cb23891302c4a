#pragma once
// The display-mode commands of the main view and the scroll positions the
// waveform and chart modes keep across a switch. Widget-free: the view runs
// a command, announces the new state and scrolls where ScrollMemory says.

#include "talvex/settings/viewstate.h"

#include <QPoint>
#include <optional>

namespace talvex {

class SurveyData;

// "显示原始曲线图" (F2): the multi-trace view.
void ShowMultiTrace(ViewState &view);
// "单道、多道显示切换": multi-trace <-> single-trace when
// ViewState::canToggleSingleTrace allows it; false (nothing changed) otherwise.
bool ToggleSingleTrace(const SurveyData &survey, ViewState &view);
// "显示原始波形", also after a field record was read: the raw-record view.
void ShowRawRecord(ViewState &view);
// "显示波形直方图" (F3): depth cursor at y = 102 (just below depth 0), the
// layer velocities recomputed from the points (announced as a change of the
// layers, without marking the survey modified), the velocity histogram.
// Enabled when the survey has points; false (nothing changed) otherwise.
bool ShowVelocityHistogram(SurveyData &survey, ViewState &view);
// "显示时距曲线图": the time-distance chart.
void ShowTimeDistance(ViewState &view);

// The multi-trace view and the charts (histogram and time-distance) each
// keep where they were scrolled to when the view left them, and go back
// there when the view returns; the other modes keep the current position
// (the scroll bars hold it within their new range).
class ScrollMemory {
public:
    // The view switches from `from` to `to` while scrolled to `current`:
    // remembers `current` for the mode family left, and returns the
    // position the view scrolls to, if any.
    std::optional<QPoint> switchMode(DisplayMode from, DisplayMode to, QPoint current);
    // Forgets both positions (a survey was opened or created).
    void reset();

private:
    QPoint m_waveform;
    QPoint m_chart;
};

} // namespace talvex
