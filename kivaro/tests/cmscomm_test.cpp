// The serial layer on a pseudo-terminal: line settings, receive events with
// every waiting byte, writes in one call, and its own errors reported with
// their text.

#include "kivaro/core/linkmessages.h"
#include "kivaro/serial/cmscomm.h"
#include "kivaro/serial/linkdriver.h"

#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using kivaro::CMSComm;
using kivaro::LinkDriver;

class CMSCommTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void receivesAndWritesBytes();
    void reportsItsOwnErrors();
    void driverRefusesASecondOpen();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_device;
};

void CMSCommTest::init()
{
    char name[128] = {};
    QVERIFY(::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0);
    termios t{};
    ::tcgetattr(m_slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(m_slave, TCSANOW, &t);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_device = QString::fromLocal8Bit(name);
}

void CMSCommTest::cleanup()
{
    ::close(m_slave);
    ::close(m_master);
}

void CMSCommTest::receivesAndWritesBytes()
{
    common::RecordingMessenger messenger;
    LinkDriver driver([this](int) { return m_device; }, messenger);
    QByteArray received;
    driver.setReceiver([&](const QByteArray &b) { received += b; }, [] {});

    QVERIFY(::write(m_master, "old", 3) == 3); // left from earlier: discarded at opening
    QCOMPARE(driver.open(3, 57600, true), LinkDriver::OpenResult::Opened);
    QCOMPARE(driver.comm().settings(), QStringLiteral("57600,n,8,1"));
    QCOMPARE(driver.comm().commPort(), 3);

    const QByteArray reply("\x00\x01\xff\x80 binary", 10);
    QVERIFY(::write(m_master, reply.constData(), size_t(reply.size())) == reply.size());
    QTRY_COMPARE(received, reply);
    QCOMPARE(driver.comm().commEvent(), CMSComm::kEventReceive);

    QVERIFY(driver.write(QByteArray(3000, 'z')));
    QByteArray written;
    char buffer[4096];
    QTRY_VERIFY((written += QByteArray(buffer, std::max<ssize_t>(0, ::read(m_master, buffer, sizeof buffer)))).size()
                >= 3000);
    QCOMPARE(written, QByteArray(3000, 'z'));
    driver.closePort();
    QVERIFY(!driver.isOpen());
    QVERIFY(messenger.messages.isEmpty());
}

void CMSCommTest::reportsItsOwnErrors()
{
    common::RecordingMessenger messenger;
    CMSComm comm([](int n) { return QStringLiteral("/nonexistent/port%1").arg(n); }, messenger);
    comm.setCommPort(4);
    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(messenger.last().contains(QStringLiteral("COM 4")));
    QVERIFY(messenger.last().contains(QStringLiteral("/nonexistent/port4")));
    // The reason is the layer's own, in Chinese, never the port's English text.
    QVERIFY(messenger.last().contains(QStringLiteral("找不到这个串口设备")));
    QVERIFY(!messenger.last().contains(QStringLiteral("No such")));
    QCOMPARE(comm.lastError(), messenger.last());

    QVERIFY(!comm.setOutput("x")); // a write to a closed port
    QCOMPARE(messenger.messages.size(), 2);

    CMSComm good([this](int) { return m_device; }, messenger);
    QVERIFY(!good.setSettings(QStringLiteral("19200,x,8,1")));
    QVERIFY(good.setSettings(QStringLiteral("19200,n,8,1")));
    QVERIFY(good.setPortOpen(true));
    QVERIFY(good.setRTSEnable(true));
    QVERIFY(good.setDTREnable(true));
    QCOMPARE(messenger.messages.size(), 3);
}

void CMSCommTest::driverRefusesASecondOpen()
{
    common::RecordingMessenger messenger;
    LinkDriver driver([this](int) { return m_device; }, messenger);
    QCOMPARE(driver.open(1, 19200, false), LinkDriver::OpenResult::Opened);
    QCOMPARE(driver.open(1, 19200, false), LinkDriver::OpenResult::AlreadyOpen);
    QCOMPARE(messenger.messages, QStringList{kivaro::messages::cannotOpenPort()});
    QVERIFY(driver.isOpen());
}

QTEST_GUILESS_MAIN(CMSCommTest)
#include "cmscomm_test.moc"
