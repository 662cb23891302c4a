#pragma once
// Commands of the main view that pick arrivals and change the point list.
// They take the view's state (current point, cursors) by reference, so the
// window and the command-line tool run the same code.
//
// A command that needs a current point refuses (returns false, changes
// nothing) when the view's current point is not a point of the list; the
// window keeps such commands disabled. Every command that changes the survey
// ends with markModified.

namespace talvex {

class SurveyData;
class UndoSnapshot;
struct FieldRecord;
struct ViewState;

// Lowest and highest sample the time cursor can stand on.
inline constexpr int kFirstCursorSample = 1;
inline constexpr int kLastCursorSample = 1023;

// Enabling of the point commands: set S-wave arrival, recalculate, sort,
// delete point and edit point parameters need a point and a waveform mode;
// insert point only a waveform mode; set trigger point the raw-record mode.
bool pointCommandsEnabled(const SurveyData &survey, const ViewState &view);
bool insertPointEnabled(const ViewState &view);
bool setTriggerPointEnabled(const ViewState &view);

// The current point's index in the list (0-based), or -1 when the view's
// current point is not in the list.
int currentPointIndex(const SurveyData &survey, const ViewState &view);

// "设为S波初至": the current point's sArrival := the cursor sample
// (1...1023), then its velocities and those of the next list element
// (which depend on this point's corrected time) are recomputed. Points
// further down keep their velocities until the next recalculation.
bool SetSArrival(SurveyData &survey, const ViewState &view);
// "设为P波初至" / "设为R波初至": the current point's pArrival / rArrival :=
// the cursor sample (1...1023). They are kept for the point dialog and the
// document; no velocity depends on them, so nothing is recomputed.
bool SetPArrival(SurveyData &survey, const ViewState &view);
bool SetRArrival(SurveyData &survey, const ViewState &view);

// "设为外触发点": shifts the first 1024 samples of all four channels of the
// raw record towards time zero by the cursor sample k (>= 1):
// channel[j] := channel[min(j + k, 1023)] for ascending j, so the cursor
// sample becomes sample 0 and the tail repeats the old sample 1023. The
// survey is not touched.
bool SetTriggerPoint(FieldRecord &record, const ViewState &view);

// "测点快速排序": exchange sort of the whole records by ascending depth,
// holeDepth raised to the last point's depth when that is deeper, then
// all velocities recomputed. Refused on an empty list.
bool SortPointsByDepth(SurveyData &survey);

// "插入一个测点": after an undo snapshot, inserts a new empty point
// (TlvOne::newPoint) before the current point, which thereby becomes the
// current point; appends when the current point is one past the end (as in
// an empty survey, current point 1). Refused when the list is full.
bool InsertPoint(SurveyData &survey, ViewState &view, UndoSnapshot &undo);

// "删除当前测点": after an undo snapshot, removes the current point and
// recomputes all velocities. The current point number is then kept within
// 1...count (1 when the list became empty), so the next command does not
// index past the end.
bool DeletePoint(SurveyData &survey, ViewState &view, UndoSnapshot &undo);

} // namespace talvex
