// The main window driven through its actions and keys: commands reach the
// survey and the view, menu entries follow the document, and no survey is
// lost to a failed open or an unanswered save question.

#include "common/messenger.h"
#include "talvex/document/surveydocument.h"
#include "talvex/survey/surveyfile.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/commandicons.h"
#include "talvex/ui/view/ctalvexview.h"
#include "talvex/ui/deferredmessenger.h"
#include "talvex/ui/dialogs/csetuppagedialog.h"
#include "talvex/ui/dialogs/filedialogs.h"
#include "talvex/ui/readoutbar.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

using namespace talvex;

namespace {

HoleParameters hole(float depth)
{
    HoleParameters parameters;
    parameters.holeDepth = depth;
    parameters.pointSpacing = 1.0f;
    return parameters;
}

// A window over its own document and settings, with every question and
// dialog answered by the test.
struct Fixture {
    QTemporaryDir dir;
    TalvexSettings settings{dir.filePath(QStringLiteral("talvex.ini"))};
    SurveyDocument document;
    common::RecordingMessenger messenger;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QStringList questions;
    QString chosenFile;
    QList<FileDialogKind> dialogs;
    QList<QUrl> opened;
    CMainFrame frame{document, settings};

    Fixture()
    {
        frame.setMessenger(messenger);
        frame.setSaveQuestion([this](const QString &name) {
            questions.append(name);
            return answer;
        });
        frame.setFileChooser([this](FileDialogKind kind, const QString &) {
            dialogs.append(kind);
            return chosenFile;
        });
        frame.setUrlOpener([this](const QUrl &url) {
            opened.append(url);
            return true;
        });
        frame.setProgramFolder(dir.path());
    }

    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

    // A survey file of `depth` points written beside the test.
    QString writeSurvey(const char *name, float depth)
    {
        SurveyDocument other;
        other.newSurvey(hole(depth));
        common::RecordingMessenger quiet;
        const QString file = path(name);
        if (!other.save(file, quiet))
            return {};
        return file;
    }

    void trigger(CommandId id) { frame.action(id)->trigger(); }

    QStringList files(const char *pattern) const
    {
        return QDir(dir.path()).entryList({QString::fromUtf8(pattern)}, QDir::Files, QDir::Name);
    }
};

// Answers the page setup dialog the next command opens: sets its column
// count, then OK or Cancel.
void answerPageSetup(int columns, bool ok)
{
    QTimer::singleShot(0, [=] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<CSetupPageDialog *>(widget); dialog && dialog->isVisible()) {
                dialog->findChild<QSpinBox *>(QStringLiteral("columnsPerPage"))->setValue(columns);
                ok ? dialog->accept() : dialog->reject();
            }
    });
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void buildsEveryMenuAndBarFromTheTable()
    {
        Fixture f;
        QStringList titles;
        for (QAction *menu : f.frame.menuBar()->actions())
            titles.append(menu->text());
        QCOMPARE(titles,
                 QStringList({QString::fromUtf8("文件(&F)"), QString::fromUtf8("编辑(&E)"),
                              QString::fromUtf8("波形处理(&K)"), QString::fromUtf8("查看(&V)"),
                              QString::fromUtf8("帮助(&H)")}));
        QAction *arrival = f.frame.action(CommandId::SetSArrival);
        QVERIFY(arrival);
        QCOMPARE(arrival->text(), QString::fromUtf8("设为S波初至...    t"));
        QCOMPARE(arrival->statusTip(), QString::fromUtf8("将光标所在点设为S波的初至时间"));
        QVERIFY(!arrival->icon().isNull());
        QCOMPARE(f.frame.property("talvexProgram").toString(), QStringLiteral("talvexProgram"));

        const auto bars = f.frame.findChildren<QToolBar *>();
        int buttons = 0;
        for (const QToolBar *bar : bars)
            for (const QAction *action : bar->actions())
                buttons += (!action->isSeparator() && !action->icon().isNull()) ? 1 : 0;
        QCOMPARE(buttons, 15 + 23);

        const auto layerMenu = f.frame.makeContextMenu(ContextMenuId::Histogram);
        QStringList items;
        for (const QAction *action : layerMenu->actions())
            items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items,
                 QStringList({QString::fromUtf8("插入一个土层"), QString::fromUtf8("删除一个土层"),
                              QString::fromUtf8("建议分层"), QStringLiteral("-"), QString::fromUtf8("分层参数修改"),
                              QString::fromUtf8("输入工勘资料")}));
    }

    // Every command of the table is bound in the handler table; the few bound
    // to no operation can never run, and a command that reaches the window
    // without a handler is reported, not dropped.
    void everyCommandHasAHandler()
    {
        Fixture f;
        const std::vector<CommandId> missing = f.frame.unhandledCommands();
        QStringList names;
        for (const CommandId id : missing)
            names.append(QStringLiteral("%1 %2").arg(int(id)).arg(QString::fromUtf8(commandInfo(id).caption)));
        QVERIFY2(missing.empty(), qPrintable(names.join(QStringLiteral(", "))));
        QVERIFY(f.frame.doublyBoundCommands().empty());

        for (const bool withPoints : {false, true}) {
            if (withPoints)
                f.document.newSurvey(hole(10.0f));
            f.frame.updateActions();
            for (const CommandInfo &info : allCommands()) {
                if (f.frame.hasOperation(info.id))
                    continue;
                QAction *action = f.frame.action(info.id);
                QVERIFY2(!action || !action->isEnabled(), info.caption);
            }
        }

        // A number that no row binds (as a new command without its handler).
        f.messenger.clear();
        const auto surveyBefore = f.document.survey().points.size();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*31999.*")));
        f.frame.runCommand(CommandId(31999));
        QCOMPARE(f.messenger.messages.size(), 1);
        QVERIFY(f.messenger.last().contains(QStringLiteral("31999")));
        QCOMPARE(f.messenger.kinds.last(), common::MessageKind::Warning);
        QCOMPARE(f.document.survey().points.size(), surveyBefore);

        // A bound command runs through the same entry.
        f.messenger.clear();
        f.frame.runCommand(CommandId::ShowHistogram);
        QVERIFY(f.messenger.messages.isEmpty());
        QVERIFY(f.document.view().mode == DisplayMode::VelocityHistogram);
    }

    void commandsChangeSurveyAndView()
    {
        Fixture f;
        f.document.newSurvey(hole(10.0f));
        QVERIFY(f.frame.action(CommandId::SetSArrival)->isEnabled());
        QVERIFY(!f.frame.action(CommandId::InsertLayer)->isEnabled());

        // The S-wave arrival lands at the cursor sample of the current point.
        ViewState view = f.document.view();
        view.currentPoint = 3;
        view.cursorX = kWaveformOriginX + 250;
        f.document.setView(view);
        f.trigger(CommandId::SetSArrival);
        QCOMPARE(int(f.document.survey().points[2].sArrival), 250);

        // Inserting a point takes an undo snapshot; undo puts the list back.
        QVERIFY(!f.frame.action(CommandId::Undo)->isEnabled());
        f.trigger(CommandId::InsertPoint);
        QCOMPARE(int(f.document.survey().points.size()), 11);
        QVERIFY(f.frame.action(CommandId::Undo)->isEnabled());
        f.trigger(CommandId::Undo);
        QCOMPARE(int(f.document.survey().points.size()), 10);

        // F3's command shows the histogram, where the layer commands work and
        // the readout bar shows depths.
        f.trigger(CommandId::ShowHistogram);
        QCOMPARE(f.document.view().mode, DisplayMode::VelocityHistogram);
        QVERIFY(f.frame.action(CommandId::ShowHistogram)->isChecked());
        QVERIFY(!f.frame.action(CommandId::ShowWaveforms)->isChecked());
        QVERIFY(f.frame.action(CommandId::InsertLayer)->isEnabled());
        QVERIFY(!f.frame.action(CommandId::SetSArrival)->isEnabled());
        QCOMPARE(f.frame.readoutBar().label(), QString::fromUtf8("当前深度:"));
        QCOMPARE(f.frame.readoutBar().unit(), QStringLiteral("m"));

        f.frame.view().MoveDepthCursor(depthToCursorY(4.0f));
        f.trigger(CommandId::InsertLayer);
        QCOMPARE(int(f.document.survey().layers.size()), 1);
        QCOMPARE(f.document.survey().layers[0].bottom, 4.0f);

        // A disabled command does not run, whatever triggers it.
        f.trigger(CommandId::SetSArrival);
        QCOMPARE(int(f.document.survey().points[2].sArrival), 250);

        f.trigger(CommandId::ShowWaveforms);
        QCOMPARE(f.document.view().mode, DisplayMode::MultiTrace);
        const double before = f.frame.view().scale();
        f.trigger(CommandId::ZoomIn);
        QVERIFY(f.frame.view().scale() > before);
        QCOMPARE(f.frame.statusPaneTexts().first(), QString::fromUtf8("测点深度:3.00m"));
    }

    void plainLetterKeysRunTheirCommands()
    {
        Fixture f;
        f.document.newSurvey(hole(5.0f));
        f.frame.show();
        f.frame.show();
        f.frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.frame));
        ViewState view = f.document.view();
        view.cursorX = kWaveformOriginX + 40;
        f.document.setView(view);
        QTest::keyClick(&f.frame.view(), Qt::Key_T);
        QCOMPARE(int(f.document.survey().points[0].sArrival), 40);
        QTest::keyClick(&f.frame.view(), Qt::Key_W); // insert a point before point 1
        QCOMPARE(int(f.document.survey().points.size()), 6);
        QTest::keyClick(&f.frame.view(), Qt::Key_F3);
        QCOMPARE(f.document.view().mode, DisplayMode::VelocityHistogram);
        // In the histogram t is not enabled: the key does nothing.
        QTest::keyClick(&f.frame.view(), Qt::Key_T);
        QCOMPARE(int(f.document.survey().points[1].sArrival), 40);
    }

    void saveIsEnabledOnlyWhileModified()
    {
        Fixture f;
        QVERIFY(!f.frame.action(CommandId::FileSave)->isEnabled());
        f.document.newSurvey(hole(3.0f));
        QVERIFY(f.frame.action(CommandId::FileSave)->isEnabled());
        QVERIFY(f.frame.isWindowModified());

        // An untitled survey is saved through the Save-as dialog.
        f.chosenFile = f.path("first");
        f.trigger(CommandId::FileSave);
        QCOMPARE(f.dialogs, QList<FileDialogKind>({FileDialogKind::SaveSurveyAs}));
        QVERIFY(QFile::exists(f.path("first.qsw")));
        QVERIFY(!f.frame.action(CommandId::FileSave)->isEnabled());
        QVERIFY(!f.frame.isWindowModified());
        QVERIFY(f.frame.windowTitle().startsWith(QStringLiteral("first.qsw")));
        QCOMPARE(f.frame.recentFiles(), QStringList({f.path("first.qsw")}));
    }

    void closingAsksAboutUnsavedWork()
    {
        Fixture f;
        f.document.newSurvey(hole(3.0f));
        f.answer = QMessageBox::Cancel;
        QVERIFY(!f.frame.close());
        QCOMPARE(f.questions.size(), 1);
        QVERIFY(f.document.isModified());
        // The question names the survey as the title does.
        QCOMPARE(f.questions.first(), QString::fromUtf8(kUntitledDocumentName));
        QVERIFY(f.frame.windowTitle().startsWith(f.questions.first()));

        f.answer = QMessageBox::No;
        QVERIFY(f.frame.close());

        // Nothing to ask about: the window closes at once.
        Fixture clean;
        QVERIFY(clean.frame.close());
        QVERIFY(clean.questions.isEmpty());
    }

    void replacingAModifiedSurveyAsksFirst()
    {
        Fixture f;
        const QString other = f.writeSurvey("other.qsw", 7.0f);
        QVERIFY(!other.isEmpty());
        f.document.newSurvey(hole(3.0f));

        f.answer = QMessageBox::Cancel;
        QVERIFY(!f.frame.openDocument(other));
        QCOMPARE(int(f.document.survey().points.size()), 3);

        // Yes saves the untitled survey first (through Save as), then opens.
        f.answer = QMessageBox::Yes;
        f.chosenFile = f.path("mine.qsw");
        QVERIFY(f.frame.openDocument(other));
        QVERIFY(QFile::exists(f.path("mine.qsw")));
        QCOMPARE(int(f.document.survey().points.size()), 7);
        QCOMPARE(f.frame.recentFiles(), QStringList({other, f.path("mine.qsw")}));
        // The list survives the window.
        QCOMPARE(TalvexSettings(f.path("talvex.ini")).recentFiles(), f.frame.recentFiles());
    }

    void failedOpenKeepsTheCurrentSurvey()
    {
        Fixture f;
        f.document.newSurvey(hole(4.0f));
        f.answer = QMessageBox::No;
        QFile bad(f.path("bad.qsw"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a survey at all");
        bad.close();

        QVERIFY(!f.frame.openDocument(f.path("bad.qsw")));
        QVERIFY(!f.messenger.messages.isEmpty());
        QCOMPARE(int(f.document.survey().points.size()), 4);
        QVERIFY(f.document.isModified());
        QVERIFY(!f.frame.recentFiles().contains(f.path("bad.qsw")));
    }

    void helpCommandsOpenTheFilesBesideTheProgram()
    {
        Fixture f;
        f.trigger(CommandId::UserManual);
        QVERIFY(f.messenger.last().startsWith(QString::fromUtf8("用户手册 ")));
        QVERIFY(f.messenger.last().endsWith(QString::fromUtf8("或者重新执行一遍安装程序！")));
        QVERIFY(f.opened.isEmpty());

        QFile manual(f.path("Vantorel用户手册.pdf"));
        QVERIFY(manual.open(QIODevice::WriteOnly));
        manual.close();
        f.trigger(CommandId::UserManual);
        QCOMPARE(f.opened, QList<QUrl>({QUrl::fromLocalFile(f.path("Vantorel用户手册.pdf"))}));

        f.trigger(CommandId::WebSupport);
        QCOMPARE(f.opened.size(), 2);
        QVERIFY(f.opened.last().scheme().startsWith(QStringLiteral("http")));
    }

    void everyToolbarPictureIsDrawnAndDistinct()
    {
        QSet<QByteArray> pictures;
        int buttons = 0;
        for (const auto bar : {firstToolBar(), secondToolBar()}) {
            for (const CommandId id : bar) {
                if (id == CommandId::None)
                    continue;
                const QImage picture = commandPicture(QString::fromUtf8(commandInfo(id).icon));
                QVERIFY2(!picture.isNull(), commandInfo(id).icon);
                QCOMPARE(picture.size(), QSize(kToolButtonWidth, kToolButtonHeight));
                QByteArray bits(reinterpret_cast<const char *>(picture.constBits()), picture.sizeInBytes());
                QVERIFY2(bits.count(char(0)) < bits.size(), commandInfo(id).icon); // not blank
                pictures.insert(bits);
                ++buttons;
            }
        }
        QCOMPARE(pictures.size(), buttons); // no two buttons look the same
    }

    void recentFilesAreOfferedInTheFileMenu()
    {
        Fixture f;
        const QString first = f.writeSurvey("one.qsw", 2.0f);
        const QString second = f.writeSurvey("two&3.qsw", 3.0f);
        QVERIFY(f.frame.openDocument(first));
        QVERIFY(f.frame.openDocument(second));
        QMenu *file = f.frame.menuBar()->actions().first()->menu();
        QList<QAction *> entries;
        for (QAction *action : file->actions())
            if (action->isVisible() && action->text().startsWith(QLatin1Char('&')))
                entries.append(action);
        QCOMPARE(entries.size(), 2);
        QVERIFY(entries[0]->text().startsWith(QStringLiteral("&1 ")));
        QVERIFY(entries[0]->text().endsWith(QStringLiteral("two&&3.qsw")));
        entries[1]->trigger();
        QCOMPARE(f.document.filePath(), first);
        QCOMPARE(f.frame.recentFiles().first(), first);
    }

    void droppedFileIsOpened()
    {
        Fixture f;
        const QString file = f.writeSurvey("dropped.qsw", 6.0f);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.frame, &drop);
        QCOMPARE(int(f.document.survey().points.size()), 6);
        QCOMPARE(f.document.filePath(), file);
    }

    void keyboardThatDoesNotStartIsReported()
    {
        Fixture f;
        f.settings.store().writeText(QStringLiteral("Settings"), QString::fromUtf8("屏幕键盘程序"),
                                     QStringLiteral("no-such-keyboard-program"));
        f.trigger(CommandId::OnScreenKeyboard);
        QCOMPARE(f.messenger.messages.size(), 1);
        QVERIFY(f.messenger.last().contains(QStringLiteral("no-such-keyboard-program")));

        // Alt+K is also the mnemonic of the menu 波形处理(&K): the key itself
        // must start the keyboard, as an accelerator wins over a mnemonic.
        f.frame.show();
        f.frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.frame));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f.frame, Qt::Key_K,
                        Qt::AltModifier);
        QCOMPARE(f.messenger.messages.size(), 2);
        QVERIFY(f.messenger.last().contains(QStringLiteral("no-such-keyboard-program")));
        QVERIFY(!f.frame.menuBar()->activeAction());
    }

    // Pattern messages raised while painting are shown only once the event
    // loop is free, and never after the window is gone.
    void pageSetupChangesTheViewOnlyOnOk()
    {
        Fixture f;
        f.frame.view().setPrintSettings(PrintSettings{});
        answerPageSetup(1, false);
        f.trigger(CommandId::PageSetup);
        QCOMPARE(f.frame.view().printSettings(), PrintSettings{});
        answerPageSetup(3, true);
        f.trigger(CommandId::PageSetup);
        PrintSettings expected;
        expected.columnsPerPage = 3;
        QCOMPARE(f.frame.view().printSettings(), expected);
    }

    void pageSetupIsKeptWithTheView()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("view.ini"));
        SurveyDocument document;
        PrintSettings changed;
        changed.headerText = QStringLiteral("一号孔附图");
        changed.marginLeft = 3;
        changed.printTable = 0;
        {
            CtalvexView view(document, ini);
            QCOMPARE(view.printSettings(), PrintSettings{});
            view.setPrintSettings(changed);
        }
        QCOMPARE(TalvexSettings(ini).printSettings(), changed);
        CtalvexView again(document, ini);
        QCOMPARE(again.printSettings(), changed);
    }

    void figuresAreWrittenBesideTheChosenBase()
    {
        Fixture f;
        f.frame.view().setPrintSettings(PrintSettings{});
        f.document.newSurvey(hole(5.0f));

        // Cancelling the dialog writes nothing.
        f.trigger(CommandId::ExportFigures);
        QCOMPARE(f.dialogs, QList<FileDialogKind>({FileDialogKind::ExportFigures}));
        QVERIFY(f.files("*.bmp").isEmpty());

        // Three velocity figures, the table and one page of 5 waveforms.
        f.chosenFile = f.path("site1");
        f.trigger(CommandId::ExportFiguresButton);
        const QStringList written = f.files("site1-*.bmp");
        QCOMPARE(written.size(), 5);
        QVERIFY(written.contains(QString::fromUtf8("site1-时距深度表.bmp")));
        QVERIFY(written.contains(QString::fromUtf8("site1-原始波形图0.bmp")));
        for (const QString &name : written)
            QCOMPARE(QFileInfo(f.dir.filePath(name)).size(), qint64(1195154));
        QVERIFY(f.messenger.messages.isEmpty());
        QVERIFY(f.messenger.questions.isEmpty());

        // Figures already there are replaced only when the user agrees.
        const QString table = f.dir.filePath(QString::fromUtf8("site1-时距深度表.bmp"));
        QFile mark(table);
        QVERIFY(mark.open(QIODevice::WriteOnly));
        mark.write("kept");
        mark.close();
        f.messenger.answers = {false};
        f.trigger(CommandId::ExportFigures);
        QCOMPARE(f.messenger.questions.size(), 1);
        QCOMPARE(QFileInfo(table).size(), qint64(4));

        // Figures that cannot be written are reported once, together.
        f.chosenFile = f.path("missing/site2");
        f.trigger(CommandId::ExportFigures);
        QCOMPARE(f.messenger.messages.size(), 1);
        QVERIFY(f.messenger.last().contains(QString::fromUtf8("site2-时距深度表.bmp")));
        QVERIFY(f.messenger.last().contains(QString::fromUtf8("site2-原始波形图0.bmp")));
    }

    // The save dialog's name picks the table's form: the program's own .xls
    // appended always, a workbook or CSV kept as named.
    void tablesAreWrittenInTheChosenForm()
    {
        Fixture f;
        f.document.newSurvey(hole(3.0f));
        f.chosenFile = f.path("points");
        f.trigger(CommandId::ExportPointTable);
        QVERIFY(QFile::exists(f.path("points.xls")));
        f.chosenFile = f.path("points.xlsx");
        f.trigger(CommandId::ExportPointTable);
        QFile book(f.path("points.xlsx"));
        QVERIFY(book.open(QIODevice::ReadOnly));
        QVERIFY(book.read(2) == "PK"); // a zip, not text
        f.chosenFile = f.path("layers.CSV");
        f.trigger(CommandId::ExportLayerTable);
        QFile csv(f.path("layers.CSV"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().startsWith("\xEF\xBB\xBF"));
        QCOMPARE(f.files("*.xls*").size(), 2);
        QVERIFY(f.messenger.messages.isEmpty());
        QCOMPARE(f.dialogs,
                 QList<FileDialogKind>({FileDialogKind::ExportPointTable, FileDialogKind::ExportPointTable,
                                        FileDialogKind::ExportLayerTable}));
    }

    void pdfReportIsWrittenOrItsFailureShown()
    {
        Fixture f;
        f.frame.view().setPrintSettings(PrintSettings{});
        f.document.newSurvey(hole(4.0f));
        f.chosenFile = f.path("report");
        f.trigger(CommandId::ExportPdfReport);
        QCOMPARE(f.dialogs, QList<FileDialogKind>({FileDialogKind::ExportPdfReport}));
        QFile pdf(f.path("report.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        QVERIFY(f.messenger.messages.isEmpty());

        f.chosenFile = f.path("missing/report.pdf");
        f.trigger(CommandId::ExportPdfReport);
        QCOMPARE(f.messenger.messages.size(), 1);
        QVERIFY(f.messenger.last().contains(QStringLiteral("report.pdf")));
        QVERIFY(!QFile::exists(f.chosenFile));

        // A page setup that selects no page is refused before any dialog.
        PrintSettings none;
        none.printVelocity = none.printTable = none.printWaveforms = 0;
        f.frame.view().setPrintSettings(none);
        f.dialogs.clear();
        f.trigger(CommandId::ExportPdfReport);
        f.trigger(CommandId::ExportFigures);
        QVERIFY(f.dialogs.isEmpty());
        QCOMPARE(f.messenger.messages.size(), 3);
    }

    void deferredMessagesWaitForTheEventLoop()
    {
        common::RecordingMessenger target;
        auto *context = new QObject;
        DeferredMessenger deferred(context, [&] { return &target; });
        deferred.show(QStringLiteral("图例"));
        QVERIFY(target.messages.isEmpty());
        QVERIFY(!deferred.ask(QStringLiteral("?")));
        QCoreApplication::processEvents();
        QCOMPARE(target.messages, QStringList{QStringLiteral("图例")});
        deferred.show(QStringLiteral("late"));
        delete context;
        QCoreApplication::processEvents();
        QCOMPARE(target.messages.size(), 1);
    }
};

QTEST_MAIN(MainFrameTest)
#include "cmainframe_test.moc"
