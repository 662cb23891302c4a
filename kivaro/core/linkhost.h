#pragma once
// What a link protocol asks of its surroundings: write bytes to the open
// port, run the page's one response timer, close the port, and pause the
// user-interface thread. The program and kivaro-cli implement it over the
// serial layer and a QTimer; tests record the calls and feed timer expiries
// to the protocol themselves, so no test waits for real time.

#include <QByteArray>

namespace kivaro {

class LinkHost {
public:
    virtual ~LinkHost() = default;

    // Writes `bytes` to the port in one write. Returns false when the serial
    // layer refused (it has already shown its own error).
    virtual bool write(const QByteArray &bytes) = 0;
    // Starts the response timer with `milliseconds`, replacing a running one.
    virtual void startTimer(int milliseconds) = 0;
    virtual void stopTimer() = 0;
    virtual void closePort() = 0;
    // Blocks for `milliseconds` (the upgrade waits before each write).
    virtual void pause(int milliseconds) = 0;
};

} // namespace kivaro
