#include "tools/instrument-sim/simline.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace instrumentsim {

namespace {

speed_t speedFor(int baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

bool makeRaw(int fd, speed_t speed)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    if (speed != B0) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    }
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

SimLine::~SimLine()
{
    if (m_peerFd >= 0)
        ::close(m_peerFd);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SimLine::openDevice(const QString &path, int baud, QString &error)
{
    const speed_t speed = speedFor(baud);
    if (speed == B0) {
        error = QStringLiteral("unsupported baud rate %1").arg(baud);
        return false;
    }
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (m_fd < 0 || !makeRaw(m_fd, speed)) {
        error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

bool SimLine::openPty(QString &error)
{
    m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const char *name = ::ptsname(m_fd);
    if (!name) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_peer = QString::fromLocal8Bit(name);
    m_peerFd = ::open(name, O_RDWR | O_NOCTTY);
    if (m_peerFd < 0 || !makeRaw(m_peerFd, B19200) || !makeRaw(m_fd, B0)) {
        error = QStringLiteral("%1: %2").arg(m_peer, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

QByteArray SimLine::read(int milliseconds, bool &failed)
{
    failed = false;
    pollfd p{m_fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, milliseconds);
    if (ready < 0) {
        failed = errno != EINTR;
        return {};
    }
    if (ready == 0)
        return {};
    char buffer[4096];
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n < 0) {
        failed = errno != EINTR && errno != EAGAIN;
        return {};
    }
    if (n == 0) {
        failed = true;
        return {};
    }
    return QByteArray(buffer, qsizetype(n));
}

bool SimLine::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                pollfd p{m_fd, POLLOUT, 0};
                ::poll(&p, 1, 100);
                continue;
            }
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace instrumentsim
