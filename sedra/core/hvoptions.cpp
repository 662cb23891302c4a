#include "sedra/core/hvoptions.h"

#include <cmath>
#include <numbers>

namespace sedra {

namespace {

struct CombineName {
    HorizontalCombine value;
    const char16_t *name;
};

constexpr CombineName kCombineNames[] = {
    {HorizontalCombine::Geometric, u"geometric"},
    {HorizontalCombine::Squared, u"squared"},
    {HorizontalCombine::Arithmetic, u"arithmetic"},
    {HorizontalCombine::Energy, u"energy"},
    {HorizontalCombine::Max, u"max"},
    {HorizontalCombine::Azimuth, u"azimuth"},
    {HorizontalCombine::RotD50, u"rotd50"},
};

} // namespace

QString combineName(HorizontalCombine c)
{
    for (const auto &n : kCombineNames)
        if (n.value == c)
            return QString::fromUtf16(n.name);
    return {};
}

std::optional<HorizontalCombine> combineFromName(const QString &name)
{
    for (const auto &n : kCombineNames)
        if (name.compare(QString::fromUtf16(n.name), Qt::CaseInsensitive) == 0)
            return n.value;
    return std::nullopt;
}

QString antiTriggerName(AntiTriggerMode m)
{
    switch (m) {
    case AntiTriggerMode::Off: return QStringLiteral("off");
    case AntiTriggerMode::Fixed: return QStringLiteral("fixed");
    case AntiTriggerMode::Adaptive: return QStringLiteral("adaptive");
    }
    return {};
}

std::optional<AntiTriggerMode> antiTriggerFromName(const QString &name)
{
    for (auto m : {AntiTriggerMode::Off, AntiTriggerMode::Fixed, AntiTriggerMode::Adaptive})
        if (name.compare(antiTriggerName(m), Qt::CaseInsensitive) == 0)
            return m;
    return std::nullopt;
}

QString hvOptionsProblem(const HvOptions &o, double sampleInterval)
{
    if (!(sampleInterval > 0) || !std::isfinite(sampleInterval))
        return QStringLiteral("采样间隔无效");
    if (!(o.windowSeconds > 0) || !std::isfinite(o.windowSeconds))
        return QStringLiteral("窗口长度必须大于 0 秒");
    if (o.windowSeconds / sampleInterval < 16)
        return QStringLiteral("窗口太短：每个窗口至少需要 16 个采样点");
    if (!(o.overlap >= 0 && o.overlap < 0.95))
        return QStringLiteral("窗口重叠须在 0 到 0.95 之间");
    if (!(o.taper >= 0 && o.taper <= 1))
        return QStringLiteral("锥形窗比例须在 0 到 1 之间");
    if (!(o.smoothing > 0) || !std::isfinite(o.smoothing))
        return QStringLiteral("平滑系数 b 必须大于 0");
    if (o.points < 2 || o.points > 100000)
        return QStringLiteral("频率点数须在 2 到 100000 之间");
    if (!(o.fmin > 0) || !(o.fmax > o.fmin) || !std::isfinite(o.fmax))
        return QStringLiteral("频率范围无效：须 0 < 最低频率 < 最高频率");
    const double nyquist = 0.5 / sampleInterval;
    if (o.fmax >= nyquist)
        return QStringLiteral("最高频率 %1 Hz 不低于奈奎斯特频率 %2 Hz").arg(o.fmax).arg(nyquist);
    // The lowest grid point must see at least one spectral line inside its
    // smoothing window, or its value would be undefined.
    const double df = 1.0 / o.windowSeconds;
    const double reach = std::pow(10.0, std::numbers::pi / o.smoothing);
    if (std::floor(o.fmin * reach / df) < std::max(1.0, std::ceil(o.fmin / reach / df)))
        return QStringLiteral("最低频率 %1 Hz 对 %2 秒的窗口过低（平滑窗口内没有谱线）")
            .arg(o.fmin)
            .arg(o.windowSeconds);
    if (o.combine == HorizontalCombine::Azimuth && !std::isfinite(o.azimuthDegrees))
        return QStringLiteral("方位角无效");
    if (o.antiTrigger != AntiTriggerMode::Off) {
        if (!(o.staSeconds > 0) || !(o.ltaSeconds > o.staSeconds) || !std::isfinite(o.ltaSeconds))
            return QStringLiteral("STA/LTA 时长无效：须 0 < STA < LTA");
        if (!(o.ratioMin > 0) || !(o.ratioMax > o.ratioMin) || !std::isfinite(o.ratioMax))
            return QStringLiteral("STA/LTA 比值范围无效：须 0 < 下限 < 上限");
    }
    if (o.fdwraN && !(*o.fdwraN > 0 && std::isfinite(*o.fdwraN)))
        return QStringLiteral("频域剔除的 n 必须大于 0");
    const double lo = o.peakMin.value_or(o.fmin), hi = o.peakMax.value_or(o.fmax);
    if (!(lo < hi) || hi <= o.fmin || lo >= o.fmax)
        return QStringLiteral("峰值频带无效：须在 %1–%2 Hz 之内且下限小于上限").arg(o.fmin).arg(o.fmax);
    if (o.vs && !(*o.vs > 0 && std::isfinite(*o.vs)))
        return QStringLiteral("剪切波速必须大于 0");
    if (!(o.vsSigmaLn >= 0) || !std::isfinite(o.vsSigmaLn))
        return QStringLiteral("剪切波速的 σln 不能为负");
    return {};
}

} // namespace sedra
