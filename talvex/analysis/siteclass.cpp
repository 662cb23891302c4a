#include "talvex/analysis/siteclass.h"

#include "common/numberformat.h"
#include "talvex/survey/surveydata.h"

#include <algorithm>
#include <cmath>

namespace talvex {

const char *const kNoPointsForSiteClass = "本测试没有测点";
const char *const kNoVelocitiesForSiteClass = "测点都没有波速（请先拾取初至并重新计算波速）";
const char *const kNoPicksForSiteClass = "测点都未拾取初至";

namespace {

// The soft top layer of ground type E: 5...20 m thick, averaging C or D
// velocities, over ground faster than 800 m/s.
constexpr float kEc8SoftLayerMin = 5.0f;
constexpr float kEc8SoftLayerMax = 20.0f;
constexpr float kEc8StiffVelocity = 800.0f;
constexpr float kEc8SoftVelocity = 360.0f;

// A depth far below any overburden the table distinguishes.
constexpr float kVeryThick = 1.0e6f;

QString metres(float value)
{
    return QString::fromStdString(common::formatFixed(value, 1));
}

// The top of the first interval faster than 500 m/s with nothing slower
// than 500 m/s below it, or nothing.
std::optional<float> rockTop(const std::vector<VelocityInterval> &profile)
{
    std::optional<float> top;
    for (std::size_t i = profile.size(); i-- > 0;) {
        if (profile[i].velocity < kRockVelocity)
            break;
        if (profile[i].velocity > kRockVelocity)
            top = profile[i].top;
    }
    return top;
}

// Ground type E: the shallowest depth below which every interval is faster
// than 800 m/s, when the ground above it is 5...20 m thick and averages C or
// D velocities.
std::optional<float> ec8SoftLayer(const std::vector<VelocityInterval> &profile)
{
    std::size_t first = profile.size();
    while (first > 0 && profile[first - 1].velocity > kEc8StiffVelocity)
        --first;
    if (first == 0 || first == profile.size())
        return std::nullopt;
    const float h = profile[first].top;
    if (h < kEc8SoftLayerMin || h > kEc8SoftLayerMax)
        return std::nullopt;
    if (timeAveragedVelocity(profile, h).velocity > kEc8SoftVelocity)
        return std::nullopt;
    return h;
}

} // namespace

SiteCategory siteCategory(float velocity, float overburden)
{
    const float d = overburden;
    if (velocity > 800.0f)
        return SiteCategory::I0;
    if (velocity > 500.0f)
        return SiteCategory::I1;
    if (velocity > 250.0f)
        return d < 5.0f ? SiteCategory::I1 : SiteCategory::II;
    if (velocity > 150.0f)
        return d < 3.0f ? SiteCategory::I1 : d <= 50.0f ? SiteCategory::II : SiteCategory::III;
    if (d < 3.0f)
        return SiteCategory::I1;
    if (d <= 15.0f)
        return SiteCategory::II;
    return d <= 80.0f ? SiteCategory::III : SiteCategory::IV;
}

NehrpClass nehrpClass(float vs30)
{
    if (vs30 > 1500.0f)
        return NehrpClass::A;
    if (vs30 > 760.0f)
        return NehrpClass::B;
    if (vs30 > 360.0f)
        return NehrpClass::C;
    return vs30 >= 180.0f ? NehrpClass::D : NehrpClass::E;
}

Ec8Ground ec8GroundFromVs30(float vs30)
{
    if (vs30 > 800.0f)
        return Ec8Ground::A;
    if (vs30 > 360.0f)
        return Ec8Ground::B;
    return vs30 >= 180.0f ? Ec8Ground::C : Ec8Ground::D;
}

const char *siteCategoryName(SiteCategory category)
{
    switch (category) {
    case SiteCategory::I0: return "I0";
    case SiteCategory::I1: return "I1";
    case SiteCategory::II: return "II";
    case SiteCategory::III: return "III";
    case SiteCategory::IV: return "IV";
    }
    return "";
}

const char *nehrpClassName(NehrpClass siteClass)
{
    static const char *const names[] = {"A", "B", "C", "D", "E"};
    return names[int(siteClass)];
}

const char *ec8GroundName(Ec8Ground ground)
{
    static const char *const names[] = {"A", "B", "C", "D", "E"};
    return names[int(ground)];
}

std::vector<VelocityInterval> profileFromTimes(const PickedTimes &picked, int *dropped)
{
    std::vector<VelocityInterval> profile;
    int left = 0;
    double previousDepth = 0.0;
    double previousTime = 0.0;
    for (const PickedTime &p : picked.points) {
        // A second point at the same depth adds no interval.
        if (double(p.depth) == previousDepth)
            continue;
        double velocity = 0.0;
        if (picked.singleHole) {
            const double dt = p.time - previousTime;
            velocity = dt > 0.0 ? (double(p.depth) - previousDepth) / dt * 1000.0 : 0.0;
        } else {
            velocity = p.time > 0.0 ? p.crossDistance / p.time * 1000.0 : 0.0;
        }
        if (!(velocity > 0.0) || !std::isfinite(velocity) || !std::isfinite(float(velocity))) {
            ++left;
            continue;
        }
        profile.push_back({float(previousDepth), p.depth, float(velocity)});
        previousDepth = p.depth;
        previousTime = p.time;
    }
    if (dropped)
        *dropped = left;
    return profile;
}

std::vector<VelocityInterval> velocityProfile(const SurveyData &survey)
{
    return profileFromTimes(pickedTimes(survey));
}

AverageVelocity timeAveragedVelocity(const std::vector<VelocityInterval> &profile, float depth)
{
    AverageVelocity result;
    if (profile.empty() || !(depth > 0.0f))
        return result;
    double time = 0.0;
    for (const VelocityInterval &i : profile) {
        if (i.top >= depth)
            break;
        time += (double(std::min(i.bottom, depth)) - i.top) / i.velocity;
    }
    const VelocityInterval &deepest = profile.back();
    if (depth > deepest.bottom) {
        time += (double(depth) - deepest.bottom) / deepest.velocity;
        result.extrapolated = true;
    }
    const double v = depth / time;
    result.velocity = std::isfinite(v) ? float(v) : 0.0f;
    return result;
}

SiteClassification classifyProfile(const std::vector<VelocityInterval> &profile, float overburdenParameter)
{
    SiteClassification site;
    site.deepest = profile.back().bottom;

    if (const auto top = rockTop(profile)) {
        site.overburden = *top;
        site.overburdenSource = OverburdenSource::Velocities;
    } else if (overburdenParameter > site.deepest && std::isfinite(overburdenParameter)) {
        site.overburden = overburdenParameter;
        site.overburdenSource = OverburdenSource::HoleParameters;
    } else {
        site.overburden = site.deepest;
        site.overburdenSource = OverburdenSource::HoleBottom;
    }

    if (site.overburden > 0.0f) {
        site.d0 = std::min(site.overburden, kMaxEquivalentDepth);
        const AverageVelocity vse = timeAveragedVelocity(profile, site.d0);
        site.vse = vse.velocity;
        site.vseExtrapolated = vse.extrapolated;
        site.category = siteCategory(site.vse, site.overburden);
        if (site.overburdenSource == OverburdenSource::HoleBottom) {
            const SiteCategory thicker = siteCategory(site.vse, kVeryThick);
            if (thicker != site.category)
                site.categoryIfThicker = thicker;
        }
    } else {
        site.rockVelocity = timeAveragedVelocity(profile, std::min(kMaxEquivalentDepth, site.deepest)).velocity;
        site.category = siteCategory(site.rockVelocity, 0.0f);
    }

    const AverageVelocity vs30 = timeAveragedVelocity(profile, kVs30Depth);
    site.vs30 = vs30.velocity;
    site.vs30Extrapolated = vs30.extrapolated;
    site.nehrp = nehrpClass(site.vs30);
    site.ec8 = ec8GroundFromVs30(site.vs30);
    if (const auto h = ec8SoftLayer(profile)) {
        site.ec8 = Ec8Ground::E;
        site.ec8SurfaceLayer = *h;
    }
    return site;
}

SiteClassification ClassifyPicked(const PickedTimes &picked, float overburdenParameter)
{
    SiteClassification site;
    if (picked.total == 0) {
        site.problem = QString::fromUtf8(kNoPointsForSiteClass);
        return site;
    }
    int dropped = 0;
    const std::vector<VelocityInterval> profile = profileFromTimes(picked, &dropped);
    if (!profile.empty())
        site = classifyProfile(profile, overburdenParameter);
    site.usedPoints = int(picked.points.size()) - dropped;
    site.skippedPoints = picked.total - site.usedPoints;
    site.unpickedPoints = picked.unpicked;
    if (profile.empty()) {
        site.problem = picked.unpicked == picked.total
            ? QStringLiteral("%1（%2 个测点）").arg(QString::fromUtf8(kNoPicksForSiteClass)).arg(picked.total)
            : QString::fromUtf8(kNoVelocitiesForSiteClass);
        return site;
    }
    // Unpicked points lie within d0 and no picked one does: vse would be a
    // guess at ground nobody timed.
    if (site.overburden > 0.0f && picked.shallowestUnpicked > 0.0f && picked.shallowestUnpicked <= site.d0
        && profile.front().bottom > site.d0)
        site.problem = QStringLiteral("计算深度 d0 = %1 米以内没有拾取初至的测点（%2 个测点未拾取初至），不能计算 vse")
                           .arg(metres(site.d0))
                           .arg(picked.unpicked);
    return site;
}

SiteClassification ClassifySite(const SurveyData &survey)
{
    return ClassifyPicked(pickedTimes(survey), survey.header.overburden);
}

QStringList leftOutLines(const SiteClassification &site)
{
    QStringList lines;
    if (site.unpickedPoints > 0)
        lines << QStringLiteral("%1 个测点未拾取初至，未计入").arg(site.unpickedPoints);
    const int other = site.skippedPoints - site.unpickedPoints;
    if (other > 0)
        lines << QStringLiteral("%1 个测点没有波速（深度不大于 0，或走时不大于上方测点），未计入").arg(other);
    return lines;
}

namespace {

template <class Class, class Name>
QString withOthers(Class nominal, const std::vector<Class> &others, Name name, const QString &unit)
{
    QString text = QString::fromLatin1(name(nominal)) + unit;
    if (others.empty())
        return text;
    QStringList names;
    for (Class c : others)
        names << QString::fromLatin1(name(c)) + unit;
    return text + QStringLiteral("，在误差范围内可能为 ") + names.join(QStringLiteral("或"));
}

QString boundsText(const ValueBounds &b)
{
    return QStringLiteral("误差范围 %1～%2 m/s").arg(metres(b.low), metres(b.high));
}

} // namespace

QString categoryWithBounds(const SiteClassification &site)
{
    static const std::vector<SiteCategory> none;
    return withOthers(site.category, site.bounds ? site.bounds->otherCategories : none, siteCategoryName,
                      QStringLiteral(" 类"));
}

QString nehrpWithBounds(const SiteClassification &site)
{
    static const std::vector<NehrpClass> none;
    return withOthers(site.nehrp, site.bounds ? site.bounds->otherNehrp : none, nehrpClassName, QString());
}

QString ec8WithBounds(const SiteClassification &site)
{
    static const std::vector<Ec8Ground> none;
    return withOthers(site.ec8, site.bounds ? site.bounds->otherEc8 : none, ec8GroundName, QString());
}

QStringList siteClassLines(const SiteClassification &site)
{
    if (!site.ok())
        return {QStringLiteral("场地类别：无法确定（%1）").arg(site.problem)};
    QStringList lines;
    const SiteBounds *bounds = site.bounds ? &*site.bounds : nullptr;
    const auto range
        = [](const ValueBounds &b) { return b.known() ? QStringLiteral("，") + boundsText(b) : QString(); };
    const QString extrapolatedBelow
        = QStringLiteral("外推：测孔只测到 %1 米，以下按最深测点波速计").arg(metres(site.deepest));
    if (site.overburden > 0.0f) {
        QString line
            = QStringLiteral("等效剪切波速 vse = %1 m/s（计算深度 d0 = %2 米").arg(metres(site.vse), metres(site.d0));
        if (bounds)
            line += range(bounds->vse);
        line += site.vseExtrapolated ? QStringLiteral("，%1）").arg(extrapolatedBelow) : QStringLiteral("）");
        lines << line;
    } else {
        lines << QStringLiteral("岩石剪切波速 vs = %1 m/s（0～%2 米的平均%3）")
                     .arg(metres(site.rockVelocity), metres(std::min(kMaxEquivalentDepth, site.deepest)),
                          bounds ? range(bounds->rockVelocity) : QString());
    }
    QString source;
    switch (site.overburdenSource) {
    case OverburdenSource::Velocities: source = QStringLiteral("由测点波速：其下波速均不小于 500 m/s"); break;
    case OverburdenSource::HoleParameters:
        source = QStringLiteral("取自测孔参数：测孔 %1 米内未见波速大于 500 m/s 的岩土").arg(metres(site.deepest));
        break;
    case OverburdenSource::HoleBottom:
        source = QStringLiteral("孔底仍未见波速大于 500 m/s 的岩土，取孔深，为下限");
        break;
    }
    lines << QStringLiteral("覆盖层厚度 d = %1 米（%2）").arg(metres(site.overburden), source);
    QString category = bounds ? QStringLiteral("建筑场地类别：%1（GB 50011-2010）").arg(categoryWithBounds(site))
                              : QStringLiteral("建筑场地类别：%1 类（GB 50011-2010）")
                                    .arg(QString::fromLatin1(siteCategoryName(site.category)));
    if (site.categoryIfThicker)
        category += QStringLiteral("；覆盖层更厚时可能为 %1 类")
                        .arg(QString::fromLatin1(siteCategoryName(*site.categoryIfThicker)));
    lines << category;
    QStringList vs30Notes;
    if (bounds && bounds->vs30.known())
        vs30Notes << boundsText(bounds->vs30);
    if (site.vs30Extrapolated)
        vs30Notes << extrapolatedBelow;
    QString vs30 = QStringLiteral("Vs30 = %1 m/s").arg(metres(site.vs30));
    if (!vs30Notes.isEmpty())
        vs30 += QStringLiteral("（%1）").arg(vs30Notes.join(QStringLiteral("，")));
    lines << vs30;
    lines << QStringLiteral("NEHRP 场地类别：%1").arg(nehrpWithBounds(site));
    QString ec8 = QStringLiteral("EC8 场地类型：%1").arg(ec8WithBounds(site));
    if (site.ec8 == Ec8Ground::E)
        ec8 += QStringLiteral("（地表 %1 米平均波速不大于 360 m/s，其下波速均大于 800 m/s）")
                   .arg(metres(site.ec8SurfaceLayer));
    lines << ec8;
    lines << leftOutLines(site);
    if (bounds && bounds->excessScatterMs > 0.0f)
        lines << QStringLiteral("注意：拾取的走时相对相邻测点离散约 %1 ms，远大于拾取误差 %2 ms，"
                                "可能有拾取错误，误差范围可能偏窄，请复核初至")
                     .arg(QString::number(bounds->excessScatterMs, 'f', 2),
                          QString::number(bounds->typicalUncertaintyMs, 'f', 2));
    if (bounds)
        lines << QStringLiteral("误差范围为 16%～84% 分位数：各测点初至按拾取误差（自动拾取建议的误差与建议和拾取之差的"
                                "合成，至少 1 个采样点；没有建议的拾取按 %1 个采样点）抽样 %2 次重新计算")
                     .arg(kHandPickUncertainty)
                     .arg(bounds->draws);
    return lines;
}

QStringList siteClassLines(const SurveyData &survey)
{
    return siteClassLines(ClassifySite(survey));
}

} // namespace talvex
