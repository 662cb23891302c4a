#pragma once
// Connects a link protocol to a real port: owns the page's serial layer and
// its one response timer, opens the port with the line settings of the
// exchange, delivers receive events and timer expiries to the protocol, and
// carries out the protocol's writes, pauses and closing.

#include "kivaro/core/linkhost.h"
#include "kivaro/serial/cmscomm.h"

#include "common/messenger.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace kivaro {

class LinkDriver : public QObject, public LinkHost {
    Q_OBJECT
public:
    enum class OpenResult { Opened, AlreadyOpen, Failed };

    LinkDriver(CMSComm::DeviceResolver resolver, common::Messenger &messenger, QObject *parent = nullptr);

    // Where received bytes and timer expiries go.
    void setReceiver(std::function<void(const QByteArray &)> onBytes, std::function<void()> onTimeout);

    // Opens port `portNumber` (1 … 8) at `baud`, 8 data bits, no parity, one
    // stop bit, binary input, a receive event per arrival, RTS asserted; for
    // the upgrade also DTR asserted and no send events. Bytes already waiting
    // are discarded. Shows "不能打开串口" when this page's port is open already.
    OpenResult open(int portNumber, int baud, bool upgrade);
    bool isOpen() const { return m_comm.portOpen(); }
    CMSComm &comm() { return m_comm; }

    bool write(const QByteArray &bytes) override;
    void startTimer(int milliseconds) override;
    void stopTimer() override;
    void closePort() override;
    void pause(int milliseconds) override;

private:
    void onComm();

    common::Messenger &m_messenger;
    CMSComm m_comm;
    QTimer m_timer;
    std::function<void(const QByteArray &)> m_onBytes;
    std::function<void()> m_onTimeout;
};

} // namespace kivaro
