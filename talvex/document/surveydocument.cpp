#include "talvex/document/surveydocument.h"

#include "common/messenger.h"
#include "talvex/analysis/layervelocity.h"
#include "talvex/survey/surveyfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace talvex {

const char *const kUntitledDocumentName = "无标题";

SurveyDocument::SurveyDocument(QObject *parent)
    : QObject(parent),
      m_editor(std::make_unique<WaveformEditor>(EditorState{m_survey, m_view, m_record, m_undo, m_editing})),
      m_suggestions(m_survey)
{
    // New results of the worker are shown like a change of the suggestions.
    connect(&m_suggestions, &ArrivalSuggestions::updated, this, &SurveyDocument::suggestionsChanged);
    m_survey.changeListener = [this](SurveyParts parts) { surveyChanged(parts); };
    m_editor->repaintListener = [this](WaveformEditor::Repaint region) {
        m_suggestions.pointsChanged(); // a trace may have changed
        emit repaintRequested(region);
        if (m_view.mode == DisplayMode::RawRecord)
            emit recordChanged(); // a channel of the import buffer or its compressed display
        announceState();
    };
    m_announcedModified = m_survey.isModified();
    m_announcedUndo = m_undo.available();
    m_announcedView = m_view;
}

SurveyDocument::~SurveyDocument()
{
    m_survey.changeListener = nullptr;
}

QString SurveyDocument::displayName() const
{
    if (m_filePath.isEmpty())
        return QString::fromUtf8(kUntitledDocumentName);
    return QFileInfo(m_filePath).fileName();
}

void SurveyDocument::surveyChanged(SurveyParts parts)
{
    if (touches(parts, SurveyParts::Points)) {
        m_suggestions.setFocusPoint(m_view.currentPoint - 1);
        m_suggestions.pointsChanged();
        emit pointsChanged();
    } else if (touches(parts, SurveyParts::Header)) {
        m_suggestions.pointsChanged(); // the hole's geometry places the arrivals on the curve
    }
    if (touches(parts, SurveyParts::LogLayers | SurveyParts::Layers))
        emit layersChanged();
    if (touches(parts, SurveyParts::Header))
        emit headerChanged();
    announceState();
}

void SurveyDocument::announceState()
{
    if (m_survey.isModified() != m_announcedModified) {
        m_announcedModified = m_survey.isModified();
        emit modifiedChanged(m_announcedModified);
    }
    if (m_undo.available() != m_announcedUndo) {
        m_announcedUndo = m_undo.available();
        emit undoAvailableChanged(m_announcedUndo);
    }
    if (!(m_view == m_announcedView)) {
        m_announcedView = m_view;
        emit viewChanged();
    }
}

void SurveyDocument::setFilePath(const QString &path)
{
    if (path == m_filePath)
        return;
    m_filePath = path;
    emit filePathChanged(m_filePath);
}

void SurveyDocument::startOver()
{
    // The snapshot and the cursors belong to the survey that was open; an
    // undo after opening another one would mix the two.
    m_undo = UndoSnapshot();
    ViewState view;
    view.mode = m_view.mode == DisplayMode::Spectrum ? DisplayMode::MultiTrace : m_view.mode;
    m_view = view;
}

bool SurveyDocument::load(const QString &path, common::Messenger &messenger)
{
    // Read into a copy so that a refused file leaves the open survey, its
    // flag and its listeners alone; the unstored settings carry over.
    SurveyData loaded;
    loaded.header = m_survey.header;
    if (!LoadSurvey(loaded, path, messenger))
        return false;
    m_survey.header = loaded.header;
    m_survey.logLayers = std::move(loaded.logLayers);
    m_survey.layers = std::move(loaded.layers);
    m_survey.points = std::move(loaded.points);
    startOver();
    setFilePath(path);
    m_diskStamp = stampOf(path);
    // A survey just read from its file has nothing unsaved.
    m_survey.setModified(false);
    m_survey.notifyChanged(SurveyParts::All);
    return true;
}

SurveyDocument::DiskStamp SurveyDocument::stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    // A save through a temporary file makes a new file: its creation time
    // tells it apart even with the same size within the same millisecond.
    return {true, info.size(), info.lastModified(), info.birthTime()};
}

bool SurveyDocument::fileChangedOnDisk() const
{
    return !m_filePath.isEmpty() && !(stampOf(m_filePath) == m_diskStamp);
}

bool SurveyDocument::save(const QString &path, common::Messenger &messenger)
{
    // A command that is changing the file finishes first; then what it wrote
    // is seen by the check below. Where no lock file can be made, the save
    // itself says why it fails (or succeeds without one).
    QLockFile lock(SurveyLockFileName(path));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(m_saveLockWaitMs) && lock.error() == QLockFile::LockFailedError) {
        messenger.show(QString::fromUtf8("不能保存文件 ") + path
                           + QString::fromUtf8("\n另一个程序正在修改这个文件，请稍后再保存。"),
                       common::MessageKind::Error);
        return false;
    }
    if (path == m_filePath && fileChangedOnDisk()) {
        const QString question = QString::fromUtf8("文件 %1 在打开之后已被其他程序修改（例如 talvex-cli）。\n"
                                                   "保存将覆盖那些修改。仍要保存吗？")
                                     .arg(QDir::toNativeSeparators(path));
        if (!messenger.ask(question))
            return false;
    }
    const common::FileError result = StoreSurvey(m_survey, path);
    if (!result.ok) {
        messenger.show(QString::fromUtf8("不能保存文件 ") + path + QStringLiteral("\n") + result.message,
                       common::MessageKind::Error);
        return false;
    }
    setFilePath(path);
    m_diskStamp = stampOf(path);
    announceState();
    return true;
}

void SurveyDocument::newSurvey(const HoleParameters &parameters)
{
    startOver();
    setFilePath(QString());
    NewSurvey(m_survey, parameters);
}

bool SurveyDocument::importLayers(const QString &path, common::Messenger &messenger)
{
    if (!ImportLayers(m_survey, path, messenger))
        return false;
    RefreshLayerVelocities(m_survey);
    m_survey.markModified(SurveyParts::LogLayers | SurveyParts::Layers);
    return true;
}

bool SurveyDocument::Undo()
{
    return m_editor->Undo();
}

void SurveyDocument::setView(const ViewState &view)
{
    m_view = view;
    announceState();
}

void SurveyDocument::notifyViewChanged()
{
    announceState();
}

void SurveyDocument::setSuggestionsShown(bool shown)
{
    if (shown == m_suggestions.shown())
        return;
    m_suggestions.setFocusPoint(m_view.currentPoint - 1);
    m_suggestions.setShown(shown);
    emit suggestionsChanged();
}

void SurveyDocument::notifyRecordChanged()
{
    emit recordChanged();
    announceState();
}

} // namespace talvex
