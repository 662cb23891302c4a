#include "kivaro/serial/cmscomm.h"

#include <QSerialPort>

namespace kivaro {

CMSComm::CMSComm(DeviceResolver resolver, common::Messenger &messenger, QObject *parent)
    : QObject(parent), m_resolver(std::move(resolver)), m_messenger(messenger), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &CMSComm::onReadyRead);
}

CMSComm::~CMSComm()
{
    if (m_port->isOpen())
        m_port->close();
}

QString CMSComm::deviceName() const
{
    return m_resolver ? m_resolver(m_portNumber) : QString();
}

bool CMSComm::portOpen() const
{
    return m_port->isOpen();
}

QString portErrorText(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError: return QStringLiteral("没有错误");
    case QSerialPort::DeviceNotFoundError: return QStringLiteral("找不到这个串口设备");
    case QSerialPort::PermissionError: return QStringLiteral("没有权限打开串口，或串口正被其他程序使用");
    case QSerialPort::OpenError: return QStringLiteral("串口已经打开");
    case QSerialPort::NotOpenError: return QStringLiteral("串口没有打开");
    case QSerialPort::WriteError: return QStringLiteral("向串口写数据出错");
    case QSerialPort::ReadError: return QStringLiteral("从串口读数据出错");
    case QSerialPort::ResourceError: return QStringLiteral("串口设备已不可用（可能已拔下）");
    case QSerialPort::UnsupportedOperationError: return QStringLiteral("系统不支持这项串口操作");
    case QSerialPort::TimeoutError: return QStringLiteral("串口操作超时");
    case QSerialPort::UnknownError: break;
    }
    return QStringLiteral("未知的串口错误");
}

bool CMSComm::fail(const QString &what)
{
    m_lastError = m_portLabel.isEmpty()
        ? QStringLiteral("串口 COM %1 (%2): %3").arg(m_portNumber).arg(deviceName(), what)
        : QStringLiteral("串口 %1: %2").arg(m_portLabel, what);
    m_messenger.show(m_lastError, common::MessageKind::Error);
    return false;
}

bool CMSComm::setPortOpen(bool open)
{
    if (!open) {
        if (m_port->isOpen())
            m_port->close();
        return true;
    }
    if (m_port->isOpen())
        return fail(QStringLiteral("端口已经打开"));
    const QString device = deviceName();
    if (device.isEmpty())
        return fail(QStringLiteral("没有这个端口"));
    m_port->setPortName(device);
    if (!m_port->open(QIODevice::ReadWrite))
        return fail(portErrorText(m_port->error()));
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!applySettings()) {
        m_port->close();
        return false;
    }
    return true;
}

bool CMSComm::setSettings(const QString &settings)
{
    m_settings = settings;
    return applySettings();
}

bool CMSComm::applySettings()
{
    const QStringList parts = m_settings.split(u',');
    bool ok = parts.size() == 4;
    const int baud = ok ? parts[0].trimmed().toInt(&ok) : 0;
    ok = ok && baud > 0;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits data = QSerialPort::Data8;
    QSerialPort::StopBits stop = QSerialPort::OneStop;
    if (ok) {
        const QString p = parts[1].trimmed().toLower();
        if (p == u"n")
            parity = QSerialPort::NoParity;
        else if (p == u"e")
            parity = QSerialPort::EvenParity;
        else if (p == u"o")
            parity = QSerialPort::OddParity;
        else if (p == u"m")
            parity = QSerialPort::MarkParity;
        else if (p == u"s")
            parity = QSerialPort::SpaceParity;
        else
            ok = false;
        const int bits = parts[2].trimmed().toInt();
        ok = ok && bits >= 5 && bits <= 8;
        data = QSerialPort::DataBits(bits);
        const QString s = parts[3].trimmed();
        if (s == u"1")
            stop = QSerialPort::OneStop;
        else if (s == u"1.5")
            stop = QSerialPort::OneAndHalfStop;
        else if (s == u"2")
            stop = QSerialPort::TwoStop;
        else
            ok = false;
    }
    if (!ok)
        return fail(QStringLiteral("无效的串口参数 \"%1\"").arg(m_settings));
    if (!m_port->isOpen())
        return true; // applied when the port opens
    if (!m_port->setBaudRate(baud) || !m_port->setParity(parity) || !m_port->setDataBits(data)
        || !m_port->setStopBits(stop))
        return fail(portErrorText(m_port->error()));
    return true;
}

bool CMSComm::setRTSEnable(bool enable)
{
    if (!m_port->isOpen())
        return fail(QStringLiteral("端口没有打开"));
    // A pseudo-terminal (the simulated instrument) has no modem lines;
    // asserting them there is meaningless rather than an error.
    if (!m_port->setRequestToSend(enable) && m_port->error() != QSerialPort::UnsupportedOperationError)
        return fail(portErrorText(m_port->error()));
    m_port->clearError();
    return true;
}

bool CMSComm::setDTREnable(bool enable)
{
    if (!m_port->isOpen())
        return fail(QStringLiteral("端口没有打开"));
    if (!m_port->setDataTerminalReady(enable) && m_port->error() != QSerialPort::UnsupportedOperationError)
        return fail(portErrorText(m_port->error()));
    m_port->clearError();
    return true;
}

QByteArray CMSComm::input()
{
    if (!m_port->isOpen())
        return {};
    // Take in what the system holds for the port as well, so that a read
    // returns every waiting byte (the read right after opening discards
    // bytes left from earlier). No receive event is raised for them.
    m_reading = true;
    if (!m_port->waitForReadyRead(0))
        m_port->clearError(); // nothing more was waiting
    m_reading = false;
    return m_inputLen > 0 ? m_port->read(m_inputLen) : m_port->readAll();
}

bool CMSComm::setOutput(const QByteArray &bytes)
{
    if (!m_port->isOpen())
        return fail(QStringLiteral("端口没有打开"));
    if (bytes.isEmpty())
        return true;
    if (m_port->write(bytes) != bytes.size())
        return fail(portErrorText(m_port->error()));
    // Hand every byte to the system now, so that closing the port right
    // after the last write (end of an upgrade) loses nothing.
    while (m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(5000))
            return fail(portErrorText(m_port->error()));
    }
    return true;
}

void CMSComm::onReadyRead()
{
    if (m_reading || m_rThreshold <= 0 || m_port->bytesAvailable() < m_rThreshold)
        return;
    m_event = kEventReceive;
    emit onComm();
}

} // namespace kivaro
