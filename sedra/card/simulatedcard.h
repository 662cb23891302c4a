#pragma once
// A simulated acquisition card that answers the card's register protocol:
// identification 0x55 in bits 4 to 11, the ready bit, and sample words in
// 14-bit two's complement carrying a synthetic microtremor (a predominant
// frequency per channel plus broadband noise from a seed, or the site model
// of HvModel), scaled by the programmed gain.

#include "sedra/card/portio.h"
#include "sedra/card/simulatedcardoptions.h"

#include <array>
#include <chrono>
#include <random>
#include <vector>

namespace sedra {

class SimulatedCard : public PortIo {
public:
    explicit SimulatedCard(const SimulatedCardOptions &options = {});

    std::uint16_t read16(std::uint16_t port) override;
    void write16(std::uint16_t port, std::uint16_t value) override;
    // Only when paced by the clock.
    bool sampledInRealTime() const override { return m_options.realtime; }

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

    // The site model: the start of each transient burst, seconds of the
    // stream in time order, and the samples the stream has run through (it
    // goes on across acquisitions).
    const std::vector<double> &burstTimes() const { return m_bursts; }
    std::int64_t streamSamples() const { return m_stream; }

private:
    void latchNextSet();
    bool readyNow();
    void startModel();
    // The next sample set of the site model, before the 14-bit encoding.
    std::array<int, 4> nextModelSet();

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

    // Site model state: band-pass coefficients for the interval they were
    // made for, the filter memory of the two horizontals, the stream position.
    std::array<double, 4> m_bandPass{}; // b0, b2 (b1 = 0), a1, a2, each over a0
    std::uint16_t m_modelInterval = 0;
    std::array<std::array<double, 4>, 2> m_filter{}; // x1, x2, y1, y2
    std::int64_t m_stream = 0;
    std::vector<double> m_bursts;
    std::mt19937 m_modelNoise;
};

} // namespace sedra
