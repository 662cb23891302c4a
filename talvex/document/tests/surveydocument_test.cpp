#include "talvex/document/surveydocument.h"

#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/ceditchanshudialogmodel.h"
#include "talvex/analysis/ceditchendialogmodel.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/survey/surveyfile.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvex;

namespace {

// Counts every signal of one document from the moment it is made.
struct Spies {
    explicit Spies(SurveyDocument &d)
        : modified(&d, &SurveyDocument::modifiedChanged),
          points(&d, &SurveyDocument::pointsChanged),
          layers(&d, &SurveyDocument::layersChanged),
          header(&d, &SurveyDocument::headerChanged),
          undo(&d, &SurveyDocument::undoAvailableChanged),
          view(&d, &SurveyDocument::viewChanged),
          record(&d, &SurveyDocument::recordChanged),
          path(&d, &SurveyDocument::filePathChanged)
    {
    }
    void clear()
    {
        for (QSignalSpy *s : {&modified, &points, &layers, &header, &undo, &view, &record, &path})
            s->clear();
    }
    int total() const
    {
        int n = 0;
        for (const QSignalSpy *s : {&modified, &points, &layers, &header, &undo, &view, &record, &path})
            n += int(s->count());
        return n;
    }
    QSignalSpy modified, points, layers, header, undo, view, record, path;
};

// A document with a new survey of `count` points 1 m apart, saved nowhere.
void newSurvey(SurveyDocument &doc, int count)
{
    HoleParameters p;
    p.holeDepth = float(count);
    p.pointSpacing = 1.0f;
    common::storeFixedText(p.holeNumber, "ZK1");
    doc.newSurvey(p);
}

} // namespace

TEST(SurveyDocument, NewSurveySignalsEachPartOnceAndHasNoFile)
{
    SurveyDocument doc;
    Spies spy(doc);
    newSurvey(doc, 5);
    EXPECT_EQ(doc.survey().points.size(), 5u);
    EXPECT_EQ(spy.modified.count(), 1);
    EXPECT_TRUE(spy.modified.at(0).at(0).toBool());
    EXPECT_EQ(spy.points.count(), 1);
    EXPECT_EQ(spy.layers.count(), 1);
    EXPECT_EQ(spy.header.count(), 1);
    EXPECT_EQ(spy.path.count(), 0); // no file before, none after
    EXPECT_TRUE(doc.filePath().isEmpty());
    EXPECT_EQ(doc.displayName(), QStringLiteral("无标题"));

    // A copy taken for a picture or an export is not the document's survey.
    spy.clear();
    SurveyData copy = doc.survey();
    copy.markModified(SurveyParts::Points);
    copy = doc.survey();
    copy.setModified(false);
    EXPECT_EQ(spy.total(), 0);

    // A second edit while modified: the panes hear of it, the flag does not change.
    spy.clear();
    ViewState v = doc.view();
    v.currentPoint = 2;
    doc.setView(v);
    EXPECT_EQ(spy.view.count(), 1);
    doc.setView(v); // the same state again is no change
    EXPECT_EQ(spy.view.count(), 1);
    ASSERT_TRUE(doc.editor().InvertTrace());
    EXPECT_EQ(spy.points.count(), 1);
    EXPECT_EQ(spy.modified.count(), 0);
    EXPECT_EQ(spy.layers.count() + spy.header.count(), 0);
}

TEST(SurveyDocument, SaveClearsTheFlagOnceAndAFailedSaveKeepsFileAndFlag)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qsw");
    SurveyDocument doc;
    newSurvey(doc, 3);
    common::RecordingMessenger messages;
    Spies spy(doc);
    ASSERT_TRUE(doc.save(path, messages));
    EXPECT_FALSE(doc.isModified());
    ASSERT_EQ(spy.modified.count(), 1);
    EXPECT_FALSE(spy.modified.at(0).at(0).toBool());
    ASSERT_EQ(spy.path.count(), 1);
    EXPECT_EQ(doc.filePath(), path);
    EXPECT_EQ(doc.displayName(), QStringLiteral("a.qsw"));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();

    // A survey the file cannot count is refused whole: the old file stays,
    // the flag stays set, the message says why.
    spy.clear();
    ASSERT_TRUE(InsertPoint(doc.survey(), doc.view(), doc.undo()));
    doc.survey().points.resize(std::size_t(kMaxRecordCount) + 1);
    EXPECT_FALSE(doc.save(path, messages));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(spy.modified.count(), 1); // the insert, not the failed save
    EXPECT_EQ(messages.messages.size(), 1);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
    // A folder that does not exist: same, and the path stays the old one.
    EXPECT_FALSE(doc.save(dir.filePath("none/b.qsw"), messages));
    EXPECT_EQ(doc.filePath(), path);
    EXPECT_EQ(spy.path.count(), 0);
}

TEST(SurveyDocument, SavingOverAFileChangedOnDiskAsksFirst)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qsw");
    SurveyDocument cli;
    newSurvey(cli, 3);
    common::RecordingMessenger messages;
    ASSERT_TRUE(cli.save(path, messages));

    SurveyDocument window;
    ASSERT_TRUE(window.load(path, messages));
    EXPECT_FALSE(window.fileChangedOnDisk());
    // Nothing changed on disk: saving asks nothing.
    ASSERT_TRUE(InsertPoint(window.survey(), window.view(), window.undo()));
    ASSERT_TRUE(window.save(path, messages));
    EXPECT_TRUE(messages.questions.isEmpty());

    // Another program saves the file meanwhile (as talvex-cli does).
    ASSERT_TRUE(cli.load(path, messages));
    ASSERT_TRUE(InsertPoint(cli.survey(), cli.view(), cli.undo()));
    ASSERT_TRUE(cli.save(path, messages));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    // The same second on a coarse file system: the time alone may not tell.
    ASSERT_TRUE(file.setFileTime(QFileInfo(path).lastModified().addSecs(2), QFileDevice::FileModificationTime));
    const QByteArray theirs = file.readAll();
    file.close();
    EXPECT_TRUE(window.fileChangedOnDisk());

    // No: their file stays, the window keeps its unsaved change.
    ASSERT_TRUE(InsertPoint(window.survey(), window.view(), window.undo()));
    messages.answers = {false};
    EXPECT_FALSE(window.save(path, messages));
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_TRUE(messages.questions[0].contains(path)) << messages.questions[0].toStdString();
    EXPECT_TRUE(window.isModified());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), theirs);
    file.close();

    // While talvex-cli holds the survey's lock, the window does not write.
    {
        QLockFile held(SurveyLockFileName(path));
        ASSERT_TRUE(held.tryLock(0));
        window.setSaveLockWaitMs(50);
        EXPECT_FALSE(window.save(path, messages));
        EXPECT_TRUE(messages.last().contains(QString::fromUtf8("另一个程序正在修改"))) << messages.last().toStdString();
        EXPECT_EQ(messages.questions.size(), 1);
    }

    // Yes: overwritten, and the next save asks nothing.
    messages.answers = {true};
    ASSERT_TRUE(window.save(path, messages));
    EXPECT_EQ(messages.questions.size(), 2);
    EXPECT_FALSE(window.isModified());
    ASSERT_TRUE(InsertPoint(window.survey(), window.view(), window.undo()));
    ASSERT_TRUE(window.save(path, messages));
    EXPECT_EQ(messages.questions.size(), 2);
}

TEST(SurveyDocument, FailedLoadLeavesEverythingAndALoadStartsClean)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.qsw");
    SurveyDocument other;
    newSurvey(other, 7);
    common::RecordingMessenger messages;
    ASSERT_TRUE(other.save(good, messages));
    const QString garbage = dir.filePath("garbage.qsw");
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a survey, only text named like one");
    }

    SurveyDocument doc;
    newSurvey(doc, 3);
    ViewState v = doc.view();
    v.currentPoint = 2;
    doc.setView(v);
    ASSERT_TRUE(DeletePoint(doc.survey(), doc.view(), doc.undo()));
    ASSERT_TRUE(doc.canUndo());
    Spies spy(doc);
    for (const QString &bad : {garbage, dir.filePath("missing.qsw")}) {
        messages.clear();
        EXPECT_FALSE(doc.load(bad, messages));
        EXPECT_EQ(messages.messages.size(), 1);
    }
    EXPECT_EQ(spy.total(), 0);
    EXPECT_EQ(doc.survey().points.size(), 2u);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.canUndo());
    EXPECT_TRUE(doc.filePath().isEmpty());

    ASSERT_TRUE(doc.load(good, messages));
    EXPECT_EQ(doc.survey().points.size(), 7u);
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.canUndo()); // the snapshot was of the other survey
    EXPECT_EQ(doc.view().currentPoint, 1);
    EXPECT_EQ(spy.modified.count(), 1);
    EXPECT_EQ(spy.undo.count(), 1);
    EXPECT_EQ(spy.points.count(), 1);
    EXPECT_EQ(spy.layers.count(), 1);
    EXPECT_EQ(spy.header.count(), 1);
    EXPECT_EQ(spy.view.count(), 1);
    EXPECT_EQ(spy.path.count(), 1);
    // The program's own settings are not in the file and carry over.
    EXPECT_EQ(doc.survey().header.personnelLabel, 1);
}

TEST(SurveyDocument, UndoAvailabilityIsAnnouncedWhenItChanges)
{
    SurveyDocument doc;
    newSurvey(doc, 4);
    Spies spy(doc);
    ASSERT_TRUE(DeletePoint(doc.survey(), doc.view(), doc.undo()));
    ASSERT_EQ(spy.undo.count(), 1);
    EXPECT_TRUE(spy.undo.at(0).at(0).toBool());
    ASSERT_TRUE(DeletePoint(doc.survey(), doc.view(), doc.undo())); // still available: no signal
    EXPECT_EQ(spy.undo.count(), 1);
    EXPECT_EQ(spy.points.count(), 2);

    spy.clear();
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.survey().points.size(), 3u);
    ASSERT_EQ(spy.undo.count(), 1);
    EXPECT_FALSE(spy.undo.at(0).at(0).toBool());
    EXPECT_EQ(spy.points.count(), 1);
    EXPECT_EQ(spy.modified.count(), 0); // undo leaves the flag
    EXPECT_TRUE(doc.isModified());
    EXPECT_FALSE(doc.Undo());
}

TEST(SurveyDocument, DialogModelsAndEditorReachTheSignals)
{
    QTemporaryDir dir;
    SurveyDocument doc;
    newSurvey(doc, 10);
    common::RecordingMessenger messages;
    ASSERT_TRUE(doc.save(dir.filePath("s.qsw"), messages));
    Spies spy(doc);

    // The survey-log dialog marks the document modified as it edits.
    CEditChenDialogModel log(doc.survey(), messages);
    ASSERT_TRUE(log.addLayer());
    EXPECT_EQ(spy.layers.count(), 1);
    EXPECT_FALSE(doc.isModified()); // an empty layer is no edit yet
    SurveyLogFields f = log.shown();
    f.bottom = 4.0f;
    f.soilName = QStringLiteral("粉质黏土");
    ASSERT_TRUE(log.leaveField(f));
    EXPECT_EQ(spy.layers.count(), 2);
    EXPECT_EQ(spy.modified.count(), 1);

    // The hole dialog: header only.
    spy.clear();
    CEditChanShuDialogModel hole(doc.survey(), doc.undo(), messages);
    HoleParameters h = doc.survey().header;
    h.plankLength = 2.0f;
    ASSERT_TRUE(hole.apply(h));
    EXPECT_EQ(spy.header.count(), 1);
    EXPECT_EQ(spy.points.count() + spy.layers.count(), 0);
    EXPECT_EQ(spy.undo.count(), 1);

    // The spectrum command switches the view's mode: one view change.
    spy.clear();
    ASSERT_TRUE(doc.editor().ShowSpectrum());
    EXPECT_EQ(doc.view().mode, DisplayMode::Spectrum);
    EXPECT_EQ(spy.view.count(), 1);
    EXPECT_EQ(spy.points.count(), 0);

    // The raw-record mode: a trace set from a channel changes the points and repaints.
    spy.clear();
    ViewState v = doc.view();
    v.mode = DisplayMode::RawRecord;
    doc.setView(v);
    doc.record().channels[0][5] = 77;
    doc.record().channelInterval[0] = 25.0f;
    doc.notifyRecordChanged();
    EXPECT_EQ(spy.record.count(), 1);
    ASSERT_TRUE(doc.editor().SetPositiveTrace());
    EXPECT_EQ(doc.survey().points[0].positive[5], 77);
    EXPECT_EQ(spy.points.count(), 1);
}

TEST(SurveyDocument, ImportLayersRecomputesVelocitiesAndMarksModified)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("layers.qsw");
    {
        SurveyDocument other;
        newSurvey(other, 10);
        DiChengOne l;
        l.top = 0.0f;
        l.bottom = 5.0f;
        l.velocity = 999.0f;
        other.survey().layers.push_back(l);
        other.survey().markModified(SurveyParts::Layers);
        common::RecordingMessenger messages;
        ASSERT_TRUE(other.save(source, messages));
    }
    SurveyDocument doc;
    newSurvey(doc, 10);
    for (TlvOne &p : doc.survey().points)
        p.pointVelocity = 200.0f;
    common::RecordingMessenger messages;
    Spies spy(doc);
    EXPECT_FALSE(doc.importLayers(dir.filePath("missing.qsw"), messages));
    EXPECT_EQ(spy.total(), 0);
    ASSERT_TRUE(doc.importLayers(source, messages));
    ASSERT_EQ(doc.survey().layers.size(), 1u);
    EXPECT_FLOAT_EQ(doc.survey().layers[0].velocity, 200.0f); // from this survey's points
    EXPECT_EQ(spy.layers.count(), 1);
    EXPECT_EQ(spy.points.count(), 0);
}
