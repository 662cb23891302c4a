#pragma once
// What the main frame shows about the view: the readout bar (label, value
// and unit of the cursor in the current display mode) and the six status
// panes of the current point.

#include <QString>
#include <QStringList>

namespace talvex {

class SurveyData;
struct ViewState;
struct FieldRecord;
struct FrequencyDisplay;

struct CursorReadout {
    QString label; // "当前时间:", "当前深度:", "当前频率:", "波初至时:"
    QString value;
    QString unit; // "ms", "m", "Hz"

    bool operator==(const CursorReadout &) const = default;
};

// The readout of the cursor the display mode carries:
// - multi-trace, single-trace: "%.2f" of cursor sample x interval / 1000 +
//   delay of the current point (ms), 0 without a current point;
// - raw record: the same with the selected channel's interval and the
//   record's delay;
// - spectrum: cursor sample x frequency step (Hz);
// - velocity histogram: "%.1f" of the depth cursor's depth (m);
// - time-distance chart (no cursor): "%.2f" of the current point's arrival
//   time (ms) as the status pane shows it, 0 without a current point.
CursorReadout cursorReadout(const SurveyData &survey, const ViewState &view, const FieldRecord &record,
                            const FrequencyDisplay &spectrum);

// Panes 1 ... 6 of the status bar for the current point: depth, arrival
// time, point velocity, equivalent velocity, delay, interval; each with the
// value 0 when the current point is not in the list.
QStringList statusPaneTexts(const SurveyData &survey, const ViewState &view);

} // namespace talvex
