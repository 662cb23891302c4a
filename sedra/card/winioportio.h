#pragma once
// The card's ports on Windows through the WinIo library (WINIO.dll beside
// the program): GetPortVal / SetPortVal with size 2, ShutdownWinIo at the end.

#include <QtGlobal>

#ifdef Q_OS_WIN

#include "sedra/card/portio.h"

#include <QLibrary>
#include <QString>
#include <memory>

namespace sedra {

class WinIoPortIo : public PortIo {
public:
    // Loads WINIO.dll from `folder`; null with the reason when it is missing
    // or lacks a function.
    static std::unique_ptr<WinIoPortIo> load(const QString &folder, QString *error);
    ~WinIoPortIo() override;

    std::uint16_t read16(std::uint16_t port) override;
    void write16(std::uint16_t port, std::uint16_t value) override;

private:
    using GetPortVal = int(__stdcall *)(unsigned short, unsigned long *, unsigned char);
    using SetPortVal = int(__stdcall *)(unsigned short, unsigned long, unsigned char);
    using ShutdownWinIo = void(__stdcall *)();

    WinIoPortIo() = default;
    QLibrary m_library;
    GetPortVal m_get = nullptr;
    SetPortVal m_set = nullptr;
    ShutdownWinIo m_shutdown = nullptr;
};

} // namespace sedra

#endif // Q_OS_WIN
