#pragma once
// The main window of talvex: the menu, the two toolbars, the readout bar, the
// status bar with the current point's readouts, and the view. Every action is
// created from the command table (commandtable.h) and runs the command layer
// the command-line tool runs too; enabled and checked states come from one
// updateActions() that the document's signals drive.
//
// What each command does is bound in one place, the handler table of
// framecommands.cpp (one row per command, grouped by menu); the handlers
// that are more than a line live by subject in framefiles.cpp,
// framereport.cpp and framesuggestions.cpp. This file is the wiring.
//
// The window also carries the document's life: New, Open (menu, recent
// files, command line, a file dropped on it), Save and Save as, the question
// whether to save a modified survey before it is replaced or the program
// ends, and the help, manual, support page and About box.

#include "talvex/document/commandtable.h"

#include <QMainWindow>
#include <QMessageBox>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QPrinter;
class QToolBar;

namespace common {
class Messenger;
}

namespace talvex {

class CtalvexView;
class IntervalReviewDialog;
class NeighbourAlignments;
class ReadoutBar;
class RecentFileList;
class SurveyDocument;
class TalvexSettings;
enum class FileDialogKind;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // `settings` keeps the recent files and the keyboard program and must
    // outlive the window; the view keeps its zoom in the same store.
    CMainFrame(SurveyDocument &document, TalvexSettings &settings, QWidget *parent = nullptr);
    ~CMainFrame() override;

    SurveyDocument &document() { return m_document; }
    CtalvexView &view() { return *m_view; }
    ReadoutBar &readoutBar() { return *m_readout; }

    // The action of a command (nullptr for a number the table does not hold).
    QAction *action(CommandId id) const;
    // The menu the view's right click shows in the current mode, built from the
    // table; the caller owns it.
    std::unique_ptr<QMenu> makeContextMenu(ContextMenuId kind);
    QStringList recentFiles() const;
    QStringList statusPaneTexts() const;

    // Opens `path` as Open does after its file dialog: first the question
    // whether to save a modified survey (Cancel keeps everything), then the
    // load; a failed load leaves the open survey as it was and drops the file
    // from the recent-file list. Returns whether the file is now open.
    bool openDocument(const QString &path);

    // Enables, disables and checks every action from the document's state.
    void updateActions();

    // Runs `id` as its action, key or button does: nothing when its rule
    // refuses it now; a command without a handler is reported as a warning
    // through the messenger instead of being dropped.
    void runCommand(CommandId id);
    // The commands of the table the handler table does not bind; empty in a
    // correct program.
    std::vector<CommandId> unhandledCommands() const;
    // The commands the handler table binds more than once (the first row
    // wins); empty in a correct program.
    const std::vector<CommandId> &doublyBoundCommands() const { return m_doublyBound; }
    // Whether the handler table gives `id` an operation. A few rows are bound
    // to none on purpose: the place of the recent files, whose entries open
    // their files, and the commands whose rule never enables them.
    bool hasOperation(CommandId id) const;

    // What the window asks and shows, replaceable for tests: the message boxes
    // of the commands, the save question (Yes, No or Cancel for the document
    // name), the file and folder dialogs, the desktop's opening of a file or
    // address.
    void setMessenger(common::Messenger &messenger);
    using SaveQuestion = std::function<QMessageBox::StandardButton(const QString &documentName)>;
    void setSaveQuestion(SaveQuestion question);
    using FileChooser = std::function<QString(FileDialogKind kind, const QString &offered)>;
    void setFileChooser(FileChooser chooser);
    using UrlOpener = std::function<bool(const QUrl &url)>;
    void setUrlOpener(UrlOpener opener);
    // The folder the help file and the manual are looked for in (the
    // program's folder).
    void setProgramFolder(const QString &folder);

    // The text the save question shows for the document `name`.
    static QString saveQuestionText(const QString &name);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createAccelerators();
    void connectDocument();

    // One row of the handler table: a command and what it runs (empty for a
    // command bound to no operation).
    struct CommandBinding {
        CommandId id;
        std::function<void()> run;
    };
    // The handler table (framecommands.cpp), read once into m_handlers.
    std::vector<CommandBinding> commandBindings();
    void bindCommands();

    // The save question for a modified survey; true when the caller may go on
    // (saved, or not to be saved), false on Cancel or a failed save.
    bool maybeSave();
    bool save();
    bool saveAs();
    void newSurvey();
    void openWithDialog();
    void importRecord();
    void importFolder();
    void importLayers();
    void exportTable(CommandId id);
    void toggleToolBars();
    void openHelpDocument(CommandId id);
    void openSupportPage();
    // The report of the page setup: 页面设置, 打印, 打印预览, 打印设置, the
    // bitmap figures and the PDF report.
    void pageSetup();
    void printReport();
    void previewReport();
    void printerSetup();
    void exportFigures();
    void exportPdfReport();
    // The report has at least one page; otherwise says so and returns false.
    bool reportHasPages();
    QPrinter &printer();
    void startOnScreenKeyboard();
    // Runs an accelerator's command when it is enabled.
    void runAccelerator(QAction *target);
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The automatic suggestions: the current point's pick, all picks above a
    // quality, and the layers of the travel-time curve.
    void acceptArrivalSuggestion();
    void acceptAllArrivalSuggestions();
    void suggestLayers();
    // 层间时间检查: the review list of the interval check (not modal), kept
    // current with the points while open, and its points marked in the view.
    void reviewIntervals();
    void refreshIntervalCheck();
    // Status pane 0 when no command prompt shows: the current point's
    // suggestion while the suggestions are shown, else "就绪".
    QString idlePrompt() const;
    void refreshIdlePrompt();
    void showContextMenu(int menuKind, const QPoint &globalPos);

    void rememberFile(const QString &path);
    void forgetFile(const QString &path);
    void updateRecentFileMenu();
    void updateTitle();
    void setStatusPanes(const QStringList &texts);
    QString chooseFile(FileDialogKind kind, const QString &offered);

    SurveyDocument &m_document;
    TalvexSettings &m_settings;
    std::unique_ptr<common::Messenger> m_ownMessenger;
    common::Messenger *m_messenger = nullptr;
    // Messages of the user soil patterns, shown after the paint that read them.
    std::unique_ptr<common::Messenger> m_patternMessenger;
    SaveQuestion m_saveQuestion;
    FileChooser m_fileChooser;
    UrlOpener m_urlOpener;
    QString m_programFolder;

    CtalvexView *m_view = nullptr;
    ReadoutBar *m_readout = nullptr;
    QToolBar *m_firstToolBar = nullptr;
    QToolBar *m_readoutToolBar = nullptr;
    QToolBar *m_secondToolBar = nullptr;
    std::vector<QLabel *> m_panes;
    std::map<CommandId, QAction *> m_actions;
    std::map<CommandId, std::function<void()>> m_handlers;
    std::vector<CommandId> m_doublyBound;
    // Accelerators with Alt, which menu mnemonics (波形处理(&K)) would take.
    std::map<int, QAction *> m_altAccelerators; // by QKeyCombination::toCombined()
    std::vector<QAction *> m_recentActions;
    std::unique_ptr<RecentFileList> m_recent;
    // The window's one printer: the print dialog, the preview and the printer
    // setup all use it, so a choice made in one holds for the others.
    std::unique_ptr<QPrinter> m_printer;
    // The lowest quality 采用全部拾取建议 last accepted with.
    float m_minSuggestionQuality = 0.5f;
    IntervalReviewDialog *m_intervalReview = nullptr;
    std::unique_ptr<NeighbourAlignments> m_alignments; // of the interval check, kept between changes
    // The pick uncertainties of the interval check and the traces they
    // were computed from.
    std::vector<double> m_pickUncertaintiesMs;
    std::vector<std::size_t> m_uncertaintyFingerprints; // per point, of what they were computed from
    QString m_idlePrompt;
};

} // namespace talvex
