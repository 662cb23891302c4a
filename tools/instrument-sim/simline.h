#pragma once
// The simulated instrument's end of the line: a serial device opened raw at
// a baud rate, or a new pseudo-terminal whose other end (the slave device,
// e.g. /dev/pts/5) KIVARO or kivaro-cli opens as its serial port.

#include <QByteArray>
#include <QString>

namespace instrumentsim {

class SimLine {
public:
    SimLine() = default;
    ~SimLine();
    SimLine(const SimLine &) = delete;
    SimLine &operator=(const SimLine &) = delete;

    bool openDevice(const QString &path, int baud, QString &error);
    // Creates a pseudo-terminal; peerPath() is the device the PC side opens.
    bool openPty(QString &error);
    QString peerPath() const { return m_peer; }

    // Waits up to `milliseconds` for bytes; returns what arrived (maybe nothing).
    // Sets `failed` when the line is gone.
    QByteArray read(int milliseconds, bool &failed);
    bool write(const QByteArray &bytes);

private:
    int m_fd = -1;
    int m_peerFd = -1; // held open so that the line survives the PC closing its end
    QString m_peer;
};

} // namespace instrumentsim
