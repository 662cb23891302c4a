#include "sedra/ui/cmainframe.h"

#include "common/commandtables.h"

#include "common/platform/onscreenkeyboard.h"
#include "common/platform/singleinstance.h"
#include "sedra/card/acquisitioncard.h"
#include "sedra/core/sedrasettings.h"
#include "sedra/core/threecomponentreader.h"
#include "sedra/core/threecomponentwriter.h"
#include "sedra/render/hvpainter.h"
#include "sedra/render/printedpage.h"
#include "sedra/render/snapshotrenderer.h"
#include "sedra/ui/clvbodlg.h"
#include "sedra/ui/cdeploydlg.h"
#include "sedra/ui/cprintset.h"
#include "sedra/ui/csedraview.h"
#include "sedra/ui/hvview.h"
#include "sedra/ui/waitdialog.h"

#include <utility>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace sedra {

namespace {
constexpr int kRecentFiles = 4;
const QString kRecentSection = QStringLiteral("Recent File List");
const QString kAppTitle = QStringLiteral("地脉动采集分析系统");
const QString kCwdFilter = QStringLiteral("数据文件  (*.cwd)");
const QString kBmpFilter = QStringLiteral("(*.bmp)");
const QString kPdfFilter = QStringLiteral("打印页面 PDF 文件 (*.pdf)");
} // namespace

CMainFrame::CMainFrame(common::SettingsStore &store, common::Messenger &messenger, QWidget *parent)
    : QMainWindow(parent),
      m_store(store),
      m_messenger(messenger),
      m_parameters(SedraSettings::load(store)),
      m_printer(QPrinter::HighResolution)
{
    m_stack = new QStackedWidget(this);
    m_view = new CSEDRAView(m_document, m_stack);
    m_hvView = new HvView(m_stack);
    m_stack->addWidget(m_view);
    m_stack->addWidget(m_hvView);
    setCentralWidget(m_stack);
    connect(&m_longJob, &LongAcquisitionJob::blockCompleted, this, [this](const LongAcquisitionProgress &p) {
        m_hvView->appendLive(p.added);
        const double dt = p.added.sampleInterval;
        showStatus(QStringLiteral("长时间采集：已采集 %1 / %2 s%3")
                       .arg(double(p.samplesSoFar) * dt, 0, 'f', 0)
                       .arg(double(p.totalSamples) * dt, 0, 'f', 0)
                       .arg(m_hvView->dataSufficient() ? QStringLiteral("，数据已足够，可以结束采集") : QString()));
    });
    connect(&m_longJob, &LongAcquisitionJob::finished, this, &CMainFrame::hvRecordingFinished);
    m_wait = new WaitDialog(this);
    m_wait->setModal(true);
    connect(m_wait, &WaitDialog::cancelRequested, &m_job, &AcquisitionJob::cancel);
    connect(&m_job, &AcquisitionJob::finished, m_wait, &QDialog::accept);
    connect(&m_job, &AcquisitionJob::finished, this,
            [this](const Acquisition &acquisition) { m_lastAcquisition = acquisition; });
    connect(&m_document, &SedraDocument::changed, this, &CMainFrame::updateStatus);

    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString path = m_store.readText(kRecentSection, QStringLiteral("File%1").arg(i), {});
        if (!path.isEmpty())
            m_recent << path;
    }
    createActions();
    setAcceptDrops(true);
    m_view->setFocus();
    updateActions();
    updateTitle();
    updateStatus();
}

CMainFrame::~CMainFrame()
{
    m_job.cancel();
    m_job.wait();
    m_longJob.cancel();
    m_longJob.wait();
    SedraSettings::save(m_store, m_parameters);
}

QAction *CMainFrame::action(CommandId id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

std::vector<CMainFrame::CommandBinding> CMainFrame::commandBindings()
{
    // One row per command of the table (commandtable.h); `on` is the new
    // check state of a checkable command.
    return {
        {CommandId::Open, [this](bool) { open(); }},
        {CommandId::Save, [this](bool) { saveDocument(); }},
        {CommandId::SaveAs, [this](bool) { saveDocument(); }},
        {CommandId::SaveAcquisition, [this](bool) { saveAcquisition(); }},
        {CommandId::Print, [this](bool) { print(); }},
        {CommandId::PrintPreview, [this](bool) { printPreview(); }},
        {CommandId::PageSetup, [this](bool) { pageSetup(); }},
        {CommandId::ExportText, [this](bool) { exportText(); }},
        {CommandId::Snapshot, [this](bool) { snapshot(); }},
        // The place of the recent-file submenu; its entries open their files.
        {CommandId::RecentFiles, nullptr},
        {CommandId::Exit, [this](bool) { close(); }},
        {CommandId::ToolBar, [this](bool on) { m_toolBar->setVisible(on); }},
        {CommandId::StatusBar, [this](bool on) { statusBar()->setVisible(on); }},
        {CommandId::Configure, [this](bool) { configure(); }},
        {CommandId::StartSampling, [this](bool) { startSampling(); }},
        {CommandId::PrintInfo,
         [this](bool on) {
             m_document.printInfo().showTestInfo = on;
             m_view->update();
         }},
        {CommandId::PrintSettings, [this](bool) { printSettings(); }},
        {CommandId::DigitalFilter, [this](bool) { digitalFilter(); }},
        {CommandId::SmartKeyboard, [this](bool on) { m_parameters.keyboard = on ? 1 : 0; }},
        {CommandId::OpenKeyboard, [this](bool) { openKeyboard(); }},
        {CommandId::HvMode, [this](bool on) { setHvMode(on); }},
        {CommandId::OpenThreeComponent, [this](bool) { openThreeComponentFiles(); }},
        {CommandId::HvRecording, [this](bool) { askHvRecording(); }},
        {CommandId::HvStop, [this](bool) { stopHvRecording(); }},
        {CommandId::HelpTopics, [this](bool) { openManual(common::ManualForm::Html); }},
        {CommandId::UserManual, [this](bool) { openManual(common::ManualForm::Pdf); }},
        {CommandId::About, [this](bool) { about(); }},
    };
}

std::vector<CommandId> CMainFrame::unhandledCommands() const
{
    return common::commandsWithoutHandler(allCommands(), m_handlers);
}

void CMainFrame::runCommand(CommandId id, bool checked)
{
    const auto handler = m_handlers.find(id);
    if (handler == m_handlers.end() || !handler->second) {
        // A command that runs nothing is a fault of the program; say so.
        const QString caption = QString::fromUtf8(commandInfo(id).caption);
        const QString name
            = caption.isEmpty() ? QString::number(int(id)) : QStringLiteral("%1（%2）").arg(int(id)).arg(caption);
        const QString text = QStringLiteral("命令 %1 没有处理程序，未执行。").arg(name);
        qWarning("%s", qUtf8Printable(text));
        m_messenger.show(text, common::MessageKind::Warning);
        return;
    }
    handler->second(checked);
}

void CMainFrame::createActions()
{
    // A second row for the same command is a slip of the table: the first
    // one stays, and doublyBoundCommands() names it.
    for (CommandBinding &binding : commandBindings())
        if (!m_handlers.emplace(binding.id, std::move(binding.run)).second)
            m_doublyBound.push_back(binding.id);

    QStyle *st = style();
    for (const CommandInfo &info : allCommands()) {
        if (info.id == CommandId::RecentFiles)
            continue; // a submenu, built from the recent-file list
        auto *a = new QAction(QString::fromUtf8(info.caption), this);
        a->setStatusTip(QString::fromUtf8(info.statusPrompt));
        if (info.key != QKeySequence::UnknownKey)
            a->setShortcut(QKeySequence(info.key));
        if (info.icon)
            a->setIcon(st->standardIcon(*info.icon));
        a->setCheckable(info.checkable);
        const CommandId id = info.id;
        connect(a, &QAction::triggered, this, [this, id](bool checked) { runCommand(id, checked); });
        m_actions.emplace(id, a);
    }
    action(CommandId::StatusBar)->setChecked(true);
    action(CommandId::ToolBar)->setChecked(true);

    for (const MenuDefinition &definition : mainMenu()) {
        if (definition.command != CommandId::None) {
            menuBar()->addAction(action(definition.command));
            continue;
        }
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(definition.title));
        for (const CommandId id : definition.entries) {
            if (id == CommandId::None)
                menu->addSeparator();
            else if (id == CommandId::RecentFiles)
                m_recentMenu = menu->addMenu(QString::fromUtf8(commandInfo(id).caption));
            else
                menu->addAction(action(id));
        }
    }

    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    for (const CommandId id : toolBar()) {
        if (id == CommandId::None)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(action(id));
    }
    // The bar can also be closed from the window's own menu of bars.
    connect(m_toolBar, &QToolBar::visibilityChanged, this,
            [this] { action(CommandId::ToolBar)->setChecked(!m_toolBar->isHidden()); });

    // A command's prompt shows while its entry is highlighted; then the
    // window's own text (就绪, the record's analysis) returns.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString &message) {
        if (message.isEmpty() && !m_statusText.isEmpty())
            statusBar()->showMessage(m_statusText);
    });
    showStatus(QStringLiteral("就绪"));
    rebuildRecentMenu();
}

void CMainFrame::showStatus(const QString &text)
{
    m_statusText = text;
    statusBar()->showMessage(text);
}

CommandState CMainFrame::commandState() const
{
    CommandState state;
    state.cardPresent = m_cardPresent;
    state.acquiring = m_job.isRunning() || m_longJob.isRunning();
    state.hvMode = m_hvMode;
    state.hvRecording = m_longJob.isRunning();
    state.hasSamples = m_document.record().hasSamples();
    state.showTestInfo = m_document.printInfo().showTestInfo;
    state.smartKeyboard = m_parameters.keyboard != 0;
    return state;
}

void CMainFrame::updateActions()
{
    const CommandState state = commandState();
    for (const auto &[id, a] : m_actions) {
        a->setEnabled(sedra::isEnabled(id, state));
        if (const auto checked = isChecked(id, state))
            a->setChecked(*checked);
    }
}

void CMainFrame::updateTitle()
{
    const QString name = m_documentPath.isEmpty() ? QStringLiteral("无标题") : QFileInfo(m_documentPath).fileName();
    setWindowTitle(QStringLiteral("%1 - %2").arg(name, kAppTitle));
}

void CMainFrame::updateStatus()
{
    updateActions();
    const auto channels = analyse(m_document);
    if (channels.isEmpty())
        return;
    QStringList parts;
    const QStringList names{QStringLiteral("第一道"), QStringLiteral("第二道"), QStringLiteral("第三道")};
    for (const ChannelAnalysis &c : channels)
        parts << QStringLiteral("%1 Fm %2Hz 卓越周期 %3s")
                     .arg(names.value(c.channel - 1))
                     .arg(QString::asprintf("%.2f", double(c.peakFrequency)))
                     .arg(c.period);
    showStatus(parts.join(QStringLiteral("    ")));
}

void CMainFrame::attachCard(std::unique_ptr<PortIo> io, const QString &note, platform::SingleInstance *instance)
{
    m_card = std::move(io);
    m_cardPresent = m_card && DetectCard(*m_card);
    if (!m_cardPresent) {
        if (instance)
            instance->release();
        const QString why = note.isEmpty() ? QStringLiteral("未检测到采集卡，不能采集数据。") : note;
        showStatus(why);
        if (!note.isEmpty())
            m_messenger.show(why, common::MessageKind::Warning);
    }
    updateActions();
}

QString CMainFrame::chooseFile(FileRequest request, const QString &proposed, QString *selectedFilter)
{
    if (m_chooser)
        return m_chooser(request, proposed, selectedFilter);
    QFileDialog dialog(this);
    // A folder proposed (the working folder for opening) is the one shown;
    // a file is proposed by name in its folder.
    const QFileInfo proposedInfo(proposed);
    if (proposedInfo.isDir()) {
        dialog.setDirectory(proposedInfo.absoluteFilePath());
    } else {
        dialog.selectFile(proposed);
        dialog.setDirectory(proposedInfo.absolutePath());
    }
    switch (request) {
    case FileRequest::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({kCwdFilter, QStringLiteral("所有文件 (*)")});
        break;
    case FileRequest::SaveAcquisition:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setWindowTitle(QStringLiteral("保存本次数据文件"));
        dialog.setNameFilter(QStringLiteral("地脉动测试现场数据文件 (*.CWD *.cwd)"));
        dialog.setDefaultSuffix(QStringLiteral("cwd"));
        break;
    case FileRequest::SaveDocument:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(kCwdFilter);
        dialog.setDefaultSuffix(QStringLiteral("cwd"));
        break;
    case FileRequest::ExportText:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setWindowTitle(QStringLiteral("保存数据文本文件"));
        dialog.setNameFilter(QStringLiteral("Qelvorn剪切波单道数据文本文件 (*.TXT *.txt)"));
        break;
    case FileRequest::Snapshot:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({kBmpFilter, kPdfFilter});
        dialog.setDefaultSuffix(QStringLiteral("bmp"));
        connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &f) {
            dialog.setDefaultSuffix(f == kPdfFilter ? QStringLiteral("pdf") : QStringLiteral("bmp"));
        });
        break;
    case FileRequest::OpenThreeComponent:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setWindowTitle(QStringLiteral("打开三分量记录（一个文件，或每个分量一个文件）"));
        dialog.setNameFilters({QStringLiteral("三分量记录 (*.mseed *.miniseed *.msd *.sac *.SAC *.sg2 *.seg2 *.dat "
                                              "*.cwd *.CWD *.txt *.TXT)"),
                               QStringLiteral("所有文件 (*)")});
        break;
    case FileRequest::SaveMiniSeed:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setWindowTitle(QStringLiteral("保存长时间采集的记录"));
        dialog.setNameFilter(QStringLiteral("miniSEED 文件 (*.mseed)"));
        dialog.setDefaultSuffix(QStringLiteral("mseed"));
        break;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    if (request == FileRequest::OpenThreeComponent)
        return dialog.selectedFiles().join(QLatin1Char('\n'));
    return dialog.selectedFiles().constFirst();
}

void CMainFrame::keyboardBeforeTextEntry()
{
    if (!m_parameters.keyboard)
        return;
    QString error;
    if (!platform::startOnScreenKeyboard(QString(), &error))
        statusBar()->showMessage(error, 5000);
}

bool CMainFrame::openFile(const QString &path)
{
    if (!m_document.isSaved()
        && !m_messenger.ask(QStringLiteral("当前数据未保存，是否继续打开文件？"), QStringLiteral("提示")))
        return false;
    if (!m_document.load(path, m_messenger)) {
        m_recent.removeAll(path);
        rebuildRecentMenu();
        return false;
    }
    m_documentPath = path;
    addRecent(path);
    updateTitle();
    return true;
}

void CMainFrame::open()
{
    const QString path = chooseFile(FileRequest::Open, m_documentPath.isEmpty() ? QDir::currentPath() : m_documentPath);
    if (!path.isEmpty())
        openFile(path);
}

bool CMainFrame::startSampling()
{
    if (!m_cardPresent || m_job.isRunning())
        return false;
    if (!m_document.isSaved()
        && !m_messenger.ask(QStringLiteral("当前数据未保存是否继续采样？"), QStringLiteral("提示")))
        return false;
    AcquisitionParameters p;
    p.interval = m_parameters.sampinterval;
    p.delay = m_parameters.delayTime;
    p.gain = m_parameters.opamtime;
    p.samples = m_parameters.samplenth;
    p.channels = m_parameters.channel;
    const ReadyLimit limit = m_fixedLimit ? m_readyLimit : readyLimitFor(p);
    m_wait->setText(QStringLiteral("正在采集。。。"));
    // Progress and time left from the samples in so far and the interval.
    QElapsedTimer elapsed;
    const auto showProgress = [&] {
        const int read = m_job.samplesRead();
        m_wait->setProgress(read, p.samples,
                            acquisitionTimeLeft(p, read, std::chrono::milliseconds(elapsed.elapsed())));
    };
    QTimer ticker;
    ticker.setInterval(200);
    connect(&ticker, &QTimer::timeout, m_wait, showProgress);
    elapsed.start();
    m_lastAcquisition.reset();
    m_job.start(*m_card, p, limit);
    showProgress();
    ticker.start();
    updateActions();
    m_wait->exec(); // the window stays responsive; the job's end closes it
    ticker.stop();
    m_job.wait(); // the worker has ended and handed its acquisition over
    updateActions();
    if (!m_lastAcquisition)
        return false;
    const Acquisition acquisition = *std::exchange(m_lastAcquisition, std::nullopt);
    switch (acquisition.result.outcome) {
    case AcquisitionOutcome::Done:
        m_document.takeAcquisition(*acquisition.raw, m_parameters, QDateTime::currentDateTime());
        m_documentPath.clear();
        updateTitle();
        m_view->update();
        return true;
    case AcquisitionOutcome::NeverReady:
        m_messenger.show(QStringLiteral("采集卡没有响应，已停止采集，本次数据未保留。"), common::MessageKind::Error);
        return false;
    case AcquisitionOutcome::Cancelled:
        statusBar()->showMessage(QStringLiteral("已取消采集，本次数据未保留。"), 5000);
        return false;
    }
    return false;
}

void CMainFrame::configure()
{
    keyboardBeforeTextEntry();
    CDeployDlg dialog(m_parameters, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_parameters = dialog.parameters();
    m_document.setSiteName(m_parameters.projectName);
    SedraSettings::save(m_store, m_parameters);
}

void CMainFrame::saveAcquisition()
{
    // Nothing acquired (or the acquisition was cancelled): no folder, no
    // dialog, no file.
    if (!m_document.hasAcquiredData()) {
        m_messenger.show(SedraDocument::noAcquiredDataMessage(), common::MessageKind::Warning);
        return;
    }
    const QString folder = m_document.acquisitionFolder(QDir::currentPath(), m_parameters, m_messenger);
    if (folder.isEmpty())
        return;
    keyboardBeforeTextEntry();
    const QString path = chooseFile(FileRequest::SaveAcquisition,
                                    QDir(folder).filePath(m_document.proposedAcquisitionName(m_parameters)));
    if (path.isEmpty())
        return;
    if (m_document.saveAcquisition(path, m_messenger))
        addRecent(path);
}

void CMainFrame::saveDocument()
{
    const QString path
        = chooseFile(FileRequest::SaveDocument,
                     m_documentPath.isEmpty() ? QDir::current().filePath(QStringLiteral("SEDRA.cwd")) : m_documentPath);
    if (path.isEmpty() || !m_document.store(path, m_messenger))
        return;
    m_documentPath = path;
    addRecent(path);
    updateTitle();
}

void CMainFrame::exportText()
{
    if (!m_document.record().hasSamples()
        && !m_messenger.ask(QStringLiteral("当前没有数据,是否继续生成 ？ "), QStringLiteral("提示")))
        return;
    QString path = chooseFile(FileRequest::ExportText, QDir::currentPath());
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        path += QLatin1String(".txt");
    m_document.exportText(path, m_messenger);
}

void CMainFrame::snapshot()
{
    if (!m_document.record().hasSamples()
        && !m_messenger.ask(QStringLiteral("当前没有数据,是否继续生成图片 ？ "), QStringLiteral("提示")))
        return;
#ifdef Q_OS_WIN
    const QString folder = QStringLiteral("c:/");
#else
    const QString folder = QDir::homePath();
#endif
    QString filter;
    const QString path
        = chooseFile(FileRequest::Snapshot, QDir(folder).filePath(m_document.proposedSnapshotName()), &filter);
    if (path.isEmpty())
        return;
    if (filter == kPdfFilter || path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        QString error;
        const bool written = m_hvMode && m_hvView->hasResult()
            ? HvPainter::writePdf(m_hvView->record(), m_hvView->result(), m_document.printInfo().header, path, &error)
            : PrintedPage::writePdf(m_document, path, &error);
        if (written)
            m_messenger.show(QStringLiteral("保存文件成功"));
        else
            m_messenger.show(QStringLiteral("保存文件失败!"), common::MessageKind::Error);
        return;
    }
    const QStringList failed = SnapshotRenderer::writeAll(m_document, path);
    if (failed.size() == 4) {
        m_messenger.show(QStringLiteral("保存文件失败!"), common::MessageKind::Error);
        return;
    }
    m_messenger.show(QStringLiteral("保存文件成功"));
    m_document.countSnapshot();
}

void CMainFrame::print()
{
    QPrintDialog dialog(&m_printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&m_printer);
    drawPrintedPage(painter, m_printer);
}

void CMainFrame::drawPrintedPage(QPainter &painter, QPagedPaintDevice &device)
{
    if (m_hvMode && m_hvView->hasResult())
        HvPainter::draw(painter, device, m_hvView->record(), m_hvView->result(), m_document.printInfo().header);
    else
        PrintedPage::draw(painter, device, m_document);
}

void CMainFrame::printPreview()
{
    QPrintPreviewDialog dialog(&m_printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *printer) {
        QPainter painter(printer);
        drawPrintedPage(painter, *printer);
    });
    dialog.exec();
}

void CMainFrame::pageSetup()
{
    QPageSetupDialog dialog(&m_printer, this);
    dialog.exec();
}

void CMainFrame::digitalFilter()
{
    CLVBODLG dialog(m_document.filterSettings(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_document.filterSettings() = dialog.settings();
    m_document.applyPendingFilter();
}

void CMainFrame::printSettings()
{
    CPrintSet dialog(m_document.printInfo(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool confirmed = QMessageBox::question(this, QStringLiteral("提示"), QStringLiteral("是否保存修改到打印？"),
                                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        == QMessageBox::Ok;
    m_document.printInfo() = applyPrintSet(m_document.printInfo(), dialog.edited(), confirmed);
    m_view->update();
}

void CMainFrame::openKeyboard()
{
    QString error;
    if (!platform::startOnScreenKeyboard(QString(), &error))
        m_messenger.show(error, common::MessageKind::Warning);
}

void CMainFrame::openManual(common::ManualForm form)
{
    common::openManual(QStringLiteral("SEDRA"), form, m_programFolder, m_documentOpener, m_messenger);
}

void CMainFrame::about()
{
    QMessageBox::about(this, QStringLiteral("关于 地脉动"),
                       QStringLiteral("%1\n版本 %2").arg(kAppTitle, QApplication::applicationVersion()));
}

void CMainFrame::addRecent(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recent.removeAll(absolute);
    m_recent.prepend(absolute);
    while (m_recent.size() > kRecentFiles)
        m_recent.removeLast();
    for (int i = 0; i < kRecentFiles; ++i)
        m_store.writeText(kRecentSection, QStringLiteral("File%1").arg(i + 1), m_recent.value(i));
    m_store.sync();
    rebuildRecentMenu();
}

void CMainFrame::rebuildRecentMenu()
{
    m_recentMenu->clear();
    for (int i = 0; i < m_recent.size(); ++i) {
        const QString path = m_recent[i];
        QAction *a = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        connect(a, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    m_recentMenu->setEnabled(!m_recent.isEmpty());
}

void CMainFrame::setHvMode(bool on)
{
    m_hvMode = on;
    m_stack->setCurrentWidget(on ? static_cast<QWidget *>(m_hvView) : m_view);
    updateActions();
}

bool CMainFrame::openThreeComponent(const QStringList &paths)
{
    if (m_longJob.isRunning())
        return false;
    ThreeComponentReadOptions options;
    options.channels = SedraSettings::componentChannels(m_store);
    const ThreeComponentReadResult read = readThreeComponent(paths, options);
    if (!read.ok()) {
        m_messenger.show(QStringLiteral("不能读取三分量记录：%1").arg(read.error), common::MessageKind::Error);
        return false;
    }
    const QString problem = m_hvView->setRecord(read.record);
    setHvMode(true);
    if (!problem.isEmpty()) {
        m_messenger.show(QStringLiteral("%1 不能做 H/V 分析：%2").arg(read.record.source, problem),
                         common::MessageKind::Error);
        return false;
    }
    showStatus(QStringLiteral("H/V：%1，f0 = %2 Hz").arg(read.record.source).arg(m_hvView->result().f0, 0, 'f', 2));
    return true;
}

void CMainFrame::openThreeComponentFiles()
{
    const QString chosen = chooseFile(FileRequest::OpenThreeComponent, QDir::currentPath());
    const QStringList paths = chosen.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!paths.isEmpty())
        openThreeComponent(paths);
}

bool CMainFrame::startHvRecording(double minutes)
{
    if (!m_cardPresent || m_job.isRunning() || m_longJob.isRunning())
        return false;
    LongAcquisitionPlan plan;
    plan.card.interval = m_parameters.sampinterval;
    plan.card.delay = m_parameters.delayTime;
    plan.card.gain = m_parameters.opamtime;
    plan.channels = SedraSettings::componentChannels(m_store);
    plan.totalSamples = samplesForMinutes(minutes, plan.card.interval);
    ThreeComponentRecord header;
    const SeedCodes codes = seedCodesFor(m_parameters.projectName, m_parameters.testSit);
    header.network = codes.network;
    header.station = codes.station;
    header.location = codes.location;
    header.start = QDateTime::currentDateTimeUtc();
    const QString problem = m_hvView->startLive(double(plan.card.interval) * 1e-6);
    if (!problem.isEmpty()) {
        m_messenger.show(QStringLiteral("不能边采集边做 H/V 分析：%1").arg(problem), common::MessageKind::Error);
        return false;
    }
    setHvMode(true);
    if (!m_longJob.start(*m_card, plan, header)) {
        m_messenger.show(QStringLiteral("不能开始采集"), common::MessageKind::Error);
        return false;
    }
    showStatus(QStringLiteral("长时间采集：开始，共 %1 分钟").arg(minutes));
    updateActions();
    return true;
}

void CMainFrame::askHvRecording()
{
    bool ok = false;
    const double minutes = QInputDialog::getDouble(
        this, QStringLiteral("H/V 长时间采集"), QStringLiteral("采集时长（分钟，按当前采样间隔；通道按三分量设置）："),
        20.0, 1.0, 60.0, 1, &ok);
    if (ok)
        startHvRecording(minutes);
}

void CMainFrame::stopHvRecording()
{
    m_longJob.cancel();
}

void CMainFrame::hvRecordingFinished(const LongAcquisitionSummary &summary)
{
    updateActions();
    m_hvView->finishLive();
    const LongAcquisitionResult &result = summary.result;
    const ThreeComponentRecord &record = m_longJob.record();
    QString note;
    if (!result.gaps.empty()) {
        double lost = 0;
        for (const AcquisitionGap &g : result.gaps)
            lost += g.seconds;
        note = QStringLiteral("（块之间有 %1 处间断，共缺 %2 s）").arg(result.gaps.size()).arg(lost, 0, 'f', 3);
    }
    if (result.outcome == AcquisitionOutcome::NeverReady)
        m_messenger.show(
            QStringLiteral("采集卡没有响应，已停止采集；已采集的 %1 s 仍在 H/V 中。").arg(record.duration(), 0, 'f', 0),
            common::MessageKind::Error);
    showStatus(QStringLiteral("长时间采集结束：%1 s%2").arg(record.duration(), 0, 'f', 0).arg(note));
    if (record.sampleCount() == 0)
        return;
    const QString path = chooseFile(FileRequest::SaveMiniSeed,
                                    QDir::current().filePath(QStringLiteral("%1.mseed").arg(record.station)));
    if (path.isEmpty())
        return;
    const common::FileError written = writeThreeComponentMseed(path, record);
    if (written.ok)
        m_messenger.show(QStringLiteral("保存文件成功"));
    else
        m_messenger.show(QStringLiteral("保存文件失败! %1").arg(written.message), common::MessageKind::Error);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_longJob.isRunning()) {
        // A long recording is stopped only when asked; what it holds so far
        // is offered for saving as it ends.
        if (!m_messenger.ask(QStringLiteral("正在长时间采集，是否结束采集并退出？"), QStringLiteral("提示"))) {
            event->ignore();
            return;
        }
        m_longJob.cancel();
        m_longJob.wait();
    }
    if (m_job.isRunning()) {
        event->ignore();
        return;
    }
    if (!m_document.isSaved()
        && !m_messenger.ask(QStringLiteral("当前数据未保存，是否退出？"), QStringLiteral("提示"))) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            openFile(url.toLocalFile());
            break;
        }
    }
    event->acceptProposedAction();
}

} // namespace sedra
