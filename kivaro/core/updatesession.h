#pragma once
// The firmware upgrade exchange, free of widgets: fed received bytes and
// response-timer expiries, it writes commands and image blocks, keeps the
// page's progress bar and status line and shows its messages.
//
//   PC '?'                    -> instrument: version, signed 16-bit LE, in hundredths
//   PC 'n'                    the instrument's program is not older: no upgrade
//   PC 'y'                    -> instrument: 'y' (upgrade accepted)
//   PC size, checksum (int32) -> instrument: 'g' (ready for a block)
//   PC next min(1024, remaining) image bytes -> 'g' while more than 1024 remained
//
// The instrument's version is the reply times 0.01, in single precision, and
// is compared with the file's version. The PC pauses 100 ms before writing the
// announcement and each block. The response timer runs 2000 ms, or 20000 ms
// after a full data block; as in the download, a reply that stops short or
// runs long times out instead of leaving the page waiting for ever. No reply
// is awaited after the last block.

#include "kivaro/core/linkhost.h"
#include "kivaro/core/progressbarstate.h"
#include "kivaro/core/updateplan.h"

#include "common/messenger.h"

#include <QObject>

namespace kivaro {

class UpdateSession : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, WaitVersion, WaitConfirm, WaitBlockRequest };
    enum class Outcome { Upgraded, InstrumentNewer, InstrumentSame, TimedOut, SerialFailed };

    static constexpr int kResponseMs = 2000;
    static constexpr int kBlockResponseMs = 20000;
    static constexpr int kPauseMs = 100;
    static constexpr int kBlockSize = 1024;

    UpdateSession(LinkHost &host, common::Messenger &messenger, QObject *parent = nullptr);

    void setResponseIntervals(int milliseconds, int afterBlockMilliseconds)
    {
        m_interval = milliseconds;
        m_blockInterval = afterBlockMilliseconds;
    }

    // Starts the exchange on a port that has just been opened.
    void start(const UpdatePlan &plan);
    void receive(const QByteArray &bytes);
    void timeout();

    State state() const { return m_state; }
    const ProgressBarState &bar() const { return m_bar; }
    QString statusLine() const { return m_status; }
    std::int32_t bytesSent() const { return m_sent; }

    // The status line before the first block request.
    static QString initialStatus();

    // The instrument's version for a reply in hundredths, as a single-precision product.
    static float instrumentVersion(std::int16_t reply);

signals:
    void progressChanged();
    void finished(kivaro::UpdateSession::Outcome outcome);

private:
    void act();
    bool send(const QByteArray &bytes, int timerMilliseconds);
    void end(Outcome outcome);

    LinkHost &m_host;
    common::Messenger &m_messenger;
    int m_interval = kResponseMs;
    int m_blockInterval = kBlockResponseMs;
    int m_lastInterval = kResponseMs;

    State m_state = State::Idle;
    UpdatePlan m_plan;
    std::int32_t m_sent = 0;
    QByteArray m_rx;
    bool m_timerArmed = false;
    bool m_guardArmed = false;
    ProgressBarState m_bar;
    QString m_status;
};

} // namespace kivaro
