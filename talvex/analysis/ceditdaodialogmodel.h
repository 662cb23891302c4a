#pragma once
// Logic of the point dialog CEditDaoDialog ("测点参数修改") and of the view's
// EditPointParameters command that opens it for the current point.

#include <QString>
#include <cstdint>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;
class UndoSnapshot;
struct ViewState;

// The values the dialog shows and returns. Arrivals are times in ms from
// sample 0 (without the delay): sample × interval / 1000.
struct PointDialogValues {
    float depth = 0.0f; // m
    float interval = 0.0f; // µs
    float delay = 0.0f; // ms
    float crossDistance = 0.0f; // m
    float sArrivalMs = 0.0f;
    float pArrivalMs = 0.0f;
    float rArrivalMs = 0.0f;
    int gain = 0; // read-only in the dialog; 0 when the point's gain is not positive
};

class CEditDaoDialogModel {
public:
    CEditDaoDialogModel(SurveyData &survey, const ViewState &view, UndoSnapshot &undo, common::Messenger &messenger);

    // False when the view's current point is not in the list (the command
    // is then disabled).
    bool hasPoint() const { return m_index >= 0; }
    // The dialog's start values, from the current point.
    const PointDialogValues &values() const { return m_values; }

    // OK: after an undo snapshot, stores interval, the arrivals converted
    // back to samples (time / interval × 1000, truncated toward zero), depth,
    // delay and crossDistance (gain is never written), recomputes all
    // velocities, raises holeDepth to the new depth when it is deeper and
    // marks the survey modified.
    //
    // A negative or non-finite sample interval, an interval of 0 with an
    // arrival other than 0 (which it could not convert), or an arrival whose
    // sample index does not fit the 16-bit field, is refused with a message
    // and nothing changes (the dialog stays open). A time that is a whole
    // number of samples up to float rounding (as every time the dialog itself
    // shows) is taken as that sample, so OK without an edit keeps the picks.
    bool apply(const PointDialogValues &values);

    // Time in ms that the dialog shows for `sample` at `interval` µs.
    static float arrivalMs(std::int16_t sample, float interval);
    // Sample of a time entered in ms at `interval` µs (interval > 0), before
    // the range check: truncated toward zero, float noise below a whole
    // sample snapped to it.
    static double arrivalSample(float ms, float interval);

    static const char *const kIntervalMessage;
    static const char *const kArrivalRangeMessage;

private:
    SurveyData &m_survey;
    UndoSnapshot &m_undo;
    common::Messenger &m_messenger;
    int m_index = -1;
    PointDialogValues m_values;
};

} // namespace talvex
