#include "tools/samplegen/syntheticsurvey.h"

#include "common/fixedtext.h"
#include "common/gbk.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
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
    common::storeFixedText(h.siteName,
                           common::encodeGbk(QString::fromStdString(model.siteName)).value_or("").toStdString());
    common::storeFixedText(h.holeName,
                           common::encodeGbk(QString::fromStdString(model.holeName)).value_or("").toStdString());
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
    std::vector<double> s(model.samples);
    std::vector<double> p(model.samples);
    for (std::size_t c = 0; c < rec.channels.size(); ++c) {
        double peak = 0.0;
        for (std::size_t i = 0; i < model.samples; ++i) {
            const double t = double(h.delay) + double(i) * model.interval / 1000.0;
            s[i] = sign * 9000.0 * sGain[c] * spread * wavelet(t, ts, 70.0, 12.0);
            p[i] = 9000.0 * pGain[c] * spread * wavelet(t, tp, 220.0, 3.0);
            peak = std::max(peak, std::abs(s[i]));
        }
        // The noise draws come in the same order whatever the level, so a
        // seed gives the same noise shape at every signal-to-noise ratio.
        const double noiseRms = model.signalToNoise > 0.0 ? peak / model.signalToNoise : 30.0;
        for (std::size_t i = 0; i < model.samples; ++i) {
            const double v = s[i] + p[i] + noiseRms * noise.next();
            rec.channels[c][i] = std::int16_t(std::clamp(std::lround(v), -32768L, 32767L));
        }
    }
    return rec;
}

talvex::TlvOne makePoint(const SurveyModel &model, double depth, int channel)
{
    talvex::TlvOne p = talvex::TlvOne::newPoint(model.sourceDistance);
    p.depth = float(depth);
    p.interval = float(model.interval);
    p.delay = float(recordDelayMs(model, depth));
    for (const bool positive : {true, false}) {
        const talvex::FieldRecordData rec = makeRecord(model, depth, positive);
        const std::vector<std::int16_t> &samples = rec.channels.at(std::size_t(channel));
        p.gain = std::int16_t(rec.header.gain);
        talvex::Trace &trace = positive ? p.positive : p.negative;
        std::copy_n(samples.begin(), std::min<std::size_t>(samples.size(), trace.size()), trace.begin());
    }
    return p;
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

QString checkModel(const SurveyModel &model)
{
    const auto metres = [](double v) { return QString::number(v, 'g', 6); };
    if (!(model.holeDepth > 0.0f) || model.holeDepth > kMaxHoleDepth)
        return QStringLiteral("孔深应大于 0 m、不超过 %1 m,不是 %2 m")
            .arg(metres(kMaxHoleDepth), metres(model.holeDepth));
    if (!(model.pointSpacing > 0.0f))
        return QStringLiteral("测点间距应大于 0 m,不是 %1 m").arg(metres(model.pointSpacing));
    if (model.pointSpacing > model.holeDepth)
        return QStringLiteral("测点间距 %1 m 大于孔深 %2 m,没有测点")
            .arg(metres(model.pointSpacing), metres(model.holeDepth));
    if (!(model.sourceDistance >= 0.0f) || !std::isfinite(model.sourceDistance))
        return QStringLiteral("震源距离不能为负数");
    if (!(model.signalToNoise >= 0.0) || !std::isfinite(model.signalToNoise))
        return QStringLiteral("信噪比应为 0 或有限的正数");

    // The layers, in order, must cover the hole from the surface down.
    std::vector<ModelLayer> layers = model.layers;
    std::sort(layers.begin(), layers.end(), [](const ModelLayer &a, const ModelLayer &b) { return a.top < b.top; });
    float reached = 0.0f;
    for (const ModelLayer &l : layers) {
        if (!(l.vs > 0.0f) || !(l.vp > 0.0f) || !(l.bottom > l.top))
            return QStringLiteral("速度模型的每一层要底深大于顶深、速度大于 0");
        if (l.top != reached)
            return QStringLiteral("速度模型要从 0 m 起一层接一层,%1 m 处有空缺或重叠").arg(metres(reached));
        reached = l.bottom;
    }
    if (reached < model.holeDepth)
        return QStringLiteral("速度模型只到 %1 m,没有覆盖到孔深 %2 m").arg(metres(reached), metres(model.holeDepth));

    const QString hole = QString::fromStdString(model.holeName);
    if (hole.trimmed().isEmpty() || hole.contains(u'/') || hole.contains(u'\\') || hole == u"." || hole == u"..")
        return QStringLiteral("孔号 \"%1\" 不能用作文件名的开头(不能为空,不能含有路径符号)").arg(hole);
    for (const QString &text : {hole, QString::fromStdString(model.siteName)}) {
        if (!common::encodeGbk(text))
            return QStringLiteral("\"%1\" 中的字符 \"%2\" 不能用 GBK 保存").arg(text, common::unencodableGbk(text));
    }

    QHash<QString, double> depthOfName;
    for (const double depth : receiverDepths(model)) {
        const QString name = recordFileName(model, depth, true).toLower();
        const auto it = depthOfName.constFind(name);
        if (it != depthOfName.constEnd())
            return QStringLiteral("测点间距 %1 m 使深度 %2 m 和 %3 m 的记录同名(文件名只记整米深度),"
                                  "后一个会覆盖前一个;请用能让每个测点的整米深度都不同的间距")
                .arg(metres(model.pointSpacing), metres(it.value()), metres(depth));
        depthOfName.insert(name, depth);
    }
    return QString();
}

int writeRecords(const SurveyModel &model, const QString &folder, QString *error)
{
    if (const QString problem = checkModel(model); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return -1;
    }
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        if (error)
            *error = QStringLiteral("不能创建文件夹 ") + folder;
        return -1;
    }
    // Counted by path, so that a file written twice counts once.
    QSet<QString> written;
    for (const double depth : receiverDepths(model)) {
        for (const bool positive : {true, false}) {
            const QString path = QDir(folder).filePath(recordFileName(model, depth, positive));
            const common::FileError e = talvex::writeFieldRecordV2(path, makeRecord(model, depth, positive));
            if (!e.ok) {
                if (error)
                    *error = path + QStringLiteral(": ") + e.message;
                return -1;
            }
            written.insert(path);
        }
    }
    return int(written.size());
}

} // namespace samplegen
