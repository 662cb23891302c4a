#pragma once
// A simulated acquisition card that answers the card's register protocol:
// identification 0x55 in bits 4 to 11, the ready bit, and sample words in
// 14-bit two's complement carrying a synthetic microtremor (a predominant
// frequency per channel plus broadband noise from a seed), scaled by the
// programmed gain.

#include "sedra/card/portio.h"
#include "sedra/card/simulatedcardoptions.h"

#include <array>
#include <chrono>
#include <random>

namespace sedra {

class SimulatedCard : public PortIo {
public:
    explicit SimulatedCard(const SimulatedCardOptions &options = {});

    std::uint16_t read16(std::uint16_t port) override;
    void write16(std::uint16_t port, std::uint16_t value) override;

    // Register contents as last written, for tests.
    std::uint16_t interval() const { return m_interval; }
    std::uint16_t delay() const { return m_delay; }
    std::uint16_t gainCode() const { return m_gainCode; }
    bool running() const { return m_running; }
    int setsDelivered() const { return m_set; }
    // Paced by the clock: the longest time from a set's due moment to the
    // poll that saw it, and the count of status polls since the start.
    std::chrono::microseconds worstLateness() const { return m_worstLateness; }
    int statusPolls() const { return m_polls; }

    // The signed sample value of channel `ch` at sample `i` (before the
    // 14-bit encoding), for the current interval and gain.
    int sampleValue(int i, int ch) const;

private:
    void latchNextSet();
    bool readyNow();

    SimulatedCardOptions m_options;
    std::uint16_t m_interval = 0;
    std::uint16_t m_delay = 0;
    std::uint16_t m_gainCode = 0;
    bool m_running = false;
    int m_set = 0; // sample sets delivered since the start
    int m_word = 0; // next word of the current set
    int m_polls = 0; // status polls since the start
    std::array<std::uint16_t, 4> m_words{};
    std::array<float, 4> m_phase{};
    std::mt19937 m_noise;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::microseconds m_worstLateness{0};
};

} // namespace sedra
