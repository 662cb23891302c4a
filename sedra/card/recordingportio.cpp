#include "sedra/card/recordingportio.h"

namespace sedra {

std::uint16_t RecordingPortIo::read16(std::uint16_t port)
{
    const std::uint16_t value = m_inner ? m_inner->read16(port) : 0xFFFF;
    m_accesses.push_back({false, port, value});
    return value;
}

void RecordingPortIo::write16(std::uint16_t port, std::uint16_t value)
{
    if (m_inner)
        m_inner->write16(port, value);
    m_accesses.push_back({true, port, value});
}

QByteArray RecordingPortIo::logText() const
{
    QByteArray out;
    out.reserve(qsizetype(m_accesses.size() * 14));
    for (const PortAccess &a : m_accesses) {
        out += a.write ? "W 0x" : "R 0x";
        out += QByteArray::number(a.port, 16).toUpper();
        out += ' ';
        out += QByteArray::number(a.value);
        out += '\n';
    }
    return out;
}

} // namespace sedra
