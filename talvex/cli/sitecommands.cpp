// talvex-cli commands of the site as a whole: layer suggestions from the
// travel-time curve, and the site classes from the point velocities.

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "talvex/analysis/layersuggest.h"
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/siteuncertainty.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/surveydata.h"

#include <cstdio>

using namespace talvex;

namespace cli {

namespace {

QString pathOf(const Args &args)
{
    return args.word(0, QStringLiteral("测试文件 FILE.qsw"));
}

// "205.1～226.0", or where the upper bound is open (the slope may reach
// 0) "205.1～".
QString rangeText(float low, float high)
{
    if (!(low > 0.0f) && !(high > 0.0f))
        return QStringLiteral("—");
    return (low > 0.0f ? fixed(low, 1) : QString()) + QStringLiteral("～") + (high > 0.0f ? fixed(high, 1) : QString());
}

QString suggestionTable(const LayerSuggestion &suggestion)
{
    std::vector<QStringList> rows{{QStringLiteral("分层"), QStringLiteral("顶(米)"), QStringLiteral("底(米)"),
                                   QStringLiteral("拟合波速(m/s)"), QStringLiteral("误差范围(m/s)"),
                                   QStringLiteral("测点数")}};
    for (std::size_t i = 0; i < suggestion.layers.size(); ++i) {
        const SuggestedLayer &l = suggestion.layers[i];
        rows.push_back({QString::number(i + 1), fixed(l.top, 2), fixed(l.bottom, 2), fixed(l.velocity, 1),
                        rangeText(l.velocityLow, l.velocityHigh), QString::number(l.pointCount)});
    }
    return formatTable(rows);
}

QString unpickedNote(int unpicked)
{
    return QStringLiteral("%1 个测点未拾取初至，未计入").arg(unpicked);
}

int runSuggestLayers(const Args &args)
{
    const QString path = pathOf(args);
    const bool apply = args.flag(QStringLiteral("apply"));
    if (args.flag(QStringLiteral("yes")) && !apply)
        throw Failure(QStringLiteral("--yes 只用于 --apply"), kExitUsage);
    common::ConsoleMessenger messenger(args.flag(QStringLiteral("yes")));
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    if (survey.points.empty())
        throw Failure(QStringLiteral("本测试没有测点"));
    const LayerSuggestion suggestion = SuggestLayers(survey, SuggestArrivals(survey));
    if (!suggestion.ok())
        throw Failure(suggestion.problem + QStringLiteral("，没有建议分层")
                      + (suggestion.unpickedPoints > 0
                             ? QStringLiteral("（%1）").arg(unpickedNote(suggestion.unpickedPoints))
                             : QString()));

    printLine(QStringLiteral("建议分层（%1 层，由 %2 个测点的竖向走时曲线分段拟合）：")
                  .arg(suggestion.layers.size())
                  .arg(suggestion.usedPoints));
    printLine(suggestionTable(suggestion));
    printLine(QStringLiteral("拟合残差：均方根 %1 ms，最大 %2 ms")
                  .arg(fixed(suggestion.rmsResidual, 3), fixed(suggestion.maxResidual, 3)));
    if (suggestion.unpickedPoints > 0)
        printLine(unpickedNote(suggestion.unpickedPoints));
    printLine(QStringLiteral("误差范围为 16%～84% 分位数：按各测点的拾取误差抽样 %1 次，各段用同样的测点重新拟合")
                  .arg(kUncertaintyDraws));
    if (!apply) {
        printLine(QStringLiteral("文件没有改动（加 --apply 采用建议分层）"));
        return 0;
    }
    if (!AcceptLayerSuggestion(survey, suggestion, messenger))
        throw Failure(QStringLiteral("没有采用建议分层，文件没有改动"));
    storeSurveyOrFail(survey, path);
    printLine(QStringLiteral("已采用建议分层，现有 %1 个速度分层（波速由测点波速计算）：").arg(survey.layers.size()));
    printLayers(survey);
    return 0;
}

const char *sourceName(OverburdenSource source)
{
    switch (source) {
    case OverburdenSource::Velocities: return "velocities";
    case OverburdenSource::HoleParameters: return "holeParameters";
    case OverburdenSource::HoleBottom: return "holeBottom";
    }
    return "";
}

void printSiteJson(const SiteClassification &site)
{
    common::JsonWriter w;
    w.beginObject();
    w.field("vse", site.vse).field("d0", site.d0).field("vseExtrapolated", site.vseExtrapolated);
    w.field("rockVelocity", site.rockVelocity);
    w.field("overburden", site.overburden).field("overburdenSource", sourceName(site.overburdenSource));
    w.field("category", siteCategoryName(site.category));
    w.key("categoryIfThicker");
    if (site.categoryIfThicker)
        w.value(siteCategoryName(*site.categoryIfThicker));
    else
        w.null();
    w.field("vs30", site.vs30).field("vs30Extrapolated", site.vs30Extrapolated).field("deepest", site.deepest);
    w.field("nehrp", nehrpClassName(site.nehrp)).field("ec8", ec8GroundName(site.ec8));
    w.field("ec8SurfaceLayer", site.ec8SurfaceLayer);
    w.field("usedPoints", site.usedPoints).field("skippedPoints", site.skippedPoints);
    w.field("unpickedPoints", site.unpickedPoints);
    // The 16 and 84 % bounds; null where a figure has none (vse on rock).
    const auto bound = [&w](const char *name, const std::optional<SiteBounds> &b, ValueBounds SiteBounds::*member) {
        w.key(name);
        if (!b || !((*b).*member).known()) {
            w.null();
            return;
        }
        w.beginObject().field("low", ((*b).*member).low).field("high", ((*b).*member).high).endObject();
    };
    bound("vseBounds", site.bounds, &SiteBounds::vse);
    bound("rockVelocityBounds", site.bounds, &SiteBounds::rockVelocity);
    bound("vs30Bounds", site.bounds, &SiteBounds::vs30);
    const auto names = [&w](const char *name, const auto &classes, auto nameOf) {
        w.key(name).beginArray();
        for (const auto c : classes)
            w.value(nameOf(c));
        w.endArray();
    };
    if (site.bounds) {
        names("categoriesWithinBounds", site.bounds->otherCategories, siteCategoryName);
        names("nehrpWithinBounds", site.bounds->otherNehrp, nehrpClassName);
        names("ec8WithinBounds", site.bounds->otherEc8, ec8GroundName);
        w.field("uncertaintyDraws", site.bounds->draws);
        // Set when the picks scatter more than their uncertainties allow.
        w.key("excessScatterMs");
        if (site.bounds->excessScatterMs > 0.0f)
            w.value(site.bounds->excessScatterMs);
        else
            w.null();
    }
    w.endObject();
    std::fwrite(w.text().data(), 1, w.text().size(), stdout);
    std::fputc('\n', stdout);
}

int runSiteClass(const Args &args)
{
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, pathOf(args), messenger);
    const SiteClassification site = ClassifySiteWithBounds(survey);
    if (!site.ok())
        throw Failure(QStringLiteral("不能确定场地类别：") + site.problem);
    if (args.flag(QStringLiteral("json"))) {
        printSiteJson(site);
        return 0;
    }
    for (const QString &line : siteClassLines(site))
        printLine(line);
    return 0;
}

} // namespace

void addSiteCommands(std::vector<Command> &commands)
{
    commands.push_back(
        {QStringLiteral("suggest-layers"),
         QStringLiteral("suggest-layers FILE.qsw [--apply [--yes]]"),
         QStringLiteral("建议分层：竖向走时曲线分段直线拟合，按信息准则选段数，列出分层界线和拟合波速"),
         QStringLiteral("不给 --apply 时只列出建议，文件没有改动。\n"
                        "--apply 按建议分层替换速度分层（各层波速由测点波速计算）；已有分层时询问，"
                        "--yes 回答“是”（不给则回答“否”）。\n"
                        "单孔法用经斜距校正的竖向走时，跨孔法用测点波速累计的竖向走时；没有初至的测点不参加拟合。\n"
                        "各层拟合波速附 16%～84% 误差范围（按拾取误差抽样重新拟合）。"),
         {{QStringLiteral("apply"), QString(), QStringLiteral("采用建议分层并保存文件")},
          {QStringLiteral("yes"), QString(), QStringLiteral("替换已有分层前询问时回答“是”")}},
         1,
         1,
         runSuggestLayers});
    commands.push_back(
        {QStringLiteral("site-class"),
         QStringLiteral("site-class FILE.qsw [--json]"),
         QStringLiteral(
             "场地类别：等效剪切波速 vse、覆盖层厚度、GB 50011-2010 场地类别、Vs30、NEHRP 和 EC8（不改动文件）"),
         QStringLiteral("覆盖层厚度取波速大于 500 m/s 且其下各层均不小于 500 m/s 的岩土顶面深度；"
                        "测孔未到这样的岩土时，取测孔参数“覆盖层厚度”（比孔深深时）或孔深（为下限）。\n"
                        "vse 的计算深度 d0 取覆盖层厚度和 20 米中的小者；测孔不到 d0 或 30 米时，"
                        "以下按最深测点的波速外推，并注明“外推”。\n"
                        "只用拾取了初至的测点：未拾取的测点不计入，并说明个数；都未拾取或 d0 以内没有拾取的测点时"
                        "不给出结果（退出码 1）。\n"
                        "误差范围为 16%～84% 分位数：各测点初至按拾取误差（自动拾取建议的误差与建议和拾取之差的合成，"
                        "至少 1 个采样点；没有建议的按 2 个采样点）抽样重新计算；场地类别在范围内可能改变时注明。"),
         {{QStringLiteral("json"), QString(), QStringLiteral("以 JSON 对象输出")}},
         1,
         1,
         runSiteClass});
}

} // namespace cli
