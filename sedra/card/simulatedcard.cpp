#include "sedra/card/simulatedcard.h"

#include "sedra/card/cardregisters.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sedra {

namespace {
// Identification word: 0x55 in bits 4 to 11, other bits set as a real bus
// may show them.
constexpr std::uint16_t kIdentification = 0x3557;
// The two bits above the 14-bit code carry nothing; the simulation sets them
// so that a reader that does not mask them fails.
constexpr std::uint16_t kUpperBits = 0xC000;

// A standard normal number from two uniform ones (Box-Muller); std::mt19937
// yields the same sequence everywhere, unlike the library's distributions.
float gaussian(std::mt19937 &g)
{
    const double u1 = (double(g()) + 1.0) / 4294967297.0;
    const double u2 = double(g()) / 4294967296.0;
    return float(std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2));
}
} // namespace

SimulatedCard::SimulatedCard(const SimulatedCardOptions &options) : m_options(options), m_noise(options.seed)
{
    if (m_options.frequencies.empty())
        m_options.frequencies.push_back(2.0f);
    m_options.readyEvery = std::max(1, m_options.readyEvery);
    std::mt19937 phases(options.seed ^ 0x5EDAu);
    for (float &p : m_phase)
        p = float(phases() % 6284u) / 1000.0f;
}

int SimulatedCard::sampleValue(int i, int ch) const
{
    const std::size_t index = std::min<std::size_t>(std::size_t(ch), m_options.frequencies.size() - 1);
    const double f = m_options.frequencies[index];
    const double t = double(i) * double(m_interval) * 1e-6;
    const double gain = m_gainCode == 1 ? 10.0 : m_gainCode == 2 ? 100.0 : 1.0;
    const double v = m_options.amplitude * gain * std::sin(2.0 * std::numbers::pi * f * t + m_phase[std::size_t(ch)]);
    return int(std::clamp(v, -8192.0, 8191.0));
}

void SimulatedCard::latchNextSet()
{
    const double gain = m_gainCode == 1 ? 10.0 : m_gainCode == 2 ? 100.0 : 1.0;
    for (int ch = 0; ch < 4; ++ch) {
        const double noise = double(gaussian(m_noise)) * m_options.noise * m_options.amplitude * gain;
        const int v = int(std::clamp(double(sampleValue(m_set, ch)) + noise, -8192.0, 8191.0));
        m_words[std::size_t(ch)] = std::uint16_t((std::uint16_t(v) & card::kCodeMask) | kUpperBits);
    }
    m_word = 0;
    ++m_set;
}

bool SimulatedCard::readyNow()
{
    if (!m_running || m_options.neverReady)
        return false;
    if (++m_polls % m_options.readyEvery != 0)
        return false;
    if (m_options.realtime) {
        const auto due
            = std::chrono::milliseconds(m_delay) + std::chrono::microseconds(std::int64_t(m_set + 1) * m_interval);
        const auto since = std::chrono::steady_clock::now() - m_started;
        if (since < due)
            return false;
        m_worstLateness = std::max(m_worstLateness, std::chrono::duration_cast<std::chrono::microseconds>(since - due));
    }
    return true;
}

std::uint16_t SimulatedCard::read16(std::uint16_t port)
{
    if (m_options.absent)
        return 0xFFFF;
    switch (port) {
    case card::kIdentPort: return kIdentification;
    case card::kStatusPort:
        if (readyNow()) {
            latchNextSet();
            return 0x0002 | card::kReadyBit;
        }
        return 0x0002;
    case card::kDataPort:
        if (m_word < 4)
            return m_words[std::size_t(m_word++)];
        return m_words[3];
    default: return 0xFFFF;
    }
}

void SimulatedCard::write16(std::uint16_t port, std::uint16_t value)
{
    if (m_options.absent)
        return;
    switch (port) {
    case card::kIntervalPort: m_interval = value; break;
    case card::kDelayPort: m_delay = value; break;
    case card::kGainPort: m_gainCode = value; break;
    case card::kRunPort:
        m_running = value == 1;
        if (m_running) {
            m_set = 0;
            m_polls = 0;
            m_worstLateness = {};
            m_noise.seed(m_options.seed);
            m_started = std::chrono::steady_clock::now();
        }
        break;
    default: break;
    }
}

} // namespace sedra
