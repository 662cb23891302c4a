#include "kivaro/ui/cupdatedialog.h"

#include "kivaro/core/kivarosettings.h"
#include "kivaro/core/linkmessages.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivaro {

namespace {
QLineEdit *readOnlyField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}
} // namespace

CUpdateDialog::CUpdateDialog(int portIndex, CMSComm::DeviceResolver resolver, common::Messenger &messenger,
                             QWidget *parent)
    : QWidget(parent), m_driver(std::move(resolver), messenger), m_session(m_driver, messenger), m_messenger(messenger)
{
    m_chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("打开数据文件"), QString(),
                                            QStringLiteral("仪器程序升级文件 (*.update)"));
    };
    m_driver.setReceiver([this](const QByteArray &bytes) { m_session.receive(bytes); },
                         [this] { m_session.timeout(); });

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("串口选择"), this), 0, 0);
    m_port = new QComboBox(this);
    m_port->addItems(KivaroSettings::portNames());
    m_port->setCurrentIndex(portIndex);
    grid->addWidget(m_port, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("波 特 率"), this), 1, 0);
    m_baud = new QComboBox(this);
    m_baud->addItems(KivaroSettings::baudNames());
    m_baud->setCurrentIndex(KivaroSettings::kUpgradeBaudIndex);
    m_baud->setEnabled(false); // the upgrade always runs at 19200
    grid->addWidget(m_baud, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("文件路径"), this), 2, 0);
    m_path = readOnlyField(this);
    grid->addWidget(m_path, 2, 1);
    m_browse = new QPushButton(QStringLiteral(">>"), this);
    m_browse->setMaximumWidth(40);
    grid->addWidget(m_browse, 2, 2);

    auto *info = new QGroupBox(QStringLiteral("文件信息"), this);
    auto *infoGrid = new QGridLayout(info);
    m_size = readOnlyField(info);
    m_version = readOnlyField(info);
    m_name = readOnlyField(info);
    m_checksum = readOnlyField(info);
    const std::pair<const char16_t *, QLineEdit *> rows[]
        = {{u"文件大小", m_size}, {u"程序版本", m_version}, {u"程 序 名", m_name}, {u"校 验 码", m_checksum}};
    int row = 0;
    for (const auto &[label, field] : rows) {
        infoGrid->addWidget(new QLabel(QString::fromUtf16(label), info), row, 0);
        infoGrid->addWidget(field, row, 1);
        ++row;
    }

    m_status = new QLabel(m_session.statusLine(), this);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    auto *hint = new QLabel(QStringLiteral("提示:请先按仪器升级键,让其进入等待状态,再按\"开始升级\""), this);
    hint->setWordWrap(true);
    m_start = new QPushButton(QStringLiteral("开始升级"), this);
    m_start->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_start);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(info);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addWidget(hint);
    layout->addLayout(buttons);

    connect(m_browse, &QPushButton::clicked, this, &CUpdateDialog::chooseFile);
    connect(&m_session, &UpdateSession::finished, this, &CUpdateDialog::refreshControls);
    connect(m_start, &QPushButton::clicked, this, &CUpdateDialog::startUpgrade);
    connect(&m_session, &UpdateSession::progressChanged, this, &CUpdateDialog::refreshProgress);
    refreshProgress();
}

void CUpdateDialog::chooseFile()
{
    const QString path = m_chooseFile ? m_chooseFile() : QString();
    if (!path.isEmpty())
        loadFile(path);
}

void CUpdateDialog::loadFile(const QString &path)
{
    m_path->setText(path);
    m_file = UpdateFile::load(path);
    if (m_file.status() == UpdateFile::Status::CannotOpen) {
        // Nothing of an earlier file may be sent under this file's name.
        refreshControls();
        m_messenger.show(messages::cannotOpenFile(path), common::MessageKind::Error);
        return;
    }
    m_size->setText(m_file.sizeText());
    m_version->setText(m_file.versionText());
    m_name->setText(m_file.header().name);
    m_checksum->setText(m_file.checksumText());
    refreshControls();
    if (!m_file.isValid())
        m_messenger.show(messages::badUpdateFile(), common::MessageKind::Error);
}

void CUpdateDialog::startUpgrade()
{
    // 开始升级 is disabled while an upgrade runs; a press that comes anyway
    // leaves the running exchange as it is.
    if (!m_file.isValid() || m_session.state() != UpdateSession::State::Idle)
        return;
    const int baud = KivaroSettings::baudRate(KivaroSettings::kUpgradeBaudIndex);
    if (m_driver.open(m_port->currentIndex() + 1, baud, true) != LinkDriver::OpenResult::Opened)
        return;
    m_session.start(UpdatePlan::fromShownText(m_size->text(), m_version->text(), m_checksum->text(), m_file.image()));
    refreshControls();
}

void CUpdateDialog::refreshControls()
{
    // While an upgrade runs, neither a second start nor another file or port.
    const bool idle = m_session.state() == UpdateSession::State::Idle;
    m_start->setEnabled(idle && m_file.isValid());
    m_browse->setEnabled(idle);
    m_port->setEnabled(idle);
}

void CUpdateDialog::refreshProgress()
{
    const ProgressBarState &bar = m_session.bar();
    if (bar.maximum > bar.minimum) {
        m_bar->setRange(bar.minimum, bar.maximum);
        m_bar->setValue(bar.value);
    } else {
        m_bar->setRange(0, 1);
        m_bar->setValue(0);
    }
    m_status->setText(m_session.statusLine());
}

} // namespace kivaro
