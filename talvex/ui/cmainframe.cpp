#include "talvex/ui/cmainframe.h"

#include "common/commandtables.h"

#include "talvex/analysis/intervalcheck.h"
#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/commandicons.h"
#include "talvex/ui/view/ctalvexview.h"
#include "talvex/ui/dialogs/filedialogs.h"
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

    // The view keeps its zoom and page setup in the window's own store (a
    // window given an INI file must not read or write the program's store).
    m_view = m_settings.iniFile().isEmpty() ? new CtalvexView(document, this)
                                            : new CtalvexView(document, m_settings.iniFile(), this);
    setCentralWidget(m_view);
    m_readout = new ReadoutBar(this);

    bindCommands();
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

void CMainFrame::bindCommands()
{
    for (CommandBinding &binding : commandBindings()) {
        // A second row for the same command is a slip of the table: the first
        // one stays, and doublyBoundCommands() names it.
        if (!m_handlers.emplace(binding.id, std::move(binding.run)).second)
            m_doublyBound.push_back(binding.id);
    }
}

std::vector<CommandId> CMainFrame::unhandledCommands() const
{
    return common::commandsWithoutHandler(allCommands(), m_handlers);
}

bool CMainFrame::hasOperation(CommandId id) const
{
    const auto found = m_handlers.find(id);
    return found != m_handlers.end() && found->second;
}

void CMainFrame::runCommand(CommandId id)
{
    // A key or a stale button must not run a command its rule refuses.
    if (!talvex::isEnabled(id, m_document)) {
        updateActions();
        return;
    }
    const auto handler = m_handlers.find(id);
    if (handler == m_handlers.end() || !handler->second) {
        // Says so rather than doing nothing: a command that runs nothing is a
        // fault of the program, not something the user did.
        const QString caption = QString::fromUtf8(commandInfo(id).caption);
        const QString name
            = caption.isEmpty() ? QString::number(int(id)) : QStringLiteral("%1（%2）").arg(int(id)).arg(caption);
        const QString text = QString::fromUtf8("命令 %1 没有处理程序，未执行。").arg(name);
        qWarning("%s", qUtf8Printable(text));
        m_messenger->show(text, common::MessageKind::Warning);
        return;
    }
    // The editing commands throw std::bad_alloc with the survey unchanged when
    // their buffers cannot be had; the survey stays open and can be saved.
    try {
        handler->second();
    } catch (const std::bad_alloc &) {
        m_messenger->show(QString::fromUtf8("内存不足，命令没有执行；测试数据没有改动。"), common::MessageKind::Error);
    }
    // Commands change the view state in place; the document tells the view.
    m_document.notifyViewChanged();
    updateActions();
}

} // namespace talvex
