#include "kivaro/serial/linkdriver.h"

#include "kivaro/core/linkmessages.h"

#include <QThread>

namespace kivaro {

LinkDriver::LinkDriver(CMSComm::DeviceResolver resolver, common::Messenger &messenger, QObject *parent)
    : QObject(parent), m_messenger(messenger), m_comm(std::move(resolver), messenger)
{
    m_timer.setSingleShot(true);
    // The response times are stated to the millisecond; a coarse timer may fire 5 % early.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_comm, &CMSComm::onComm, this, &LinkDriver::onComm);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        if (m_onTimeout)
            m_onTimeout();
    });
}

void LinkDriver::setReceiver(std::function<void(const QByteArray &)> onBytes, std::function<void()> onTimeout)
{
    m_onBytes = std::move(onBytes);
    m_onTimeout = std::move(onTimeout);
}

LinkDriver::OpenResult LinkDriver::open(int portNumber, int baud, bool upgrade)
{
    m_comm.setCommPort(portNumber);
    if (m_comm.portOpen()) {
        m_messenger.show(messages::cannotOpenPort(), common::MessageKind::Warning);
        return OpenResult::AlreadyOpen;
    }
    if (!m_comm.setPortOpen(true))
        return OpenResult::Failed;
    bool ok = m_comm.setSettings(QStringLiteral("%1,n,8,1").arg(baud));
    m_comm.setInputMode(1);
    m_comm.setRThreshold(1);
    ok = ok && m_comm.setRTSEnable(true);
    if (upgrade)
        ok = ok && m_comm.setDTREnable(true);
    m_comm.setInputLen(0);
    if (!ok) {
        m_comm.setPortOpen(false);
        return OpenResult::Failed;
    }
    m_comm.input(); // bytes left from earlier do not count
    if (upgrade)
        m_comm.setSThreshold(0);
    return OpenResult::Opened;
}

bool LinkDriver::write(const QByteArray &bytes)
{
    return m_comm.setOutput(bytes);
}

void LinkDriver::startTimer(int milliseconds)
{
    m_timer.start(milliseconds);
}

void LinkDriver::stopTimer()
{
    m_timer.stop();
}

void LinkDriver::closePort()
{
    m_timer.stop();
    m_comm.setPortOpen(false);
}

void LinkDriver::pause(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void LinkDriver::onComm()
{
    if (m_comm.commEvent() != CMSComm::kEventReceive)
        return;
    const QByteArray bytes = m_comm.input();
    if (!bytes.isEmpty() && m_onBytes)
        m_onBytes(bytes);
}

} // namespace kivaro
