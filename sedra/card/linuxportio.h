#pragma once
// The card's real ports on Linux x86: access to the card's port range is
// asked for with ioperm (root only), then every access is one inw / outw.

#include "sedra/card/portio.h"

#include <QString>
#include <memory>

namespace sedra {

// Why the system refused the card's ports, in the user's words, from the
// error code of the request (EPERM: no permission, ENOSYS: no port access
// on this system, ...); an unknown code is named by its number.
QString portAccessRefusal(int error);

class LinuxPortIo : public PortIo {
public:
    // Asks for the card's ports. Returns null with the reason in `*error`
    // when the system refuses (no permission, not an x86 machine, ...).
    static std::unique_ptr<LinuxPortIo> open(QString *error);
    ~LinuxPortIo() override;

    std::uint16_t read16(std::uint16_t port) override;
    void write16(std::uint16_t port, std::uint16_t value) override;

private:
    LinuxPortIo() = default;
};

} // namespace sedra
