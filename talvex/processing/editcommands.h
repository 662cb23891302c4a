// The trace-editing commands of the main view (with the digital
// filter) and the one place that decides when each of them is
// enabled. The window's updateActions() asks isEnabled(); WaveformEditor
// refuses a command that is not enabled, so a disabled command can never run
// from a shortcut or from talvex-cli. (设为外触发点, enabled in the raw-record
// mode only, is a point command: setTriggerPointEnabled() in
// talvex/analysis/pointcommands.h.)
#pragma once

#include <array>

namespace talvex {

class SurveyData;
struct ViewState;

enum class EditCommand {
    ZeroBeforeCursor, // 波形前清...     q
    ZeroAfterCursor, // 波形后清...     h
    ShiftEarlier, // 波形前移...     -
    ShiftLater, // 波形后移...     =
    ShiftEarlierTen, // 波形前移10点    a
    ShiftLaterTen, // 波形后移10点    z
    InvertTrace, // 波形反相...     r
    InvertAllPoints, // 所有波形反相
    RemoveTraceDC, // 剔除直流...     d
    SmoothTrace, // 波形平滑...     o
    DigitalFilter, // 数字滤波...     b
    ShowSpectrum, // 频谱分析...     f
    SetPositiveTrace, // 设为正向数据
    SetNegativeTrace, // 设为反向数据
    CompressDisplay, // 波形压缩...
    ExpandDisplay, // 波形扩展...
    RestoreDisplay, // 波形复原...
    Undo, // 撤消(&U)  Ctrl+Z
};

inline constexpr std::array kAllEditCommands = {
    EditCommand::ZeroBeforeCursor, EditCommand::ZeroAfterCursor,  EditCommand::ShiftEarlier,
    EditCommand::ShiftLater,       EditCommand::ShiftEarlierTen,  EditCommand::ShiftLaterTen,
    EditCommand::InvertTrace,      EditCommand::InvertAllPoints,  EditCommand::RemoveTraceDC,
    EditCommand::SmoothTrace,      EditCommand::DigitalFilter,    EditCommand::ShowSpectrum,
    EditCommand::SetPositiveTrace, EditCommand::SetNegativeTrace, EditCommand::CompressDisplay,
    EditCommand::ExpandDisplay,    EditCommand::RestoreDisplay,   EditCommand::Undo,
};

// Whether `command` can run now.
//
// - Trace commands (zero, shift, ten-times shift, invert, DC, smooth,
//   filter, spectrum): the survey has at least one point and the view is in
//   the multi-trace, single-trace or raw-record mode, and the target exists:
//   in a point mode the current point lies in 1...count and the selected
//   trace is 0 or 1; in the raw-record mode the selected channel is 1...4.
// - InvertAllPoints: at least one point, a waveform mode, selected trace 0
//   or 1 (it works on the points in every waveform mode, also the raw one).
// - SetPositiveTrace, SetNegativeTrace: only in the raw-record mode, with a
//   current point in 1...count and a selected channel 1...4.
// - CompressDisplay, ExpandDisplay, RestoreDisplay: only in the raw-record
//   mode, the only one that shows the display they change.
// - Undo: the survey has points, the view is not in the raw-record mode and
//   a snapshot is available (`undoAvailable`, UndoSnapshot::available()).
//
// The current point and the channel are checked because an operation whose
// target does not exist must stay disabled; after the last point is deleted
// the current point number can lie past the list.
bool isEnabled(EditCommand command, const SurveyData &survey, const ViewState &view, bool undoAvailable);

} // namespace talvex
