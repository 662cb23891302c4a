#pragma once
// Register map of the acquisition card: register k lies at port
// 0x300 + 4 k; every access is 16 bits wide.

#include <cstdint>

namespace sedra::card {

inline constexpr std::uint16_t kBasePort = 0x300;
inline constexpr std::uint16_t kRegisterSpacing = 4;
// Ports the card occupies (registers 0 to 9).
inline constexpr std::uint16_t kPortSpan = 10 * kRegisterSpacing;

constexpr std::uint16_t port(int reg)
{
    return std::uint16_t(kBasePort + kRegisterSpacing * reg);
}

inline constexpr std::uint16_t kIntervalPort = port(0); // write: sample interval, us
inline constexpr std::uint16_t kDelayPort = port(1); // write: delay, ms
inline constexpr std::uint16_t kModePort = port(2); // write: 5 at set-up
inline constexpr std::uint16_t kGainPort = port(3); // write: gain code
inline constexpr std::uint16_t kRunPort = port(4); // write: 1 start, 0 stop
inline constexpr std::uint16_t kDataPort = port(5); // write: 3 at set-up; read: next sample word
inline constexpr std::uint16_t kStatusPort = port(6); // read: bit 0 set when a sample set is ready
inline constexpr std::uint16_t kIdentPort = port(9); // read: bits 4..11 are 0x55 or 0xAA

inline constexpr std::uint16_t kModeValue = 5;
inline constexpr std::uint16_t kDataSetupValue = 3;
inline constexpr std::uint16_t kReadyBit = 0x0001;
inline constexpr std::uint16_t kCodeMask = 0x3FFF; // 14-bit sample code
inline constexpr int kDiscardedReads = 4;

} // namespace sedra::card
