#pragma once
// The serial layer of a link page: one port, driven through the operations
// that the download and upgrade exchanges use (port number, open/close, line
// settings "baud,parity,data,stop", binary input, receive events on the
// user-interface thread, RTS, DTR, read all waiting bytes, write in one
// call). Port number n is opened as the device that the resolver names for
// it (see KivaroSettings for the defaults).
//
// Errors of the layer itself (a device that does not exist, a port held by
// another program, a write to a closed port, settings it cannot apply) are
// shown through the Messenger with the layer's own error text (in Chinese,
// portErrorText), and the
// operation returns false so that the caller abandons the step in progress.

#include "common/messenger.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <functional>

namespace kivaro {

// The reason a serial-port operation failed, in Chinese (the port's own
// error texts are English).
QString portErrorText(QSerialPort::SerialPortError error);

class CMSComm : public QObject {
    Q_OBJECT
public:
    // Event codes of commEvent().
    static constexpr int kEventReceive = 2;

    using DeviceResolver = std::function<QString(int portNumber)>;

    CMSComm(DeviceResolver resolver, common::Messenger &messenger, QObject *parent = nullptr);
    ~CMSComm() override;

    void setCommPort(int portNumber) { m_portNumber = portNumber; }
    // How messages name the port: "COM n (device)" by default, or `label`
    // alone when the port was given as a device rather than a port number.
    void setPortLabel(const QString &label) { m_portLabel = label; }
    int commPort() const { return m_portNumber; }
    QString deviceName() const;

    bool portOpen() const;
    bool setPortOpen(bool open);

    // "%d,n,8,1": baud rate, parity n/e/o/m/s, data bits 5…8, stop bits 1, 1.5 or 2.
    bool setSettings(const QString &settings);
    QString settings() const { return m_settings; }

    // 1: input() returns raw bytes. Text mode (0) is accepted and behaves the same.
    void setInputMode(int mode) { m_inputMode = mode; }
    // n > 0: a receive event whenever at least n bytes are waiting; 0: no receive events.
    void setRThreshold(int threshold) { m_rThreshold = threshold; }
    // Send events are never raised; the value is kept for completeness.
    void setSThreshold(int threshold) { m_sThreshold = threshold; }
    bool setRTSEnable(bool enable);
    bool setDTREnable(bool enable);
    // 0: input() returns every waiting byte; n > 0: at most n bytes.
    void setInputLen(int length) { m_inputLen = length; }

    QByteArray input();
    bool setOutput(const QByteArray &bytes);

    int commEvent() const { return m_event; }
    QString lastError() const { return m_lastError; }

signals:
    // Raised on the user-interface thread; commEvent() tells why.
    void onComm();

private:
    bool fail(const QString &what);
    bool applySettings();
    void onReadyRead();

    DeviceResolver m_resolver;
    common::Messenger &m_messenger;
    QSerialPort *m_port;
    int m_portNumber = 1;
    QString m_portLabel;
    QString m_settings = QStringLiteral("9600,n,8,1");
    int m_inputMode = 0;
    int m_rThreshold = 0;
    int m_sThreshold = 0;
    int m_inputLen = 0;
    int m_event = 0;
    bool m_reading = false;
    QString m_lastError;
};

} // namespace kivaro
