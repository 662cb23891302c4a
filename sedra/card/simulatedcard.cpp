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

SimulatedCard::SimulatedCard(const SimulatedCardOptions &options)
    : m_options(options), m_noise(options.seed), m_modelNoise(options.seed)
{
    if (m_options.hv) {
        const HvModel &hv = *m_options.hv;
        if (!hv.burstsAt.empty()) {
            m_bursts.assign(hv.burstsAt.begin(), hv.burstsAt.end());
        } else {
            std::mt19937 times(options.seed ^ 0xB0857u);
            const double room = std::max(0.0, double(hv.span) - double(hv.burstSeconds));
            for (int k = 0; k < hv.transients; ++k)
                m_bursts.push_back(double(times()) / 4294967296.0 * room);
        }
        std::sort(m_bursts.begin(), m_bursts.end());
    }
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

void SimulatedCard::startModel()
{
    if (m_interval != m_modelInterval) {
        // Band-pass of unit gain at f0 (bilinear, centre kept exact).
        const HvModel &hv = *m_options.hv;
        const double dt = std::max(1, int(m_interval)) * 1e-6;
        const double w0 = 2.0 * std::numbers::pi * std::min(double(hv.f0), 0.45 / dt) * dt;
        const double alpha = std::sin(w0) * double(hv.damping); // sin(w0) / (2Q), Q = 1 / (2 damping)
        const double a0 = 1.0 + alpha;
        m_bandPass = {alpha / a0, -alpha / a0, -2.0 * std::cos(w0) / a0, (1.0 - alpha) / a0};
        m_filter = {};
        m_modelInterval = m_interval;
    }
    // The site's noise goes on while the card waits out its delay.
    const std::int64_t skipped = std::int64_t(m_delay) * 1000 / std::max(1, int(m_interval));
    for (std::int64_t k = 0; k < skipped; ++k)
        nextModelSet();
}

std::array<int, 4> SimulatedCard::nextModelSet()
{
    const HvModel &hv = *m_options.hv;
    const double gain = m_gainCode == 1 ? 10.0 : m_gainCode == 2 ? 100.0 : 1.0;
    const double level = m_options.amplitude * gain * 0.25;
    const double dt = std::max(1, int(m_interval)) * 1e-6;
    const double t = double(m_stream) * dt;
    ++m_stream;
    double burst = 0.0;
    // Bursts are sorted: only those started within the last burst length
    // can sound now.
    for (auto it = std::upper_bound(m_bursts.begin(), m_bursts.end(), t); it != m_bursts.begin();) {
        --it;
        const double into = t - *it;
        if (into >= double(hv.burstSeconds))
            break;
        const double envelope = std::sin(std::numbers::pi * into / double(hv.burstSeconds));
        burst += envelope * envelope * std::sin(2.0 * std::numbers::pi * 6.0 * into);
    }
    std::array<int, 4> set{};
    for (std::size_t ch = 0; ch < 4; ++ch) {
        const double w = double(gaussian(m_modelNoise));
        double v = w;
        if (ch < 2) {
            auto &f = m_filter[ch];
            const double y = m_bandPass[0] * w + m_bandPass[1] * f[1] - m_bandPass[2] * f[2] - m_bandPass[3] * f[3];
            f[1] = f[0];
            f[0] = w;
            f[3] = f[2];
            f[2] = y;
            v += (double(hv.a0) - 1.0) * y;
        }
        v = level * (v + 10.0 * burst * (ch == 1 ? -1.0 : 1.0));
        set[ch] = int(std::clamp(std::round(v), -8192.0, 8191.0));
    }
    return set;
}

void SimulatedCard::latchNextSet()
{
    if (m_options.hv) {
        const std::array<int, 4> set = nextModelSet();
        for (std::size_t ch = 0; ch < 4; ++ch)
            m_words[ch] = std::uint16_t((std::uint16_t(set[ch]) & card::kCodeMask) | kUpperBits);
        m_word = 0;
        ++m_set;
        return;
    }
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
            if (m_options.hv)
                startModel();
            m_started = std::chrono::steady_clock::now();
        }
        break;
    default: break;
    }
}

} // namespace sedra
