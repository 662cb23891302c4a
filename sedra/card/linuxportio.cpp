#include "sedra/card/linuxportio.h"

#include "sedra/card/cardregisters.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

#if defined(Q_OS_LINUX) && (defined(__x86_64__) || defined(__i386__))
#define SEDRA_HAVE_PORTS 1
#include <sys/io.h>
#endif

namespace sedra {

std::unique_ptr<LinuxPortIo> LinuxPortIo::open(QString *error)
{
#ifdef SEDRA_HAVE_PORTS
    if (ioperm(card::kBasePort, card::kPortSpan, 1) != 0) {
        if (error)
            *error = QCoreApplication::translate("sedra", "不能访问采集卡端口 0x%1：%2（需要 root 权限）")
                         .arg(card::kBasePort, 0, 16)
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    return std::unique_ptr<LinuxPortIo>(new LinuxPortIo);
#else
    if (error)
        *error = QCoreApplication::translate("sedra", "本机不能直接访问采集卡端口");
    return nullptr;
#endif
}

LinuxPortIo::~LinuxPortIo()
{
#ifdef SEDRA_HAVE_PORTS
    ioperm(card::kBasePort, card::kPortSpan, 0);
#endif
}

std::uint16_t LinuxPortIo::read16(std::uint16_t port)
{
#ifdef SEDRA_HAVE_PORTS
    return inw(port);
#else
    (void)port;
    return 0xFFFF;
#endif
}

void LinuxPortIo::write16(std::uint16_t port, std::uint16_t value)
{
#ifdef SEDRA_HAVE_PORTS
    outw(value, port);
#else
    (void)port;
    (void)value;
#endif
}

} // namespace sedra
