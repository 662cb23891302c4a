#include "kivaro/ui/csenddialog.h"

#include "kivaro/core/linkmessages.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivaro {

CSendDialog::CSendDialog(const LinkSettings &settings, CMSComm::DeviceResolver resolver, common::Messenger &messenger,
                         QWidget *parent)
    : QWidget(parent),
      m_driver(std::move(resolver), messenger),
      m_session(m_driver, m_sink, messenger),
      m_messenger(messenger),
      m_savePath(settings.savePath)
{
    m_chooseFolder = [this](const QString &start) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("选择文件保存路径"), start);
    };
    m_driver.setReceiver([this](const QByteArray &bytes) { m_session.receive(bytes); },
                         [this] { m_session.timeout(); });

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("仪器编号"), this), 0, 0);
    m_number = new QLineEdit(this);
    m_number->setReadOnly(true);
    grid->addWidget(m_number, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("串口选择"), this), 1, 0);
    m_port = new QComboBox(this);
    m_port->addItems(KivaroSettings::portNames());
    m_port->setCurrentIndex(settings.portIndex);
    grid->addWidget(m_port, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("波 特 率"), this), 2, 0);
    m_baud = new QComboBox(this);
    m_baud->addItems(KivaroSettings::baudNames());
    m_baud->setCurrentIndex(settings.baudIndex);
    grid->addWidget(m_baud, 2, 1, 1, 2);
    grid->setRowStretch(3, 1);

    // The save folder gets the whole width: a user must see where the files go.
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("保存路径"), this));
    m_pathField = new QLineEdit(m_savePath, this);
    m_pathField->setReadOnly(true);
    m_pathField->setToolTip(m_savePath);
    pathRow->addWidget(m_pathField, 1);
    auto *browse = new QPushButton(QStringLiteral(">>"), this);
    browse->setMaximumWidth(40);
    pathRow->addWidget(browse);

    auto *listBox = new QVBoxLayout;
    listBox->addWidget(new QLabel(QStringLiteral("工程名列表"), this));
    m_projects = new QListWidget(this);
    listBox->addWidget(m_projects);

    auto *top = new QHBoxLayout;
    top->addLayout(grid, 3);
    top->addLayout(listBox, 2);

    auto *progress = new QGroupBox(QStringLiteral("传输进度"), this);
    auto *progressLayout = new QVBoxLayout(progress);
    for (int i = 0; i < 3; ++i) {
        m_status[i] = new QLabel(m_session.statusLine(DownloadSession::Bar(i)), progress);
        m_bars[i] = new QProgressBar(progress);
        m_bars[i]->setTextVisible(false);
        progressLayout->addWidget(m_status[i]);
        progressLayout->addWidget(m_bars[i]);
    }

    auto *hint = new QLabel(QStringLiteral("提示:请先按仪器传输键,让其进入等待状态,再按\"连接仪器\""), this);
    hint->setWordWrap(true);
    m_connect = new QPushButton(QStringLiteral("连接仪器"), this);
    m_start = new QPushButton(QStringLiteral("开始传输"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_connect);
    buttons->addWidget(m_start);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(pathRow);
    layout->addWidget(progress);
    layout->addWidget(hint);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &CSendDialog::chooseFolder);
    connect(m_connect, &QPushButton::clicked, this, &CSendDialog::connectInstrument);
    connect(m_start, &QPushButton::clicked, this, &CSendDialog::startTransfer);
    connect(&m_session, &DownloadSession::buttonsChanged, this, &CSendDialog::refreshButtons);
    // The session reports progress at every 1024-byte block, a thousand times
    // for a 1 MiB file. Repainting three bars and relaying out three labels
    // for each of them held the acknowledgement of every block back, so the
    // display follows at most every kProgressRefreshMs, and at once when the
    // exchange ends.
    m_progressTimer.setSingleShot(true);
    m_progressTimer.setInterval(kProgressRefreshMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &CSendDialog::refreshProgress);
    connect(&m_session, &DownloadSession::progressChanged, this, [this] {
        if (!m_progressTimer.isActive())
            m_progressTimer.start();
    });
    connect(&m_session, &DownloadSession::finished, this, &CSendDialog::refreshProgress);
    connect(&m_session, &DownloadSession::projectsChanged, this, &CSendDialog::showProjects);
    connect(&m_session, &DownloadSession::instrumentNumberChanged, m_number, &QLineEdit::setText);
    refreshButtons();
    refreshProgress();
}

int CSendDialog::portIndex() const
{
    return m_port->currentIndex();
}

int CSendDialog::baudIndex() const
{
    return m_baud->currentIndex();
}

QString CSendDialog::withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + QDir::separator();
}

QString CSendDialog::browseStart(const QString &savePath)
{
    QString folder
        = QDir(savePath.isEmpty() ? QDir::currentPath() : QDir::fromNativeSeparators(savePath)).absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            return QDir::rootPath();
        folder = parent;
    }
    return folder;
}

void CSendDialog::chooseFolder()
{
    const QString chosen = m_chooseFolder ? m_chooseFolder(browseStart(m_savePath)) : QString();
    if (chosen.isEmpty())
        return; // cancelled: the save folder stays as it was
    m_savePath = withTrailingSeparator(QDir::toNativeSeparators(chosen));
    m_pathField->setText(m_savePath);
    m_pathField->setToolTip(m_savePath);
}

void CSendDialog::connectInstrument()
{
    const int baud = KivaroSettings::baudRate(baudIndex());
    if (m_driver.open(portIndex() + 1, baud, false) != LinkDriver::OpenResult::Opened)
        return;
    m_session.startConnect();
}

void CSendDialog::startTransfer()
{
    QList<int> selected;
    for (int i = 0; i < m_projects->count(); ++i) {
        if (m_projects->item(i)->checkState() == Qt::Checked)
            selected.append(i);
    }
    if (selected.isEmpty()) {
        m_messenger.show(messages::noProjectChosen(), common::MessageKind::Warning);
        return;
    }
    // After a time-out or a folder that could not be made the port is
    // closed; the list is still valid, so the port is opened again.
    if (!m_driver.isOpen()
        && m_driver.open(portIndex() + 1, KivaroSettings::baudRate(baudIndex()), false)
            != LinkDriver::OpenResult::Opened)
        return;
    m_session.startTransfer(selected, m_savePath);
}

void CSendDialog::refreshButtons()
{
    m_connect->setEnabled(m_session.connectEnabled());
    m_start->setEnabled(m_session.startEnabled());
}

void CSendDialog::refreshProgress()
{
    m_progressTimer.stop();
    for (int i = 0; i < 3; ++i) {
        const ProgressBarState &bar = m_session.bar(DownloadSession::Bar(i));
        if (bar.maximum > bar.minimum) {
            m_bars[i]->setRange(bar.minimum, bar.maximum);
            m_bars[i]->setValue(bar.value);
        } else {
            m_bars[i]->setRange(0, 1); // an empty range would make the bar busy
            m_bars[i]->setValue(0);
        }
        m_status[i]->setText(m_session.statusLine(DownloadSession::Bar(i)));
    }
}

void CSendDialog::showProjects(const QStringList &names)
{
    m_projects->clear();
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, m_projects);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

} // namespace kivaro
