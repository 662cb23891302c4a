// talvex-cli autopick: automatic S-wave arrival suggestions for every point,
// listed with their uncertainty, and with --apply set through the same
// command as pick: points without a pick are filled, points with one keep it
// unless --replace is given.

#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "talvex/analysis/autopick.h"
#include "talvex/analysis/ceditdaodialogmodel.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/surveydata.h"

#include <cmath>
#include <cstdio>

using namespace talvex;

namespace cli {

namespace {

// Quality an accepted suggestion needs when --min-quality is not given.
constexpr double kDefaultMinQuality = 0.5;

double rounded(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale;
}

// What --apply did to each point.
enum class Action { None, Filled, Kept, Replaced };

const char *actionName(Action a)
{
    switch (a) {
    case Action::Filled: return "filled";
    case Action::Kept: return "kept";
    case Action::Replaced: return "replaced";
    case Action::None: break;
    }
    return "none";
}

// The uncertainty in ms: ± samples times the point's interval.
double uncertaintyMs(const ArrivalSuggestion &s, const TlvOne &p)
{
    return s.uncertainty * double(p.interval) / 1000.0;
}

void printJson(const SurveyData &survey, const std::vector<ArrivalSuggestion> &all, const std::vector<Action> *applied)
{
    common::JsonWriter w;
    w.beginArray();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const ArrivalSuggestion &s = all[i];
        const TlvOne &p = survey.points[i];
        w.beginObject();
        w.field("point", int(i + 1)).field("depth", p.depth).field("found", s.found);
        if (s.found) {
            w.field("sample", s.sample);
            w.field("timeMs", rounded(CEditDaoDialogModel::arrivalMs(std::int16_t(s.sample), p.interval), 4));
            w.field("quality", rounded(s.quality, 3));
            w.field("uncertainty", rounded(s.uncertainty, 2));
            w.field("uncertaintyMs", rounded(uncertaintyMs(s, p), 4));
            w.field("ownSample", s.ownSample);
            w.field("alongHolePoints", s.runPoints);
        } else {
            w.field("reason", s.reason.toStdString());
        }
        w.field("snr", rounded(s.snr, 2)).field("correlation", rounded(s.correlation, 3));
        if (applied) {
            const Action a = (*applied)[i];
            w.field("applied", a == Action::Filled || a == Action::Replaced);
            w.field("action", actionName(a));
        }
        w.endObject();
    }
    w.endArray();
    std::fwrite(w.text().data(), 1, w.text().size(), stdout);
    std::fputc('\n', stdout);
}

void printTable(const SurveyData &survey, const std::vector<ArrivalSuggestion> &all, const std::vector<Action> *applied,
                const std::vector<std::int16_t> &before)
{
    std::vector<QStringList> rows{{QStringLiteral("测点"), QStringLiteral("深度(米)"),
                                   QStringLiteral("建议初至(采样点)"), QStringLiteral("初至(ms)"),
                                   QStringLiteral("不确定度(±采样点)"), QStringLiteral("不确定度(±ms)"),
                                   QStringLiteral("质量"), QStringLiteral("说明")}};
    for (std::size_t i = 0; i < all.size(); ++i) {
        const ArrivalSuggestion &s = all[i];
        const TlvOne &p = survey.points[i];
        QString note = s.reason;
        if (s.found && s.runPoints > 0)
            note = s.sample == s.ownSample ? QStringLiteral("与同一直线段上 %1 个测点的走时一致").arg(s.runPoints)
                                           : QStringLiteral("按同一直线段上 %1 个测点的走时（本测点波形单独给 %2）")
                                                 .arg(s.runPoints)
                                                 .arg(s.ownSample);
        const auto add
            = [&note](const QString &more) { note = note.isEmpty() ? more : note + QStringLiteral("；") + more; };
        if (applied) {
            switch ((*applied)[i]) {
            case Action::Filled: add(QStringLiteral("已采用")); break;
            case Action::Replaced: add(QStringLiteral("已替换原拾取 %1").arg(before[i])); break;
            case Action::Kept: add(QStringLiteral("保留原拾取 %1").arg(p.sArrival)); break;
            case Action::None: break;
            }
        }
        if (s.found)
            rows.push_back({QString::number(i + 1), fixed(p.depth, 2), QString::number(s.sample),
                            fixed(CEditDaoDialogModel::arrivalMs(std::int16_t(s.sample), p.interval), 3),
                            QString::number(s.uncertainty, 'f', 1), fixed(float(uncertaintyMs(s, p)), 3),
                            QString::number(s.quality, 'f', 2), note});
        else
            rows.push_back({QString::number(i + 1), fixed(p.depth, 2), QStringLiteral("-"), QStringLiteral("-"),
                            QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), note});
    }
    printLine(formatTable(rows, 1));
}

int runAutoPick(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    const bool apply = args.flag(QStringLiteral("apply"));
    const bool replace = args.flag(QStringLiteral("replace"));
    if (replace && !apply)
        throw Failure(QStringLiteral("--replace 只能和 --apply 一起使用"), kExitUsage);
    double minQuality = kDefaultMinQuality;
    if (const auto q = args.number(QStringLiteral("min-quality"))) {
        if (!apply)
            throw Failure(QStringLiteral("--min-quality 只能和 --apply 一起使用"), kExitUsage);
        if (*q < 0.0f || *q > 1.0f)
            throw Failure(QStringLiteral("--min-quality 应在 0～1 之间，不能是 %1").arg(double(*q)), kExitUsage);
        minQuality = double(*q);
    }
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    if (survey.points.empty()) {
        printLine(QStringLiteral("本测试没有测点"));
        return 0;
    }

    const std::vector<ArrivalSuggestion> all = SuggestArrivals(survey);
    std::vector<std::int16_t> before;
    for (const TlvOne &p : survey.points)
        before.push_back(p.sArrival);
    std::vector<Action> actions(all.size(), Action::None);
    AppliedSuggestions result;
    if (apply) {
        result
            = AcceptArrivalSuggestions(survey, all, minQuality, replace ? ExistingPicks::Replace : ExistingPicks::Keep);
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (survey.points[i].sArrival != before[i])
                actions[i] = before[i] == 0 ? Action::Filled : Action::Replaced;
            else if (before[i] != 0 && isAcceptable(all[i], minQuality) && all[i].sample != before[i])
                actions[i] = Action::Kept;
        }
        if (result.changed() > 0)
            storeSurveyOrFail(survey, path);
    }

    const std::vector<Action> *shown = apply ? &actions : nullptr;
    if (args.flag(QStringLiteral("json"))) {
        printJson(survey, all, shown);
        return 0;
    }
    printTable(survey, all, shown, before);
    if (apply) {
        const QString threshold = QString::number(minQuality, 'f', 2);
        QString line
            = QStringLiteral("质量不低于 %1 的建议：填入 %2 个未拾取的测点，保留 %3 个已有拾取，替换 %4 个已有拾取")
                  .arg(threshold)
                  .arg(result.filled)
                  .arg(result.kept)
                  .arg(result.replaced);
        line += result.changed() > 0 ? QStringLiteral("；已保存") : QStringLiteral("；文件未改动");
        if (result.kept > 0)
            line += QStringLiteral("（要替换已有拾取，请加 --replace）");
        printLine(line);
    }
    return 0;
}

} // namespace

void addAutoPickCommands(std::vector<Command> &commands)
{
    commands.push_back(
        {QStringLiteral("autopick"),
         QStringLiteral("autopick FILE.qsw [--json] [--apply [--replace] [--min-quality Q]]"),
         QStringLiteral("自动建议各测点的 S 波初至（正反向波形反相处），列出建议；--apply 时采用并保存"),
         QStringLiteral("每个测点列出建议的初至采样点、时间、不确定度（± 采样点和 ± ms，由波形数据估计）\n"
                        "和质量（0～1，综合信噪比、正反向反相的程度和不确定度）；\n"
                        "相邻测点的初至连成直线（同一层内）时，按这条走时直线定时更准的测点\n"
                        "注明所依的测点数和本测点波形单独给出的初至；\n"
                        "没有建议的测点说明原因（没有波形、没有反相、信噪比太低等）。\n"
                        "不给 --apply 时不改动文件。--apply 时把质量不低于 Q 的建议按“设为 S 波初至”\n"
                        "逐个设好（重新计算该测点和下一个测点的波速）并保存；已有拾取的测点保留原拾取，\n"
                        "加 --replace 才替换。最后列出填入、保留和替换的测点数。"),
         {{QStringLiteral("json"), QString(), QStringLiteral("以 JSON 数组输出")},
          {QStringLiteral("apply"), QString(), QStringLiteral("采用建议（只填入未拾取的测点）并保存文件")},
          {QStringLiteral("replace"), QString(), QStringLiteral("和 --apply 一起使用：已有拾取的测点也换成建议")},
          {QStringLiteral("min-quality"), QStringLiteral("Q"),
           QStringLiteral("采用的建议至少要有的质量，0～1（默认 %1；只和 --apply 一起使用）").arg(kDefaultMinQuality)}},
         1,
         1,
         runAutoPick});
}

} // namespace cli
