#include "tools/samplegen/syntheticsurvey.h"

#include "common/fixedtext.h"
#include "common/gbk.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <random>

namespace samplegen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Vertical time (ms) through the model from the surface down to `depth`.
double verticalTimeMs(const SurveyModel &model, double depth, bool shear)
{
    double t = 0.0;
    for (const ModelLayer &l : model.layers) {
        const double a = std::max<double>(l.top, 0.0);
        const double b = std::min<double>(l.bottom, depth);
        if (b > a)
            t += (b - a) / (shear ? l.vs : l.vp) * 1000.0;
    }
    return t;
}

// Gaussian noise from a generator whose sequence is fixed by the standard,
// turned into normal values with Box-Muller (the library's distributions
// may differ between implementations).
class Noise {
public:
    explicit Noise(std::uint32_t seed) : m_engine(seed) {}
    double next()
    {
        const double u1 = (double(m_engine()) + 1.0) / 4294967297.0;
        const double u2 = double(m_engine()) / 4294967296.0;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    }

private:
    std::mt19937 m_engine;
};

// A damped sine that starts at `onset` (ms) with zero amplitude.
double wavelet(double tMs, double onsetMs, double frequencyHz, double decayMs)
{
    if (tMs < onsetMs)
        return 0.0;
    const double dt = tMs - onsetMs;
    return std::sin(2.0 * kPi * frequencyHz * dt / 1000.0) * std::exp(-dt / decayMs);
}

} // namespace

SurveyModel defaultModel()
{
    SurveyModel m;
    m.layers = {
        {0.0f, 2.0f, 120.0f, 300.0f},   {2.0f, 6.0f, 160.0f, 400.0f},   {6.0f, 11.0f, 220.0f, 550.0f},
        {11.0f, 16.0f, 280.0f, 700.0f}, {16.0f, 40.0f, 350.0f, 900.0f},
    };
    return m;
}

double travelTimeMs(const SurveyModel &model, double depth, bool shear)
{
    if (depth <= 0.0)
        return 0.0;
    // The straight ray crosses each layer over (thickness × slant / depth).
    const double slant = std::sqrt(double(model.sourceDistance) * model.sourceDistance + depth * depth);
    return verticalTimeMs(model, depth, shear) * slant / depth;
}

double intervalVelocity(const SurveyModel &model, double fromDepth, double toDepth)
{
    const double t = verticalTimeMs(model, toDepth, true) - verticalTimeMs(model, fromDepth, true);
    return t > 0.0 ? (toDepth - fromDepth) / t * 1000.0 : 0.0;
}

std::uint16_t recordDelayMs(const SurveyModel &model, double depth)
{
    const double window = double(model.interval) * model.samples / 1000.0;
    const double lead = std::min(10.0, window * 0.4);
    const double delay = std::floor(travelTimeMs(model, depth, true) - lead);
    return std::uint16_t(std::clamp(delay, 0.0, 60000.0));
}

int arrivalSample(const SurveyModel &model, double depth)
{
    const double ms = travelTimeMs(model, depth, true) - recordDelayMs(model, depth);
    return int(std::lround(ms * 1000.0 / model.interval));
}

talvex::FieldRecordData makeRecord(const SurveyModel &model, double depth, bool positiveBlow)
{
    talvex::FieldRecordData rec;
    auto &h = rec.header;
    common::storeFixedText(h.siteName, common::encodeGbk(QString::fromStdString(model.siteName)).value_or("").toStdString());
    common::storeFixedText(h.holeName, common::encodeGbk(QString::fromStdString(model.holeName)).value_or("").toStdString());
    h.year = 2026;
    h.month = 12;
    h.day = 7;
    h.hour = 9;
    h.minute = std::int16_t(int(depth) % 60);
    h.second = positiveBlow ? 10 : 40;
    h.interval = model.interval;
    h.delay = recordDelayMs(model, depth);
    h.gain = 10;
    h.triggerLevel = 100;

    const double ts = travelTimeMs(model, depth, true);
    const double tp = travelTimeMs(model, depth, false);
    const double slant = std::sqrt(double(model.sourceDistance) * model.sourceDistance + depth * depth);
    const double spread = 1.0 / (1.0 + slant / 8.0);
    const double sign = positiveBlow ? 1.0 : -1.0;
    Noise noise(model.seed + std::uint32_t(std::lround(depth * 100.0)) * 2u + (positiveBlow ? 0u : 1u));

    // Horizontal channels carry the S-wave strongly, the vertical one the P-wave.
    const double sGain[4] = {1.0, 0.7, 0.25, 0.5};
    const double pGain[4] = {0.15, 0.1, 0.6, 0.2};
    rec.channels.assign(std::size_t(std::clamp(model.channels, 1, 4)), std::vector<std::int16_t>(model.samples));
    for (std::size_t c = 0; c < rec.channels.size(); ++c) {
        for (std::size_t i = 0; i < model.samples; ++i) {
            const double t = double(h.delay) + double(i) * model.interval / 1000.0;
            const double s = sign * 9000.0 * sGain[c] * spread * wavelet(t, ts, 70.0, 12.0);
            const double p = 9000.0 * pGain[c] * spread * wavelet(t, tp, 220.0, 3.0);
            const double v = s + p + 30.0 * noise.next();
            rec.channels[c][i] = std::int16_t(std::clamp(std::lround(v), -32768L, 32767L));
        }
    }
    return rec;
}

std::vector<double> receiverDepths(const SurveyModel &model)
{
    std::vector<double> depths;
    if (!(model.pointSpacing > 0.0f))
        return depths;
    const int n = int(model.holeDepth / model.pointSpacing);
    for (int k = 1; k <= n; ++k)
        depths.push_back(double(float(k) * model.pointSpacing));
    return depths;
}

QString recordFileName(const SurveyModel &model, double depth, bool positiveBlow)
{
    return QString::fromStdString(model.holeName) + QLatin1Char('&') + QString::number(int(depth))
        + (positiveBlow ? QLatin1String("A.cwd") : QLatin1String("B.cwd"));
}

int writeRecords(const SurveyModel &model, const QString &folder, QString *error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder ") + folder;
        return -1;
    }
    int written = 0;
    for (const double depth : receiverDepths(model)) {
        for (const bool positive : {true, false}) {
            const QString path = QDir(folder).filePath(recordFileName(model, depth, positive));
            const common::FileError e = talvex::writeFieldRecordV2(path, makeRecord(model, depth, positive));
            if (!e.ok) {
                if (error)
                    *error = path + QStringLiteral(": ") + e.message;
                return -1;
            }
            ++written;
        }
    }
    return written;
}

} // namespace samplegen
