#pragma once
// Passes every port access on to another backend and keeps it, in order,
// for a port log or a test.

#include "sedra/card/portio.h"

#include <QByteArray>
#include <vector>

namespace sedra {

struct PortAccess {
    bool write = false;
    std::uint16_t port = 0;
    std::uint16_t value = 0; // written, or read back

    bool operator==(const PortAccess &) const = default;
};

class RecordingPortIo : public PortIo {
public:
    // `inner` may be null: reads then return 0xFFFF and writes go nowhere.
    explicit RecordingPortIo(PortIo *inner) : m_inner(inner) {}

    std::uint16_t read16(std::uint16_t port) override;
    void write16(std::uint16_t port, std::uint16_t value) override;
    bool sampledInRealTime() const override { return !m_inner || m_inner->sampledInRealTime(); }

    const std::vector<PortAccess> &accesses() const { return m_accesses; }
    void clear() { m_accesses.clear(); }

    // One line per access: "W 0x300 8000" or "R 0x314 1234" (port in hex,
    // value in decimal), each ended by a newline.
    QByteArray logText() const;

private:
    PortIo *m_inner;
    std::vector<PortAccess> m_accesses;
};

} // namespace sedra
