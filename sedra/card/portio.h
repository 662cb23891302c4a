#pragma once
// 16-bit port input and output, the only way the program talks to the
// acquisition card. Backends: the real ports, a simulated card, a recorder
// that logs every access of another backend.

#include <cstdint>

namespace sedra {

class PortIo {
public:
    virtual ~PortIo();
    // Reads 16 bits from `port`. A read that fails returns all ones (0xFFFF),
    // which the card detection takes as "no card".
    virtual std::uint16_t read16(std::uint16_t port) = 0;
    // Writes 16 bits to `port`. A failed write goes unnoticed, as on the bus.
    virtual void write16(std::uint16_t port, std::uint16_t value) = 0;
    // Whether the card samples on a clock of its own, so that time spent
    // between two acquisitions is time not sampled. A simulation that
    // delivers its sets as fast as they are read has no such clock.
    virtual bool sampledInRealTime() const { return true; }
};

} // namespace sedra
