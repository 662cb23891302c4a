// The main window of the microtremor program: menus, toolbar and status
// bar, the commands of acquisition, files, analysis, printing and
// snapshots, around one document and its view. The actions, menus and
// toolbar are built from the command table (commandtable.h); what each
// command runs is one row of the handler table in cmainframe.cpp.
#pragma once

#include "common/manualfiles.h"
#include "common/messenger.h"
#include "common/settingsstore.h"
#include "sedra/card/portio.h"
#include "sedra/core/acquisitionjob.h"
#include "sedra/core/longacquisitionjob.h"
#include "sedra/core/sedradocument.h"
#include "sedra/ui/commandtable.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QUrl>
#include <QPrinter>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace platform {
class SingleInstance;
}

namespace sedra {

class CSEDRAView;
class HvView;
class WaitDialog;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // What a file dialog is asked for.
    enum class FileRequest {
        Open,
        SaveAcquisition,
        SaveDocument,
        ExportText,
        Snapshot,
        OpenThreeComponent,
        SaveMiniSeed
    };
    // Returns the chosen path or empty for cancel; `proposed` is the
    // proposed path, `selectedFilter` receives the chosen filter. For
    // OpenThreeComponent the paths of one or three files, one a line.
    using FileChooser = std::function<QString(FileRequest, const QString &proposed, QString *selectedFilter)>;

    CMainFrame(common::SettingsStore &store, common::Messenger &messenger, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Detection at start-up, once: `io` may be null (no card), `note` says
    // why when the backend could not be opened. Without a card the
    // acquisition commands stay grey and `instance` (may be null) is
    // released so a later start is not refused.
    void attachCard(std::unique_ptr<PortIo> io, const QString &note, platform::SingleInstance *instance);
    bool cardPresent() const { return m_cardPresent; }

    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    // What opens the manual for 帮助主题 and 用户手册 (the desktop's viewer;
    // tests record the path), and the folder it is looked for from (the
    // program's, common/manualfiles.h).
    using DocumentOpener = std::function<bool(const QString &path)>;
    void setDocumentOpener(DocumentOpener opener) { m_documentOpener = std::move(opener); }
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }
    // Limit of the ready poll (tests shorten it); default: from the parameters.
    void setReadyLimit(const ReadyLimit &limit)
    {
        m_readyLimit = limit;
        m_fixedLimit = true;
    }

    SedraDocument &document() { return m_document; }
    SedraParameters &parameters() { return m_parameters; }
    CSEDRAView *view() const { return m_view; }
    HvView *hvView() const { return m_hvView; }
    bool hvMode() const { return m_hvMode; }
    bool hvRecording() const { return m_longJob.isRunning(); }
    WaitDialog *waitDialog() const { return m_wait; }
    // The action of a command of the table (nullptr for a number it lacks).
    QAction *action(CommandId id) const;
    // Runs `id` as its action does (`checked`: the new check state of a
    // checkable command); a command without a handler is reported through
    // the messenger instead of being dropped.
    void runCommand(CommandId id, bool checked = false);
    // The commands of the table the handler table does not bind; empty in a
    // correct program.
    std::vector<CommandId> unhandledCommands() const;
    // The commands the handler table binds more than once (the first row
    // wins); empty in a correct program.
    const std::vector<CommandId> &doublyBoundCommands() const { return m_doublyBound; }
    QStringList recentFiles() const { return m_recent; }

    // Commands.
    bool openFile(const QString &path);
    void open();
    bool startSampling();
    void configure();
    void saveAcquisition();
    void saveDocument();
    void exportText();
    void snapshot();
    void print();
    void printPreview();
    void pageSetup();
    void digitalFilter();
    void printSettings();
    void openKeyboard();
    void openManual(common::ManualForm form);
    void about();
    // H/V: the view shown instead of the six bands, a three-component
    // record read for it (one file or one per component), and a long
    // recording analysed while it grows, offered as miniSEED at its end.
    void setHvMode(bool on);
    bool openThreeComponent(const QStringList &paths);
    void openThreeComponentFiles();
    bool startHvRecording(double minutes);
    void askHvRecording();
    void stopHvRecording();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // One row of the handler table: a command and what it runs (empty for
    // the place of the recent-file submenu).
    struct CommandBinding {
        CommandId id;
        std::function<void(bool checked)> run;
    };
    std::vector<CommandBinding> commandBindings();
    void createActions();
    CommandState commandState() const;
    void updateActions();
    // Shows `text` in the status bar and keeps it as the text that returns
    // after a command's prompt.
    void showStatus(const QString &text);
    void updateTitle();
    void updateStatus();
    void addRecent(const QString &path);
    void rebuildRecentMenu();
    void keyboardBeforeTextEntry();
    QString chooseFile(FileRequest request, const QString &proposed, QString *selectedFilter = nullptr);

    common::SettingsStore &m_store;
    common::Messenger &m_messenger;
    SedraParameters m_parameters;
    SedraDocument m_document;
    void hvRecordingFinished(const LongAcquisitionSummary &summary);
    // The page that printing, the preview and the PDF show: the H/V page in
    // H/V mode with something to show, else the six bands.
    void drawPrintedPage(QPainter &painter, QPagedPaintDevice &device);

    CSEDRAView *m_view = nullptr;
    HvView *m_hvView = nullptr;
    QStackedWidget *m_stack = nullptr;
    bool m_hvMode = false;
    LongAcquisitionJob m_longJob;
    WaitDialog *m_wait = nullptr;
    std::unique_ptr<PortIo> m_card;
    bool m_cardPresent = false;
    AcquisitionJob m_job;
    // The acquisition the job last handed over, until startSampling takes it.
    std::optional<Acquisition> m_lastAcquisition;
    ReadyLimit m_readyLimit;
    bool m_fixedLimit = false;
    QPrinter m_printer;
    FileChooser m_chooser;
    DocumentOpener m_documentOpener
        = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    QString m_programFolder = QCoreApplication::applicationDirPath();
    QString m_documentPath;
    QStringList m_recent;
    QMenu *m_recentMenu = nullptr;
    QToolBar *m_toolBar = nullptr;
    QString m_statusText;
    std::map<CommandId, QAction *> m_actions;
    std::map<CommandId, std::function<void(bool checked)>> m_handlers;
    std::vector<CommandId> m_doublyBound;
};

} // namespace sedra
