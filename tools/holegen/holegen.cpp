#include "tools/holegen/holegen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace holegen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSamples = talvex::kTraceLength;

// Uniform and normal draws straight from the engine, whose sequence the
// standard fixes.
class Draw {
public:
    explicit Draw(std::uint32_t seed) : m_engine(seed) {}
    double uniform(double a, double b) { return a + (b - a) * (double(m_engine()) / 4294967296.0); }
    int index(int n) { return std::min(n - 1, int(uniform(0.0, double(n)))); }
    bool coin() { return m_engine() & 1u; }
    double normal()
    {
        const double u1 = (double(m_engine()) + 1.0) / 4294967297.0;
        const double u2 = double(m_engine()) / 4294967296.0;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    }

private:
    std::mt19937 m_engine;
};

// One wavelet, zero before its onset; `u` in ms after the onset.
struct Wavelet {
    OnsetShape shape = OnsetShape::DampedSine;
    double periodMs = 5.0;
    double decayMs = 5.0;
    double rampMs = 0.0; // RampedSine
    double centreMs = 0.0; // Gabor
    double widthMs = 1.0; // Gabor

    double at(double u) const
    {
        if (u < 0.0)
            return 0.0;
        const double w = 2.0 * kPi / periodMs;
        switch (shape) {
        case OnsetShape::DampedSine: return std::sin(w * u) * std::exp(-u / decayMs);
        case OnsetShape::RampedSine: return (1.0 - std::exp(-u / rampMs)) * std::sin(w * u) * std::exp(-u / decayMs);
        case OnsetShape::Gabor: {
            const double x = (u - centreMs) / widthMs;
            return std::sin(w * u) * std::exp(-x * x);
        }
        case OnsetShape::CausalRicker: {
            // (1 - 2 x^2) exp(-x^2) with x = pi f (u - uc): the lobe before
            // the main one is left out, the wavelet starting at the zero
            // crossing x = -1/sqrt(2); the tail decays as drawn.
            const double x = kPi / periodMs * u - 1.0 / std::sqrt(2.0);
            return -(1.0 - 2.0 * x * x) * std::exp(-x * x) * std::exp(-u / (3.0 * decayMs));
        }
        }
        return 0.0;
    }
};

Wavelet drawWavelet(Draw &draw, double periodMs)
{
    Wavelet w;
    w.shape = OnsetShape(draw.index(4));
    w.periodMs = periodMs;
    w.decayMs = periodMs * draw.uniform(0.5, 2.5);
    w.rampMs = periodMs * draw.uniform(0.01, 0.05);
    w.centreMs = periodMs * draw.uniform(0.15, 0.5);
    w.widthMs = periodMs * draw.uniform(0.35, 0.8);
    return w;
}

// Noise of RMS 1 over the trace: white, or white through a resonant
// band-pass (a two-pole section run from well before the trace, so that it
// has settled).
std::vector<double> drawNoise(Draw &draw, NoiseKind kind, double centreHz, double q, double intervalUs)
{
    std::vector<double> n(kSamples);
    if (kind == NoiseKind::White) {
        for (double &v : n)
            v = draw.normal();
    } else {
        const double w0 = 2.0 * kPi * centreHz * intervalUs * 1.0e-6;
        const double alpha = std::sin(w0) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        const double b0 = alpha / a0, b2 = -alpha / a0;
        const double a1 = -2.0 * std::cos(w0) / a0, a2 = (1.0 - alpha) / a0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (int i = -2000; i < kSamples; ++i) {
            const double x = draw.normal();
            const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            if (i >= 0)
                n[std::size_t(i)] = y;
        }
    }
    double sum = 0.0;
    for (const double v : n)
        sum += v * v;
    const double rms = std::sqrt(sum / kSamples);
    for (double &v : n)
        v = rms > 0.0 ? v / rms : 0.0;
    return n;
}

struct Layer {
    double bottom; // m
    double vs; // m/s
};

// Straight-ray S travel time (ms) from the source, offset `offset` from the
// hole, to `depth`.
double travelMs(const std::vector<Layer> &layers, double offset, double depth)
{
    double vertical = 0.0;
    double top = 0.0;
    for (const Layer &l : layers) {
        const double b = std::min(l.bottom, depth);
        if (b > top)
            vertical += (b - top) / l.vs * 1000.0;
        top = l.bottom;
        if (top >= depth)
            break;
    }
    return vertical * std::sqrt(offset * offset + depth * depth) / depth;
}

std::int16_t count(double v)
{
    return std::int16_t(std::clamp(std::lround(v), -32768L, 32767L));
}

} // namespace

const char *shapeName(OnsetShape shape)
{
    switch (shape) {
    case OnsetShape::DampedSine: return "damped-sine";
    case OnsetShape::RampedSine: return "ramped-sine";
    case OnsetShape::Gabor: return "gabor";
    case OnsetShape::CausalRicker: return "ricker";
    }
    return "?";
}

Hole makeHole(const HoleOptions &options)
{
    Draw draw(options.seed);
    const int points = std::clamp(options.points, 1, 500);
    const int channels = std::clamp(options.channels, 1, 4);
    const int held = std::clamp(options.importChannel, 0, channels - 1);
    const double spacing = options.spacing > 0.0f ? double(options.spacing) : 1.0;

    constexpr double intervals[] = {20.0, 25.0, 40.0, 50.0};
    const double dt = intervals[draw.index(4)]; // µs
    const double offset = draw.uniform(1.0, 3.0);
    const double bottom = spacing * points;
    std::vector<Layer> layers;
    double vs = draw.uniform(110.0, 200.0);
    for (double top = 0.0; top < bottom;) {
        const double thickness = draw.uniform(1.5, 8.0);
        layers.push_back({top + thickness, vs});
        top += thickness;
        vs = std::max(100.0, vs + draw.uniform(-30.0, 90.0));
    }
    const double sPolarity = draw.coin() ? 1.0 : -1.0;
    const double pPolarity = draw.coin() ? 1.0 : -1.0;

    Hole hole;
    hole.survey.header.sourceDistance = float(offset);
    hole.survey.header.pointSpacing = float(spacing);
    hole.survey.header.holeDepth = float(bottom);
    for (int k = 0; k < points; ++k) {
        const double depth = spacing * (k + 1);
        PointTruth truth;
        const Wavelet s = drawWavelet(draw, draw.uniform(3.0, 7.0));
        truth.periodMs = s.periodMs;
        truth.decayMs = s.decayMs;
        truth.shape = s.shape;
        Wavelet p = drawWavelet(draw, draw.uniform(0.8, 2.5));
        if (p.shape == OnsetShape::RampedSine)
            p.shape = OnsetShape::DampedSine;
        truth.pLeadMs = draw.uniform(2.0, 7.0);
        truth.noise = draw.coin() ? NoiseKind::White : NoiseKind::BandLimited;
        const double noiseCentreHz = draw.uniform(40.0, 600.0);
        const double noiseQ = draw.uniform(0.7, 4.0);

        // Channel gains: the strongest S on a channel of its own, the P-wave
        // on every channel in its own proportion.
        truth.strongestChannel = draw.index(channels);
        std::array<double, 4> sGain{}, pGain{};
        for (int c = 0; c < channels; ++c) {
            sGain[std::size_t(c)] = c == truth.strongestChannel ? 1.0 : draw.uniform(0.3, 0.85);
            pGain[std::size_t(c)] = draw.uniform(0.1, 0.45);
        }
        const double slant = std::sqrt(offset * offset + depth * depth);
        const double amplitude = 7000.0 / (1.0 + slant / 10.0) * draw.uniform(0.7, 1.0);
        const std::array<double, 2> sBlow{draw.uniform(0.9, 1.1), draw.uniform(0.9, 1.1)};
        const std::array<double, 2> pBlow{draw.uniform(0.85, 1.15), draw.uniform(0.85, 1.15)};

        // The trigger delay: the S-wave some ms into the record, the P-wave
        // after its start and at least 1.6 S periods of record after it.
        const double ts = travelMs(layers, offset, depth);
        const double windowMs = kSamples * dt / 1000.0;
        const double minLead = truth.pLeadMs + std::max(1.0, 60.0 * dt / 1000.0);
        const double maxLead = std::max(minLead, std::min(minLead + 8.0, windowMs - 1.6 * s.periodMs));
        const double lead = draw.uniform(minLead, maxLead);
        const double delay = std::max(0.0, std::floor(ts - lead));
        truth.onsetExact = (ts - delay) * 1000.0 / dt;
        truth.onsetSample = int(std::lround(truth.onsetExact));

        // The S-wave's peak on the held channel fixes the noise level.
        double sPeak = 0.0;
        for (int i = 0; i < kSamples; ++i)
            sPeak = std::max(sPeak, std::abs(s.at(delay + i * dt / 1000.0 - ts)));
        sPeak *= amplitude * sGain[std::size_t(held)] * sBlow[0];
        double pPeak = 0.0;
        for (int i = 0; i < kSamples; ++i)
            pPeak = std::max(pPeak, std::abs(p.at(delay + i * dt / 1000.0 - (ts - truth.pLeadMs))));
        truth.pOverS = sPeak > 0.0 ? pPeak * amplitude * pGain[std::size_t(held)] * pBlow[0] / sPeak : 0.0;
        const double noiseRms = options.signalToNoise > 0.0 ? sPeak / options.signalToNoise : 0.0;

        std::array<talvex::FieldRecordData, 2> records;
        for (int blow = 0; blow < 2; ++blow) {
            talvex::FieldRecordData &rec = records[std::size_t(blow)];
            rec.header.year = 2026;
            rec.header.month = 12;
            rec.header.day = 8;
            rec.header.interval = std::uint16_t(dt);
            rec.header.delay = std::uint16_t(delay);
            rec.header.gain = 1;
            const double sign = blow == 0 ? sPolarity : -sPolarity;
            for (int c = 0; c < channels; ++c) {
                const std::vector<double> noise = drawNoise(draw, truth.noise, noiseCentreHz, noiseQ, dt);
                std::vector<std::int16_t> trace(kSamples);
                for (int i = 0; i < kSamples; ++i) {
                    const double t = delay + i * dt / 1000.0;
                    const double v = sign * amplitude * sGain[std::size_t(c)] * sBlow[std::size_t(blow)] * s.at(t - ts)
                        + pPolarity * amplitude * pGain[std::size_t(c)] * pBlow[std::size_t(blow)]
                            * p.at(t - ts + truth.pLeadMs)
                        + noiseRms * noise[std::size_t(i)];
                    trace[std::size_t(i)] = count(v);
                }
                rec.channels.push_back(std::move(trace));
            }
        }

        talvex::TlvOne point = talvex::TlvOne::newPoint(float(offset));
        point.depth = float(depth);
        point.interval = float(dt);
        point.delay = float(delay);
        point.gain = 1;
        std::copy_n(records[0].channels[std::size_t(held)].begin(), kSamples, point.positive.begin());
        std::copy_n(records[1].channels[std::size_t(held)].begin(), kSamples, point.negative.begin());
        hole.survey.points.push_back(point);
        hole.truth.push_back(truth);
        hole.records.push_back(std::move(records));
    }
    return hole;
}

} // namespace holegen
