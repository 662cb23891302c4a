#include "sedra/card/winioportio.h"

#ifdef Q_OS_WIN

#include <QCoreApplication>
#include <QDir>

namespace sedra {

std::unique_ptr<WinIoPortIo> WinIoPortIo::load(const QString &folder, QString *error)
{
    std::unique_ptr<WinIoPortIo> io(new WinIoPortIo);
    io->m_library.setFileName(QDir(folder).filePath(QStringLiteral("WINIO.dll")));
    if (!io->m_library.load()) {
        if (error)
            *error = QCoreApplication::translate("sedra", "不能加载 WINIO.dll：%1").arg(io->m_library.errorString());
        return nullptr;
    }
    io->m_get = reinterpret_cast<GetPortVal>(io->m_library.resolve("GetPortVal"));
    io->m_set = reinterpret_cast<SetPortVal>(io->m_library.resolve("SetPortVal"));
    io->m_shutdown = reinterpret_cast<ShutdownWinIo>(io->m_library.resolve("ShutdownWinIo"));
    if (!io->m_get || !io->m_set || !io->m_shutdown) {
        if (error)
            *error = QCoreApplication::translate("sedra", "WINIO.dll 缺少端口函数");
        return nullptr;
    }
    return io;
}

WinIoPortIo::~WinIoPortIo()
{
    if (m_shutdown)
        m_shutdown();
}

std::uint16_t WinIoPortIo::read16(std::uint16_t port)
{
    unsigned long value = 0xFFFFFFFFul; // a failed read counts as "no card"
    m_get(port, &value, 2);
    return std::uint16_t(value);
}

void WinIoPortIo::write16(std::uint16_t port, std::uint16_t value)
{
    m_set(port, value, 2);
}

} // namespace sedra

#endif // Q_OS_WIN
