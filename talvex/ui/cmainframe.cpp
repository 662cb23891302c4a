#include "talvex/ui/cmainframe.h"

#include "common/platform/onscreenkeyboard.h"
#include "talvex/analysis/autopick.h"
#include "talvex/analysis/intervalcheck.h"
#include "talvex/analysis/layersuggest.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/document/surveydocument.h"
#include "talvex/report/figureexport.h"
#include "talvex/report/pdfreport.h"
#include "talvex/report/reportpages.h"
#include "talvex/report/reportpainter.h"
#include "talvex/survey/exports.h"
#include "records/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/caboutdlg.h"
#include "talvex/ui/commandicons.h"
#include "talvex/ui/view/ctalvexview.h"
#include "talvex/ui/dialogs/ceditchanshudialog.h"
#include "talvex/ui/dialogs/ceditchendialog.h"
#include "talvex/ui/dialogs/ceditdaodialog.h"
#include "talvex/ui/dialogs/ceditzhudialog.h"
#include "talvex/ui/dialogs/clubodialog.h"
#include "talvex/ui/dialogs/cpointnumdialog.h"
#include "talvex/ui/dialogs/cselectchanneldlg.h"
#include "talvex/ui/dialogs/csetuppagedialog.h"
#include "talvex/ui/dialogs/echengguodialog.h"
#include "talvex/ui/dialogs/ewuxingzhibiao.h"
#include "talvex/ui/dialogs/filedialogs.h"
#include "talvex/ui/dialogs/folderimportprogressdialog.h"
#include "talvex/ui/dialogs/intervalreviewdialog.h"
#include "talvex/ui/dialogs/layersuggestiondialog.h"
#include "talvex/ui/dialogs/pickqualitydialog.h"
#include "common/widgets/messageboxmessenger.h"
#include "talvex/charts/soilpatterns.h"
#include "talvex/ui/deferredmessenger.h"
#include "talvex/ui/programfiles.h"
#include "talvex/ui/programicon.h"
#include "talvex/ui/readoutbar.h"
#include "talvex/ui/recentfilelist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <new>

namespace talvex {

namespace {

const char *const kWindowTitle = "剪切波分析系统";
const char *const kIdlePrompt = "就绪";
const char *const kNewDocumentName = "Tlv";

// The width texts of status panes 1...6 (a pane is as wide as its text).
QStringList statusPaneWidthTexts()
{
    return {QString::fromUtf8("测点深度:100.0mbb"),   QString::fromUtf8("波初至时:1000.00msbb"),
            QString::fromUtf8("测点波速:10000m/sbb"), QString::fromUtf8("平均波速:10000m/sbb"),
            QString::fromUtf8("采样延时:1000msbb"),   QString::fromUtf8("采样间隔:1000usbb")};
}

QString localFileOf(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

CMainFrame::CMainFrame(SurveyDocument &document, TalvexSettings &settings, QWidget *parent)
    : QMainWindow(parent),
      m_document(document),
      m_settings(settings),
      m_ownMessenger(std::make_unique<common::MessageBoxMessenger>(QStringLiteral("talvex"), this)),
      m_messenger(m_ownMessenger.get()),
      m_programFolder(QCoreApplication::applicationDirPath()),
      m_recent(std::make_unique<RecentFileList>(settings.recentFiles()))
{
    // Other programs of the suite recognise the analysis window by this.
    setProperty("talvexProgram", QStringLiteral("talvexProgram"));
    setWindowIcon(programIcon());
    setAcceptDrops(true);
    // Which label the personnel line carries is a setting of the user, not of
    // a survey: read at start, written back when the window closes.
    document.survey().header.personnelLabel = settings.personnelLabel();

    m_saveQuestion = [this](const QString &name) {
        return QMessageBox::question(this, QString::fromUtf8(kWindowTitle), saveQuestionText(name),
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    };
    m_fileChooser = [this](FileDialogKind kind, const QString &offered) {
        return askFileName(kind, this, *m_messenger, offered);
    };
    m_urlOpener = [](const QUrl &url) { return QDesktopServices::openUrl(url); };

    // User soil patterns are read while the view paints; their messages wait
    // for the paint to end. They are read again for each survey opened.
    m_patternMessenger = std::make_unique<DeferredMessenger>(this, [this] { return m_messenger; });
    charts::programSoilPatterns().setMessenger(m_patternMessenger.get());

    m_view = new CtalvexView(document, this);
    setCentralWidget(m_view);
    m_readout = new ReadoutBar(this);

    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    createAccelerators();
    connectDocument();

    const CursorReadout readout = m_view->readout();
    m_readout->setReadout(readout.label, readout.value, readout.unit);
    setStatusPanes(m_view->statusTexts());
    updateRecentFileMenu();
    updateTitle();
    updateActions();
}

CMainFrame::~CMainFrame()
{
    charts::programSoilPatterns().setMessenger(nullptr);
}

QString CMainFrame::saveQuestionText(const QString &name)
{
    return QString::fromUtf8("是否保存对 %1 的更改？").arg(name);
}

QAction *CMainFrame::action(CommandId id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

QStringList CMainFrame::recentFiles() const
{
    return m_recent->entries();
}

QStringList CMainFrame::statusPaneTexts() const
{
    QStringList texts;
    for (const QLabel *pane : m_panes)
        texts.append(pane->text());
    return texts;
}

void CMainFrame::setMessenger(common::Messenger &messenger)
{
    m_messenger = &messenger;
}

void CMainFrame::setSaveQuestion(SaveQuestion question)
{
    m_saveQuestion = std::move(question);
}

void CMainFrame::setFileChooser(FileChooser chooser)
{
    m_fileChooser = std::move(chooser);
}

void CMainFrame::setUrlOpener(UrlOpener opener)
{
    m_urlOpener = std::move(opener);
}

void CMainFrame::setProgramFolder(const QString &folder)
{
    m_programFolder = folder;
}

// ---------------------------------------------------------------------------
// Building the window

void CMainFrame::createActions()
{
    for (const CommandInfo &info : allCommands()) {
        if (info.id == CommandId::RecentFiles)
            continue; // its place in the File menu holds the file entries
        auto *action = new QAction(QString::fromUtf8(info.caption), this);
        action->setStatusTip(QString::fromUtf8(info.statusPrompt));
        action->setToolTip(QString::fromUtf8(info.toolTip));
        if (*info.icon)
            action->setIcon(commandIcon(QString::fromUtf8(info.icon)));
        action->setCheckable(info.checkable);
        const CommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_actions[id] = action;
    }
}

void CMainFrame::createMenus()
{
    for (const MenuDefinition &definition : mainMenu()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(definition.title));
        for (const CommandId id : definition.entries) {
            if (id == CommandId::None) {
                menu->addSeparator();
            } else if (id == CommandId::RecentFiles) {
                // Hidden entries leave the separators around them adjacent,
                // and the menu shows adjacent separators as one.
                for (int i = 0; i < RecentFileList::kMaxEntries; ++i) {
                    auto *entry = menu->addAction(QString());
                    entry->setStatusTip(QString::fromUtf8(commandInfo(CommandId::RecentFiles).statusPrompt));
                    connect(entry, &QAction::triggered, this, [this, i] {
                        if (i < m_recent->entries().size())
                            openDocument(m_recent->entries()[i]);
                    });
                    m_recentActions.push_back(entry);
                }
            } else {
                menu->addAction(action(id));
            }
        }
    }
}

void CMainFrame::createToolBars()
{
    const auto fill = [this](QToolBar *bar, std::span<const CommandId> ids) {
        bar->setIconSize(QSize(kToolButtonWidth, kToolButtonHeight));
        bar->setMovable(true);
        for (const CommandId id : ids) {
            if (id == CommandId::None)
                bar->addSeparator();
            else
                bar->addAction(action(id));
        }
    };
    m_firstToolBar = addToolBar(QString::fromUtf8("工具栏"));
    m_firstToolBar->setObjectName(QStringLiteral("firstToolBar"));
    fill(m_firstToolBar, firstToolBar());

    m_readoutToolBar = addToolBar(QString::fromUtf8("读数"));
    m_readoutToolBar->setObjectName(QStringLiteral("readoutBar"));
    m_readoutToolBar->addWidget(m_readout);

    addToolBarBreak();
    m_secondToolBar = addToolBar(QString::fromUtf8("波形工具栏"));
    m_secondToolBar->setObjectName(QStringLiteral("secondToolBar"));
    fill(m_secondToolBar, secondToolBar());
}

void CMainFrame::createStatusBar()
{
    QStatusBar *bar = statusBar();
    for (const QString &width : statusPaneWidthTexts()) {
        auto *pane = new QLabel(bar);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(width));
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addPermanentWidget(pane);
        m_panes.push_back(pane);
    }
    // Pane 0 shows the prompt of the highlighted command, else the idle
    // prompt ("就绪", or the current point's suggestion).
    connect(bar, &QStatusBar::messageChanged, this, [this, bar](const QString &message) {
        if (message.isEmpty())
            bar->showMessage(m_idlePrompt);
    });
    m_idlePrompt = idlePrompt();
    bar->showMessage(m_idlePrompt);
}

void CMainFrame::createAccelerators()
{
    // Keys are not set on the actions, so that the menus show the key texts
    // of the captions as they are ("设为S波初至...    t", "...\tCtrl+N").
    for (const Accelerator &accelerator : accelerators()) {
        QAction *target = action(accelerator.id);
        if (!target)
            continue;
        const QKeySequence keys = QKeySequence::fromString(QString::fromLatin1(accelerator.keys));
        if (keys.count() == 1 && keys[0].keyboardModifiers() == Qt::AltModifier) {
            // An Alt key is also a menu mnemonic; the shortcut map would call
            // the two ambiguous and fire neither. Taken before it (eventFilter).
            m_altAccelerators.emplace(keys[0].toCombined(), target);
            continue;
        }
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, target] { runAccelerator(target); });
    }
    if (!m_altAccelerators.empty())
        qApp->installEventFilter(this);
}

void CMainFrame::runAccelerator(QAction *target)
{
    updateActions();
    if (target->isEnabled())
        target->trigger();
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    // The window's Alt accelerators win over the menu mnemonics, as
    // accelerators do: the shortcut override is taken, so the key reaches
    // the focus widget as a key press, which runs the accelerator.
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const auto found = m_altAccelerators.find(key->keyCombination().toCombined());
    if (found == m_altAccelerators.end())
        return QMainWindow::eventFilter(watched, event);
    event->accept();
    if (type == QEvent::KeyPress && !key->isAutoRepeat())
        runAccelerator(found->second);
    return true;
}

void CMainFrame::connectDocument()
{
    const auto update = [this] { updateActions(); };
    connect(&m_document, &SurveyDocument::modifiedChanged, this, [this] {
        updateTitle();
        updateActions();
    });
    connect(&m_document, &SurveyDocument::filePathChanged, this, [this] {
        charts::programSoilPatterns().reload();
        updateTitle();
        updateActions();
    });
    connect(&m_document, &SurveyDocument::pointsChanged, this, update);
    connect(&m_document, &SurveyDocument::layersChanged, this, update);
    connect(&m_document, &SurveyDocument::headerChanged, this, update);
    connect(&m_document, &SurveyDocument::undoAvailableChanged, this, update);
    connect(&m_document, &SurveyDocument::viewChanged, this, update);
    connect(&m_document, &SurveyDocument::recordChanged, this, update);
    connect(&m_document, &SurveyDocument::suggestionsChanged, this, update);

    connect(m_view, &CtalvexView::readoutChanged, m_readout, &ReadoutBar::setReadout);
    connect(m_view, &CtalvexView::statusTextsChanged, this, &CMainFrame::setStatusPanes);
    connect(m_view, &CtalvexView::contextMenuRequested, this, &CMainFrame::showContextMenu);
}

// ---------------------------------------------------------------------------
// State shown by the window

void CMainFrame::updateActions()
{
    for (const auto &[id, action] : m_actions) {
        action->setEnabled(talvex::isEnabled(id, m_document));
        if (const auto checked = isChecked(id, m_document))
            action->setChecked(*checked);
    }
    action(CommandId::ViewToolBar)->setChecked(m_firstToolBar && !m_firstToolBar->isHidden());
    action(CommandId::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    refreshIdlePrompt();
}

QString CMainFrame::idlePrompt() const
{
    const ViewState &view = m_document.view();
    if (view.showsWaveforms()) {
        const QString text = m_document.suggestions().statusText(view.currentPoint);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(kIdlePrompt);
}

void CMainFrame::refreshIdlePrompt()
{
    const QString prompt = idlePrompt();
    if (prompt == m_idlePrompt)
        return;
    // A command's prompt that shows now stays; the new idle text follows it.
    const bool idle = statusBar()->currentMessage() == m_idlePrompt;
    m_idlePrompt = prompt;
    if (idle)
        statusBar()->showMessage(prompt);
}

void CMainFrame::updateTitle()
{
    setWindowTitle(QStringLiteral("%1[*] - %2").arg(m_document.displayName(), QString::fromUtf8(kWindowTitle)));
    setWindowModified(m_document.isModified());
}

void CMainFrame::setStatusPanes(const QStringList &texts)
{
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        m_panes[i]->setText(qsizetype(i) < texts.size() ? texts[qsizetype(i)] : QString());
}

void CMainFrame::updateRecentFileMenu()
{
    const QStringList &entries = m_recent->entries();
    for (std::size_t i = 0; i < m_recentActions.size(); ++i) {
        QAction *entry = m_recentActions[i];
        const bool used = qsizetype(i) < entries.size();
        entry->setVisible(used);
        if (used)
            entry->setText(RecentFileList::menuText(int(i), entries[qsizetype(i)]));
    }
}

void CMainFrame::rememberFile(const QString &path)
{
    m_recent->add(path);
    m_settings.setRecentFiles(m_recent->entries());
    updateRecentFileMenu();
}

void CMainFrame::forgetFile(const QString &path)
{
    m_recent->remove(path);
    m_settings.setRecentFiles(m_recent->entries());
    updateRecentFileMenu();
}

std::unique_ptr<QMenu> CMainFrame::makeContextMenu(ContextMenuId kind)
{
    updateActions();
    auto menu = std::make_unique<QMenu>();
    for (const CommandId id : contextMenu(kind)) {
        if (id == CommandId::None)
            menu->addSeparator();
        else
            menu->addAction(action(id));
    }
    return menu;
}

void CMainFrame::showContextMenu(int menuKind, const QPoint &globalPos)
{
    if (menuKind < 0 || menuKind > 2)
        return;
    const auto menu = makeContextMenu(ContextMenuId(menuKind));
    menu->exec(globalPos);
}

// ---------------------------------------------------------------------------
// Documents

bool CMainFrame::maybeSave()
{
    if (!m_document.isModified())
        return true;
    // The name the title shows: "无标题" for a survey without a file.
    switch (m_saveQuestion(m_document.displayName())) {
    case QMessageBox::Yes: return save();
    case QMessageBox::No: return true;
    default: return false;
    }
}

bool CMainFrame::save()
{
    if (m_document.filePath().isEmpty())
        return saveAs();
    return m_document.save(m_document.filePath(), *m_messenger);
}

bool CMainFrame::saveAs()
{
    const QString offered
        = m_document.filePath().isEmpty() ? QString::fromUtf8(kNewDocumentName) : m_document.filePath();
    QString path = chooseFile(FileDialogKind::SaveSurveyAs, offered);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".qsw");
    if (!m_document.save(path, *m_messenger))
        return false;
    rememberFile(path);
    return true;
}

bool CMainFrame::openDocument(const QString &path)
{
    if (!maybeSave())
        return false;
    if (!m_document.load(path, *m_messenger)) {
        forgetFile(path);
        return false;
    }
    rememberFile(path);
    return true;
}

void CMainFrame::openWithDialog()
{
    if (!maybeSave())
        return;
    const QString path = chooseFile(FileDialogKind::OpenSurvey, QString());
    if (path.isEmpty())
        return;
    // The question was answered already; a second one would ask again.
    if (!m_document.load(path, *m_messenger)) {
        forgetFile(path);
        return;
    }
    rememberFile(path);
}

void CMainFrame::newSurvey()
{
    // Unsaved work is offered for saving before the hole dialog replaces it.
    if (!maybeSave())
        return;
    CEditChanShuDialog dialog(m_document, CEditChanShuDialog::Purpose::NewSurvey, *m_messenger, this);
    dialog.exec();
}

QString CMainFrame::chooseFile(FileDialogKind kind, const QString &offered)
{
    return m_fileChooser ? m_fileChooser(kind, offered) : QString();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    m_settings.setPersonnelLabel(m_document.survey().header.personnelLabel);
    m_settings.store().sync();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFileOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    const QString path = localFileOf(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    openDocument(path);
}

// ---------------------------------------------------------------------------
// Commands

void CMainFrame::runCommand(CommandId id)
{
    // A key or a stale button must not run a command its rule refuses.
    if (!talvex::isEnabled(id, m_document)) {
        updateActions();
        return;
    }
    // The editing commands throw std::bad_alloc with the survey unchanged when
    // their buffers cannot be had; the survey stays open and can be saved.
    try {
        dispatchCommand(id);
    } catch (const std::bad_alloc &) {
        m_messenger->show(QString::fromUtf8("内存不足，命令没有执行；测试数据没有改动。"), common::MessageKind::Error);
    }
    // Commands change the view state in place; the document tells the view.
    m_document.notifyViewChanged();
    updateActions();
}

void CMainFrame::dispatchCommand(CommandId id)
{
    switch (id) {
    case CommandId::FileNew:
    case CommandId::FileOpen:
    case CommandId::FileSave:
    case CommandId::FileSaveAs:
    case CommandId::ExportPointTable:
    case CommandId::ExportLayerTable:
    case CommandId::ExportWaveforms:
    case CommandId::FilePrint:
    case CommandId::FilePrintPreview:
    case CommandId::PageSetup:
    case CommandId::PrintSetup:
    case CommandId::ExportFigures:
    case CommandId::ExportFiguresButton:
    case CommandId::ExportPdfReport:
    case CommandId::AppExit: runFileCommand(id); break;
    case CommandId::Undo:
    case CommandId::EnterSurveyLog:
    case CommandId::EditHoleParameters:
    case CommandId::EditPointParameters:
    case CommandId::EditLayers:
    case CommandId::ImportRecord:
    case CommandId::ImportFolder:
    case CommandId::ImportLayers:
    case CommandId::ShowResults:
    case CommandId::ShowSoilIndices:
    case CommandId::SetTriggerPoint:
    case CommandId::InsertLayer:
    case CommandId::DeleteLayer:
    case CommandId::SuggestLayers: runEditCommand(id); break;
    case CommandId::ViewToolBar:
    case CommandId::ViewStatusBar:
    case CommandId::ShowWaveforms:
    case CommandId::ShowHistogram:
    case CommandId::ShowTimeDistance:
    case CommandId::ZoomIn:
    case CommandId::ZoomOut:
    case CommandId::ToggleSingleTrace:
    case CommandId::ShowRawRecord: runViewCommand(id); break;
    case CommandId::HelpTopics:
    case CommandId::UserManual:
    case CommandId::WebSupport:
    case CommandId::About: runHelpCommand(id); break;
    case CommandId::OnScreenKeyboard: startOnScreenKeyboard(); break;
    default: runWaveformCommand(id); break;
    }
}

void CMainFrame::runFileCommand(CommandId id)
{
    switch (id) {
    case CommandId::FileNew: newSurvey(); return;
    case CommandId::FileOpen: openWithDialog(); return;
    case CommandId::FileSave: save(); return;
    case CommandId::FileSaveAs: saveAs(); return;
    case CommandId::ExportPointTable:
    case CommandId::ExportLayerTable:
    case CommandId::ExportWaveforms: exportTable(id); return;
    case CommandId::FilePrint: printReport(); return;
    case CommandId::FilePrintPreview: previewReport(); return;
    case CommandId::PageSetup: pageSetup(); return;
    case CommandId::PrintSetup: printerSetup(); return;
    case CommandId::ExportFigures:
    case CommandId::ExportFiguresButton: exportFigures(); return;
    case CommandId::ExportPdfReport: exportPdfReport(); return;
    case CommandId::AppExit: close(); return;
    default: return;
    }
}

void CMainFrame::exportTable(CommandId id)
{
    const FileDialogKind kind = id == CommandId::ExportPointTable ? FileDialogKind::ExportPointTable
        : id == CommandId::ExportLayerTable                       ? FileDialogKind::ExportLayerTable
                                                                  : FileDialogKind::ExportWaveforms;
    const QString chosen = chooseFile(kind, offeredFileName(kind, m_document.survey()));
    if (chosen.isEmpty())
        return;
    const SurveyData &survey = m_document.survey();
    QString written;
    const common::FileError result = id == CommandId::ExportPointTable ? ExportPointTable(survey, chosen, &written)
        : id == CommandId::ExportLayerTable                            ? ExportLayerTable(survey, chosen, &written)
                                                                       : ExportWaveforms(survey, chosen, &written);
    if (!result.ok)
        m_messenger->show(QString::fromUtf8("不能写入文件 %1：%2")
                              .arg(QDir::toNativeSeparators(written.isEmpty() ? chosen : written), result.message),
                          common::MessageKind::Error);
}

// ---------------------------------------------------------------------------
// The report

namespace {

const char *const kNoPagesMessage = "页面设置中没有选择要打印的内容。";

// At most this many file names are listed in one message.
constexpr int kListedFiles = 8;

QString fileList(const QStringList &paths)
{
    QStringList shown;
    for (const QString &path : paths.mid(0, kListedFiles))
        shown.append(QDir::toNativeSeparators(path));
    if (paths.size() > kListedFiles)
        shown.append(QString::fromUtf8("……（共 %1 个文件）").arg(paths.size()));
    return shown.join(QLatin1Char('\n'));
}

// The report of the open survey with the view's page setup; the program's
// own soil patterns, whose messages reach the user like the view's.
report::ReportContext reportContext(SurveyDocument &document, const PrintSettings &settings)
{
    return report::ReportContext{document.survey(), settings, document.survey().header.personnelLabel, nullptr};
}

} // namespace

QPrinter &CMainFrame::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool CMainFrame::reportHasPages()
{
    if (!report::reportPages(m_view->printSettings(), int(m_document.survey().points.size())).empty())
        return true;
    m_messenger->show(QString::fromUtf8(kNoPagesMessage), common::MessageKind::Warning);
    return false;
}

void CMainFrame::pageSetup()
{
    CSetupPageDialog dialog(m_view->printSettings(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_view->setPrintSettings(dialog.settings());
}

void CMainFrame::printReport()
{
    if (!reportHasPages())
        return;
    const int pages = int(report::reportPages(m_view->printSettings(), int(m_document.survey().points.size())).size());
    QPrinter &target = printer();
    QPrintDialog dialog(&target, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, pages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int from = 1;
    int to = 0; // the last page
    if (target.printRange() == QPrinter::PageRange && target.fromPage() > 0) {
        from = target.fromPage();
        to = target.toPage();
    }
    report::ReportContext context = reportContext(m_document, m_view->printSettings());
    QString error;
    if (!report::paintReport(target, context, from, to, &error))
        m_messenger->show(QString::fromUtf8("打印失败：%1").arg(error), common::MessageKind::Error);
}

void CMainFrame::previewReport()
{
    if (!reportHasPages())
        return;
    QPrintPreviewDialog dialog(&printer(), this);
    dialog.setWindowTitle(QString::fromUtf8("打印预览"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        report::ReportContext context = reportContext(m_document, m_view->printSettings());
        report::paintReport(*target, context);
    });
    dialog.resize(size() * 9 / 10);
    dialog.exec();
}

void CMainFrame::printerSetup()
{
    QPageSetupDialog dialog(&printer(), this);
    dialog.setWindowTitle(QString::fromUtf8("打印设置"));
    dialog.exec();
}

void CMainFrame::exportFigures()
{
    if (!reportHasPages())
        return;
    const QString base = chooseFile(FileDialogKind::ExportFigures, QString());
    if (base.isEmpty())
        return;
    report::ReportContext context = reportContext(m_document, m_view->printSettings());
    // The base names no file; the question is about the figures it replaces.
    QStringList existing;
    for (const report::Figure &figure :
         report::figureList(base, context.settings, int(m_document.survey().points.size())))
        if (QFileInfo::exists(figure.path))
            existing.append(figure.path);
    if (!existing.isEmpty()
        && !m_messenger->ask(QString::fromUtf8("以下文件已存在：\n%1\n要替换它们吗？").arg(fileList(existing)),
                             QString::fromUtf8("保存数据图形文件")))
        return;
    const report::FigureExportResult result = report::ExportFigures(base, context);
    if (!result.failed.isEmpty())
        m_messenger->show(QString::fromUtf8("以下图形文件不能写入：\n%1").arg(fileList(result.failed)),
                          common::MessageKind::Error);
}

void CMainFrame::exportPdfReport()
{
    if (!reportHasPages())
        return;
    QString path = chooseFile(FileDialogKind::ExportPdfReport, QString());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    report::ReportContext context = reportContext(m_document, m_view->printSettings());
    QString error;
    if (!report::WritePdfReport(path, context, &error))
        m_messenger->show(QString::fromUtf8("不能写入文件 %1：%2").arg(QDir::toNativeSeparators(path), error),
                          common::MessageKind::Error);
}

void CMainFrame::runEditCommand(CommandId id)
{
    SurveyData &survey = m_document.survey();
    ViewState &view = m_document.view();
    switch (id) {
    case CommandId::Undo: m_document.Undo(); return;
    case CommandId::EnterSurveyLog: {
        CEditChenDialog dialog(m_document, *m_messenger, this);
        dialog.exec();
        return;
    }
    case CommandId::EditHoleParameters: {
        CEditChanShuDialog dialog(m_document, CEditChanShuDialog::Purpose::EditHole, *m_messenger, this);
        dialog.exec();
        return;
    }
    case CommandId::EditPointParameters: {
        CEditDaoDialog dialog(m_document, *m_messenger, this);
        dialog.exec();
        return;
    }
    case CommandId::EditLayers: {
        CEditZhuDialog dialog(m_document, *m_messenger, this);
        dialog.exec();
        return;
    }
    case CommandId::ImportRecord: importRecord(); return;
    case CommandId::ImportFolder: importFolder(); return;
    case CommandId::ImportLayers: importLayers(); return;
    case CommandId::ShowResults: {
        EChengGuoDialog dialog(survey, this);
        dialog.exec();
        return;
    }
    case CommandId::ShowSoilIndices: {
        EWUXINGZHIBIAO dialog(*m_messenger, this);
        dialog.exec();
        return;
    }
    case CommandId::SetTriggerPoint:
        if (SetTriggerPoint(m_document.record(), view))
            m_document.notifyRecordChanged();
        return;
    case CommandId::InsertLayer: InsertLayer(survey, view, *m_messenger); return;
    case CommandId::DeleteLayer: DeleteLayer(survey, view, *m_messenger); return;
    case CommandId::SuggestLayers: suggestLayers(); return;
    default: return;
    }
}

void CMainFrame::importRecord()
{
    const QString path = chooseFile(FileDialogKind::ImportRecord, QString());
    if (path.isEmpty())
        return;
    // The buffer is cleared even when the file cannot be read: the view shows
    // what is in it.
    ReadFieldRecord(path, m_document.record(), *m_messenger);
    m_document.view().selectedChannel = 1;
    m_document.notifyRecordChanged();
    m_view->showRawRecord();
}

void CMainFrame::importFolder()
{
    CSelectChannelDlg channelDialog(this);
    if (channelDialog.exec() != QDialog::Accepted)
        return;
    const int channel = channelDialog.channel();
    const QString folder = askRecordFolder(this);
    if (folder.isEmpty())
        return;
    const RecordFolderIndex index(QFile::encodeName(folder));
    FolderImportProgressDialog progress(this);
    const FolderImportResult result
        = ImportFolder(m_document.survey(), m_document.record(), index, channel, *m_messenger, progress.callback());
    ViewState &view = m_document.view();
    if (result.currentPoint > 0) {
        view.currentPoint = result.currentPoint;
        view.selectedChannel = result.selectedChannel;
    }
    m_document.notifyRecordChanged();
    // Reading a record shows it: the import ends on the last record it read,
    // in the raw-record mode, as the single-record import does.
    if (result.currentPoint > 0)
        m_view->showRawRecord();
    else
        m_document.notifyViewChanged();
}

void CMainFrame::importLayers()
{
    const QString path = chooseFile(FileDialogKind::ImportLayers, QString());
    if (!path.isEmpty())
        m_document.importLayers(path, *m_messenger);
}

void CMainFrame::runWaveformCommand(CommandId id)
{
    SurveyData &survey = m_document.survey();
    ViewState &view = m_document.view();
    WaveformEditor &editor = m_document.editor();
    switch (id) {
    case CommandId::SetSArrival: SetSArrival(survey, view); return;
    case CommandId::SetPArrival: SetPArrival(survey, view); return;
    case CommandId::SetRArrival: SetRArrival(survey, view); return;
    case CommandId::ToggleArrivalSuggestions: m_document.setSuggestionsShown(!m_document.suggestions().shown()); return;
    case CommandId::AcceptArrivalSuggestion: acceptArrivalSuggestion(); return;
    case CommandId::AcceptAllArrivalSuggestions: acceptAllArrivalSuggestions(); return;
    case CommandId::ZeroBeforeCursor: editor.ZeroBeforeCursor(); return;
    case CommandId::ZeroAfterCursor: editor.ZeroAfterCursor(); return;
    case CommandId::DigitalFilter: {
        CLuBoDialog dialog(m_document.editing().filter, *m_messenger, editor.targetInterval(), this);
        if (dialog.exec() == QDialog::Accepted)
            editor.FilterTrace(dialog.settings());
        return;
    }
    case CommandId::ShowSpectrum: editor.ShowSpectrum(); return;
    case CommandId::SmoothTrace: {
        CPointNumDialog dialog(m_document.editing().smoothWindow, *m_messenger, this);
        if (dialog.exec() == QDialog::Accepted)
            editor.SmoothTrace(dialog.value());
        return;
    }
    case CommandId::RemoveTraceDC: editor.RemoveTraceDC(); return;
    case CommandId::ShiftEarlier: editor.ShiftEarlier(); return;
    case CommandId::ShiftLater: editor.ShiftLater(); return;
    case CommandId::InvertTrace: editor.InvertTrace(); return;
    case CommandId::InvertAllPoints: editor.InvertAllPoints(); return;
    case CommandId::ShiftEarlierTen: editor.ShiftEarlierTen(); return;
    case CommandId::ShiftLaterTen: editor.ShiftLaterTen(); return;
    case CommandId::SetPositiveTrace: editor.SetPositiveTrace(); return;
    case CommandId::SetNegativeTrace: editor.SetNegativeTrace(); return;
    case CommandId::CompressDisplay:
        if (editor.CompressDisplay(*m_messenger))
            m_document.notifyRecordChanged();
        return;
    case CommandId::ExpandDisplay:
        if (editor.ExpandDisplay(*m_messenger))
            m_document.notifyRecordChanged();
        return;
    case CommandId::RestoreDisplay:
        if (editor.RestoreDisplay())
            m_document.notifyRecordChanged();
        return;
    case CommandId::InsertPoint: InsertPoint(survey, view, m_document.undo()); return;
    case CommandId::DeletePoint: DeletePoint(survey, view, m_document.undo()); return;
    case CommandId::SortPoints: SortPointsByDepth(survey); return;
    case CommandId::RecalculateAll:
        RecalculateAllVelocities(survey);
        survey.markModified(SurveyParts::Points);
        return;
    case CommandId::ReviewIntervals: reviewIntervals(); return;
    default: return;
    }
}

void CMainFrame::reviewIntervals()
{
    if (!m_intervalReview) {
        m_intervalReview = new IntervalReviewDialog(this);
        connect(m_intervalReview, &IntervalReviewDialog::pointChosen, m_view, &CtalvexView::showPoint);
        connect(m_intervalReview, &QDialog::finished, this, [this] { m_view->setFlaggedPoints({}); });
        connect(&m_document, &SurveyDocument::pointsChanged, this, [this] {
            if (m_intervalReview->isVisible())
                refreshIntervalCheck();
        });
        // Shown suggestions arrive from the worker; their uncertainties count.
        connect(&m_document, &SurveyDocument::suggestionsChanged, this, [this] {
            if (m_intervalReview->isVisible()) {
                m_uncertaintyFingerprints.clear();
                refreshIntervalCheck();
            }
        });
    }
    m_intervalReview->show();
    m_intervalReview->raise();
    refreshIntervalCheck();
}

void CMainFrame::refreshIntervalCheck()
{
    const SurveyData &survey = m_document.survey();
    // The uncertainties come from the suggestions, which depend on the
    // traces only: a pick keeps them, an edit of the traces computes them
    // again. Shown suggestions are taken as far as the worker has computed
    // them (a point still pending counts one sample) and again as they come.
    std::vector<std::size_t> fingerprints;
    fingerprints.reserve(survey.points.size());
    for (const TlvOne &point : survey.points)
        fingerprints.push_back(suggestionInputFingerprint(point));
    if (fingerprints != m_uncertaintyFingerprints || m_pickUncertaintiesMs.size() != survey.points.size()) {
        const ArrivalSuggestions &shown = m_document.suggestions();
        m_pickUncertaintiesMs = PickUncertaintiesMs(survey, shown.shown() ? *shown.current() : SuggestArrivals(survey));
        m_uncertaintyFingerprints = std::move(fingerprints);
    }
    if (!m_alignments)
        m_alignments = std::make_unique<NeighbourAlignments>();
    const IntervalCheck check = CheckIntervals(survey, m_alignments->update(survey), m_pickUncertaintiesMs);
    m_intervalReview->setCheck(check);
    m_view->setFlaggedPoints(check.flaggedPoints);
}

void CMainFrame::acceptArrivalSuggestion()
{
    SurveyData &survey = m_document.survey();
    ViewState &view = m_document.view();
    const std::optional<ArrivalSuggestion> suggestion = m_document.suggestions().forPoint(view.currentPoint - 1);
    if (!suggestion || !isAcceptable(*suggestion, 0.0))
        return;
    const int sample = suggestion->sample;
    // The pick replaces whatever the engineer had picked by hand, so it can
    // be undone; then it runs as 设为S波初至 with the cursor on the suggested
    // sample (the point's and the next point's velocities follow).
    m_document.undo().TakeUndoSnapshot(survey);
    view.cursorX = kWaveformOriginX + sample;
    SetSArrival(survey, view);
}

void CMainFrame::acceptAllArrivalSuggestions()
{
    PickQualityDialog dialog(m_minSuggestionQuality, *m_messenger, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_minSuggestionQuality = dialog.value();
    SurveyData &survey = m_document.survey();
    // A snapshot: the picks below change the points, which never changes a
    // snapshot already handed out.
    const ArrivalSuggestions::Snapshot suggestions = m_document.suggestions().current();
    // Picks already made stay unless the engineer ticked 替换已有的拾取; one
    // undo snapshot covers whatever changed.
    const AppliedSuggestions applied = AcceptArrivalSuggestions(
        survey, *suggestions, double(m_minSuggestionQuality),
        dialog.replaceExisting() ? ExistingPicks::Replace : ExistingPicks::Keep, &m_document.undo());
    const QString quality = QString::number(double(m_minSuggestionQuality), 'f', 2);
    if (applied.filled + applied.replaced > 0) {
        QString text = QString::fromUtf8("已采用 %1 个测点的拾取建议（质量不低于 %2）")
                           .arg(applied.filled + applied.replaced)
                           .arg(quality);
        text += QString::fromUtf8("：填入 %1 个，替换 %2 个").arg(applied.filled).arg(applied.replaced);
        if (applied.kept > 0)
            text += QString::fromUtf8("，保留已有拾取 %1 个").arg(applied.kept);
        m_messenger->show(text + QString::fromUtf8("。"), common::MessageKind::Information);
    } else if (applied.kept > 0) {
        m_messenger->show(
            QString::fromUtf8(
                "已有拾取的 %1 个测点保持不变（要替换请勾选“替换已有的拾取”），没有未拾取的测点可以填入。")
                .arg(applied.kept),
            common::MessageKind::Information);
    } else {
        m_messenger->show(QString::fromUtf8("没有质量不低于 %1 的拾取建议，未作改动。").arg(quality),
                          common::MessageKind::Information);
    }
}

void CMainFrame::suggestLayers()
{
    SurveyData &survey = m_document.survey();
    const LayerSuggestion suggestion = SuggestLayers(survey);
    if (!suggestion.ok()) {
        m_messenger->show(suggestion.problem, common::MessageKind::Warning);
        return;
    }
    LayerSuggestionDialog dialog(suggestion, int(survey.layers.size()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Asks before replacing the layers there are; the layers' change reaches
    // the histogram and the layer dialogs through the document.
    AcceptLayerSuggestion(survey, suggestion, *m_messenger);
}

void CMainFrame::runViewCommand(CommandId id)
{
    switch (id) {
    case CommandId::ViewToolBar: {
        const bool show = m_firstToolBar->isHidden();
        m_firstToolBar->setVisible(show);
        m_readoutToolBar->setVisible(show);
        m_secondToolBar->setVisible(show);
        return;
    }
    case CommandId::ViewStatusBar: statusBar()->setVisible(statusBar()->isHidden()); return;
    case CommandId::ShowWaveforms: m_view->showMultiTrace(); return;
    case CommandId::ShowHistogram: m_view->showVelocityHistogram(); return;
    case CommandId::ShowTimeDistance: m_view->showTimeDistance(); return;
    case CommandId::ZoomIn: m_view->zoomIn(); return;
    case CommandId::ZoomOut: m_view->zoomOut(); return;
    case CommandId::ToggleSingleTrace: m_view->toggleSingleTrace(); return;
    case CommandId::ShowRawRecord: m_view->showRawRecord(); return;
    default: return;
    }
}

void CMainFrame::runHelpCommand(CommandId id)
{
    const auto openFile = [this](const QString &path) { return m_urlOpener(QUrl::fromLocalFile(path)); };
    switch (id) {
    case CommandId::HelpTopics:
        openProgramDocument(ProgramDocument::Help, m_programFolder, openFile, *m_messenger);
        return;
    case CommandId::UserManual:
        openProgramDocument(ProgramDocument::Manual, m_programFolder, openFile, *m_messenger);
        return;
    case CommandId::WebSupport:
        if (!m_urlOpener(QUrl(QString::fromUtf8(kSupportAddress))))
            m_messenger->show(QString::fromUtf8("不能打开网页 %1").arg(QString::fromUtf8(kSupportAddress)),
                              common::MessageKind::Warning);
        return;
    case CommandId::About: {
        CAboutDlg dialog(this);
        dialog.exec();
        return;
    }
    default: return;
    }
}

void CMainFrame::startOnScreenKeyboard()
{
    QString error;
    if (!platform::startOnScreenKeyboard(m_settings.onScreenKeyboardProgram(), &error))
        m_messenger->show(error, common::MessageKind::Warning);
}

} // namespace talvex
