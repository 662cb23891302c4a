#include "sedra/card/linuxportio.h"

#include "sedra/card/cardregisters.h"

#include <QCoreApplication>
#include <cerrno>

#if defined(Q_OS_LINUX) && (defined(__x86_64__) || defined(__i386__))
#define SEDRA_HAVE_PORTS 1
#include <sys/io.h>
#endif

namespace sedra {

QString portAccessRefusal(int error)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("sedra", text); };
    switch (error) {
    case EPERM:
    case EACCES: return tr("没有访问端口的权限（需要以 root 身份运行，或具有 CAP_SYS_RAWIO 能力）");
    case EINVAL: return tr("端口范围无效");
    case ENOMEM: return tr("系统内存不足");
    case ENOSYS: return tr("本系统不支持直接访问端口");
    case EIO: return tr("输入输出错误");
    default: break;
    }
    return tr("系统错误（错误码 %1）").arg(error);
}

std::unique_ptr<LinuxPortIo> LinuxPortIo::open(QString *error)
{
#ifdef SEDRA_HAVE_PORTS
    if (ioperm(card::kBasePort, card::kPortSpan, 1) != 0) {
        const int code = errno;
        if (error)
            *error = QCoreApplication::translate("sedra", "不能访问采集卡端口 0x%1：%2")
                         .arg(card::kBasePort, 0, 16)
                         .arg(portAccessRefusal(code));
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
