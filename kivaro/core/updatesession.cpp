#include "kivaro/core/updatesession.h"

#include "kivaro/core/linkmessages.h"

#include "common/binaryio.h"

#include <vector>

namespace kivaro {

UpdateSession::UpdateSession(LinkHost &host, common::Messenger &messenger, QObject *parent)
    : QObject(parent), m_host(host), m_messenger(messenger), m_status(initialStatus())
{
}

QString UpdateSession::initialStatus()
{
    return QStringLiteral("传送进度: 已传送 0 字节,剩余 0 字节.");
}

float UpdateSession::instrumentVersion(std::int16_t reply)
{
    const float hundredth = 0.01f;
    const float version = float(reply) * hundredth;
    return version;
}

void UpdateSession::start(const UpdatePlan &plan)
{
    m_plan = plan;
    m_sent = 0;
    m_state = State::WaitVersion;
    const int blocks = plan.size > 0 ? int((std::int64_t(plan.size) + kBlockSize - 1) / kBlockSize) : 0;
    // The bar and the status line start afresh, not from the last upgrade.
    m_bar.setRange(0, blocks);
    m_status = initialStatus();
    emit progressChanged();
    send(QByteArray(1, '?'), m_interval);
}

void UpdateSession::receive(const QByteArray &bytes)
{
    if (m_state == State::Idle || bytes.isEmpty())
        return;
    m_rx += bytes;
    if (m_timerArmed) {
        m_host.stopTimer();
        m_timerArmed = false;
    }
    act();
    // Replies here are one or two bytes: a piece that leaves one incomplete,
    // too long or of the wrong value starts the timer once more, so the
    // exchange ends in the time-out instead of waiting for ever.
    if (m_state != State::Idle && !m_timerArmed && !m_guardArmed && !m_rx.isEmpty()) {
        m_host.startTimer(m_lastInterval);
        m_guardArmed = true;
    }
}

void UpdateSession::timeout()
{
    if (m_state == State::Idle || (!m_timerArmed && !m_guardArmed))
        return;
    end(Outcome::TimedOut);
    m_messenger.show(messages::noResponse(), common::MessageKind::Error);
}

void UpdateSession::act()
{
    const qsizetype n = m_rx.size();
    const auto stopGuard = [this] {
        if (m_guardArmed)
            m_host.stopTimer();
        m_guardArmed = false;
    };
    switch (m_state) {
    case State::WaitVersion: {
        if (n != 2)
            return;
        stopGuard();
        const auto reply = std::int16_t(common::loadU16(reinterpret_cast<const std::uint8_t *>(m_rx.constData())));
        const float version = instrumentVersion(reply);
        if (version >= m_plan.version) {
            m_rx.clear();
            if (!m_host.write(QByteArray(1, 'n'))) {
                end(Outcome::SerialFailed);
                return;
            }
            const bool newer = version > m_plan.version;
            end(newer ? Outcome::InstrumentNewer : Outcome::InstrumentSame);
            m_messenger.show(newer ? messages::instrumentNewer() : messages::instrumentSame(),
                             common::MessageKind::Information);
            return;
        }
        m_state = State::WaitConfirm;
        send(QByteArray(1, 'y'), m_interval);
        return;
    }
    case State::WaitConfirm: {
        if (n != 1 || m_rx.at(0) != 'y')
            return;
        stopGuard();
        m_state = State::WaitBlockRequest;
        std::vector<std::uint8_t> announcement;
        common::LeWriter w(announcement);
        w.i32(0, m_plan.size);
        w.i32(4, m_plan.checksum);
        m_rx.clear();
        m_host.pause(kPauseMs);
        send(QByteArray(reinterpret_cast<const char *>(announcement.data()), qsizetype(announcement.size())),
             m_interval);
        return;
    }
    case State::WaitBlockRequest: {
        if (n != 1 || m_rx.at(0) != 'g')
            return;
        stopGuard();
        m_rx.clear();
        m_bar.step();
        m_status = QStringLiteral("传送进度: 已传送 %1 字节,共有 %2 字节.").arg(m_sent).arg(m_plan.size);
        emit progressChanged();
        const std::int64_t remaining = std::int64_t(m_plan.size) - m_sent;
        if (remaining > kBlockSize) {
            m_host.pause(kPauseMs);
            const QByteArray block = m_plan.image.mid(m_sent, kBlockSize);
            if (send(block, m_blockInterval))
                m_sent += kBlockSize;
            return;
        }
        // The last block (possibly empty). The image never supplies more
        // bytes than it holds, whatever the size says.
        const QByteArray block = remaining > 0 ? m_plan.image.mid(m_sent, qsizetype(remaining)) : QByteArray();
        m_host.pause(kPauseMs);
        if (!m_host.write(block)) {
            end(Outcome::SerialFailed);
            return;
        }
        m_sent += std::int32_t(std::max<std::int64_t>(remaining, 0));
        end(Outcome::Upgraded);
        m_messenger.show(messages::upgradeFinished(), common::MessageKind::Information);
        return;
    }
    case State::Idle: return;
    }
}

bool UpdateSession::send(const QByteArray &bytes, int timerMilliseconds)
{
    m_rx.clear();
    if (!m_host.write(bytes)) {
        end(Outcome::SerialFailed);
        return false;
    }
    m_host.startTimer(timerMilliseconds);
    m_lastInterval = timerMilliseconds;
    m_timerArmed = true;
    m_guardArmed = false;
    return true;
}

void UpdateSession::end(Outcome outcome)
{
    if (m_timerArmed || m_guardArmed)
        m_host.stopTimer();
    m_timerArmed = false;
    m_guardArmed = false;
    m_state = State::Idle;
    m_host.closePort();
    emit finished(outcome);
}

} // namespace kivaro
