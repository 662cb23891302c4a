#pragma once
// The open survey of the window: the survey itself, the view state the
// commands act on, the one-level undo snapshot, the import buffer of the
// last field record, the editing settings of the trace commands and the
// waveform editor over all of them, and the path of the document file.
//
// Every change of the survey, whoever makes it (a command, a dialog model,
// the waveform editor, a load or an undo), ends in SurveyData::markModified
// or SurveyData::notifyChanged naming the parts it touched; the document
// listens to that one route and emits the matching signals below, each
// once per change. The modified flag, the availability of undo and the view
// state are compared with what was last announced, so their signals fire
// only when the value really changed. Changes of the view state and of the
// import buffer that do not pass through the survey are announced with
// setView / notifyViewChanged and notifyRecordChanged.
//
// Editing commands that run out of memory throw std::bad_alloc with the
// survey unchanged (waveformeditor.h); the window catches and reports it.
//
// Qt Core only, so that the document is tested without a screen.

#include "talvex/document/arrivalsuggestions.h"
#include "talvex/processing/editingsettings.h"
#include "talvex/processing/waveformeditor.h"
#include "records/fieldrecord.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/survey/surveydata.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/settings/viewstate.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <memory>

namespace common {
class Messenger;
}

namespace talvex {

// Shown in the title for a survey that has no file yet (after start and New).
extern const char *const kUntitledDocumentName; // "无标题"

class SurveyDocument : public QObject {
    Q_OBJECT

public:
    explicit SurveyDocument(QObject *parent = nullptr);
    ~SurveyDocument() override;

    // The parts of the open survey. The non-const accessors are for the
    // command layers (pointcommands, layercommands, the dialog models, the
    // editor), which end every change with markModified; whoever changes the
    // view state or the import buffer directly calls notifyViewChanged /
    // notifyRecordChanged afterwards.
    const SurveyData &survey() const { return m_survey; }
    SurveyData &survey() { return m_survey; }
    const ViewState &view() const { return m_view; }
    ViewState &view() { return m_view; }
    const UndoSnapshot &undo() const { return m_undo; }
    UndoSnapshot &undo() { return m_undo; }
    const FieldRecord &record() const { return m_record; }
    FieldRecord &record() { return m_record; }
    const EditingSettings &editing() const { return m_editing; }
    EditingSettings &editing() { return m_editing; }
    const WaveformEditor &editor() const { return *m_editor; }
    WaveformEditor &editor() { return *m_editor; }
    // The automatic arrival suggestions (自动拾取建议); computed on a worker
    // while shown, again for the points whose traces change.
    const ArrivalSuggestions &suggestions() const { return m_suggestions; }
    // Shows or hides the suggestions; suggestionsChanged when that changed.
    void setSuggestionsShown(bool shown);

    // Path of the document file; empty while the survey has none (after
    // start and after New).
    QString filePath() const { return m_filePath; }
    // The file name without folder, or kUntitledDocumentName.
    QString displayName() const;
    bool isModified() const { return m_survey.isModified(); }
    bool canUndo() const { return m_undo.available(); }

    // Reads the document at `path` (LoadSurvey). On success the survey is
    // replaced, the path set, the modified flag cleared, the undo snapshot
    // dropped (it belongs to the survey that was open) and the view put back
    // on point 1; on failure the message goes to `messenger` and the survey,
    // path, flag and undo stay exactly as they were.
    bool load(const QString &path, common::Messenger &messenger);

    // Writes the survey to `path` (StoreSurvey, replaced only when the new
    // file is complete). On success the path becomes `path` and the modified
    // flag is cleared with modifiedChanged(false); on failure the message
    // goes to `messenger`, the old file stays and the flag stays set.
    //
    // When `path` is the document's own file and that file was changed on
    // disk since it was loaded or last saved here (another program, such as
    // talvex-cli, saved it meanwhile: its time, size or creation differ),
    // `messenger` is asked first whether to overwrite it; no keeps the file
    // on disk as it is and returns false. The check and the write are made
    // under the survey's lock file (SurveyLockFileName), which talvex-cli
    // holds while it changes the file; while another holds it longer than
    // saveLockWaitMs the save is refused with a message.
    bool save(const QString &path, common::Messenger &messenger);
    int saveLockWaitMs() const { return m_saveLockWaitMs; }
    void setSaveLockWaitMs(int ms) { m_saveLockWaitMs = ms; }

    // Whether the document's file on disk is no longer the one it loaded or
    // saved (false without a file path).
    bool fileChangedOnDisk() const;

    // The New command after the hole dialog's OK (NewSurvey): a new survey
    // from `parameters`, no file path, undo dropped, view on point 1;
    // marked modified.
    void newSurvey(const HoleParameters &parameters);

    // "导入分层数据": both layer lists from the document at `path`
    // (ImportLayers), then the layer velocities recomputed from this
    // survey's points and the survey marked modified. False (with the
    // message for a refused file) when nothing was taken.
    bool importLayers(const QString &path, common::Messenger &messenger);

    // Undo (Ctrl+Z): puts the snapshot back; the modified flag stays as it
    // is. False when no snapshot was available.
    bool Undo();

    // Replaces the view state; viewChanged when it differs.
    void setView(const ViewState &view);
    // After view() was changed in place: viewChanged when it differs from
    // what was last announced.
    void notifyViewChanged();
    // After record() was replaced or changed in place (a record read, the
    // trigger point set): recordChanged.
    void notifyRecordChanged();

signals:
    void modifiedChanged(bool modified);
    void pointsChanged();
    void layersChanged(); // the velocity layers or the survey log
    void headerChanged();
    void undoAvailableChanged(bool available);
    void viewChanged(); // mode, current point, trace, channel, cursors
    void recordChanged(); // the import buffer or its compressed display
    void filePathChanged(const QString &path);
    // A waveform edit owes the view this repaint (the region of the current
    // target, or the whole view); sent as the edit happens, so ten times by
    // a ten-step shift.
    void repaintRequested(talvex::WaveformEditor::Repaint region);
    // The arrival suggestions were shown or hidden, or more of them were computed.
    void suggestionsChanged();

private:
    void surveyChanged(SurveyParts parts);
    void announceState();
    void setFilePath(const QString &path);
    void startOver();

    SurveyData m_survey;
    ViewState m_view;
    UndoSnapshot m_undo;
    FieldRecord m_record;
    EditingSettings m_editing;
    std::unique_ptr<WaveformEditor> m_editor;
    ArrivalSuggestions m_suggestions;
    QString m_filePath;
    // The document file as this document last read or wrote it.
    struct DiskStamp {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        QDateTime born;
        bool operator==(const DiskStamp &) const = default;
    };
    static DiskStamp stampOf(const QString &path);
    DiskStamp m_diskStamp;
    int m_saveLockWaitMs = 10000;

    // What the signals last announced.
    bool m_announcedModified = false;
    bool m_announcedUndo = false;
    ViewState m_announcedView;
};

} // namespace talvex
