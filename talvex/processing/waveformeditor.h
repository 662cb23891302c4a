// The waveform editing commands of the main view (trace edits and the
// digital filter): one layer that the window and talvex-cli both call.
//
// Every single-target command works on samples 0...1023 of the target the
// view's display mode selects:
//  - multi-trace or single-trace mode: the current point's selected trace
//    (0 positive, 1 negative). The point is copied out of the survey,
//    changed and stored back whole; the destructive commands take the undo
//    snapshot first; every command ends with markModified.
//  - raw-record mode: the selected channel (ViewState::selectedChannel,
//    1...4) of the FieldRecord. The survey is not touched: no snapshot, no
//    markModified.
// A command that is not enabled (editcommands.h) does nothing and returns
// false; otherwise it returns true and reports the repaint the view owes.
// The filter and spectrum commands throw std::bad_alloc when
// their work buffers cannot be had; the survey, the undo snapshot and the
// record are then unchanged and the caller reports it.
//
// The editor does not own the survey, the view state, the raw record, the
// undo snapshot or the settings (EditorState): the document owns them and
// outlives the editor. The editor owns the spectrum buffer and the
// compressed display of the raw record, which the view draws.
#pragma once

#include "talvex/processing/editcommands.h"
#include "talvex/processing/editingsettings.h"
#include "talvex/processing/rawrecorddisplay.h"
#include "talvex/processing/frequencydisplay.h"
#include "talvex/processing/traceops.h"

#include <functional>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;
class UndoSnapshot;
struct FieldRecord;
struct ViewState;

// What one editor works on, all owned by its caller (the document, a
// command of talvex-cli, a test).
struct EditorState {
    SurveyData &survey;
    ViewState &view;
    FieldRecord &record;
    UndoSnapshot &undo;
    EditingSettings &settings;
};

class WaveformEditor {
public:
    enum class Repaint {
        Target, // the target's region: the point's row, the single-trace area or the channel's row
        WholeView, // everything the view shows
    };

    explicit WaveformEditor(const EditorState &state);

    // isEnabled(command, survey, view, undo available) for this editor's state.
    bool isEnabled(EditCommand command) const;

    // x[0 ... k-1] := 0 with k the cursor sample clamped to 0...1024. Snapshot.
    bool ZeroBeforeCursor();
    // x[k ... 1023] := 0 with k as above. Snapshot.
    bool ZeroAfterCursor();
    // One sample earlier / later (traceops.h). No snapshot.
    bool ShiftEarlier();
    bool ShiftLater();
    // Ten runs of ShiftEarlier / ShiftLater, each with its own store,
    // markModified and repaint.
    bool ShiftEarlierTen();
    bool ShiftLaterTen();
    // x := -x in 16 bits. No snapshot.
    bool InvertTrace();
    // Inverts the selected trace (the same one, positive or negative) of
    // every point in list order, each stored back and marked modified, then
    // one whole-view repaint. No snapshot. Works on the points in every
    // waveform mode, the raw-record mode included.
    bool InvertAllPoints();
    // RemoveDC over the 1024 samples. Snapshot.
    bool RemoveTraceDC();
    // SmoothWave over the 1024 samples with the remembered window. Snapshot.
    bool SmoothTrace();
    // The CPointNumDialog's OK: remembers `window`, then SmoothTrace().
    bool SmoothTrace(int window);
    // ApplyFilterSettings with the remembered settings at the point's
    // interval or the channel's interval. Snapshot.
    bool FilterTrace();
    // The CLuBoDialog's OK: remembers `settings`, then FilterTrace().
    bool FilterTrace(const FilterSettings &settings);
    // Sample interval (us) of the trace the editing commands work on: the
    // current point's, or in raw-record mode the selected channel's; 0 when
    // there is none.
    float targetInterval() const;
    // Copies the target into the spectrum buffer, AmplitudeSpectrum (1024
    // samples, step 1) at the target's interval, keeps the peak frequency and
    // the frequency step, switches the view to the spectrum mode and negates
    // the buffer. The point data are not changed; no snapshot, no
    // markModified.
    bool ShowSpectrum();
    // Raw-record mode: the selected channel becomes the current point's
    // positive / negative trace (marks the survey modified). No
    // snapshot.
    bool SetPositiveTrace();
    bool SetNegativeTrace();
    // The compressed display of the raw record (rawrecorddisplay.h); the two
    // limit messages go to `messenger`.
    bool CompressDisplay(common::Messenger &messenger);
    bool ExpandDisplay(common::Messenger &messenger);
    bool RestoreDisplay();
    // Puts the undo snapshot back (UndoSnapshot::Undo, which tells the
    // survey's listener); the modified flag is not changed.
    bool Undo();

    const FrequencyDisplay &spectrum() const { return m_spectrum; }
    const RawRecordDisplay &rawDisplay() const { return m_rawDisplay; }

    // Called for every repaint an operation owes the view (so ten times by a
    // ten-times shift). May be empty.
    std::function<void(Repaint)> repaintListener;

private:
    enum class Snapshot { No, Yes };
    // Runs `change(samples, interval)` on the target of `command`, with the
    // bookkeeping of the display mode. `interval` is in µs.
    template <typename Change>
    bool editTarget(EditCommand command, Snapshot snapshot, Change &&change);
    void repaint(Repaint region);

    SurveyData &m_survey;
    ViewState &m_view;
    FieldRecord &m_record;
    UndoSnapshot &m_undo;
    EditingSettings &m_settings;
    FrequencyDisplay m_spectrum;
    RawRecordDisplay m_rawDisplay;
};

} // namespace talvex
