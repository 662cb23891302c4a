// talvex-cli autopick: automatic S-wave arrival suggestions for every point,
// listed, and with --apply set through the same command as pick.

#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "talvex/analysis/autopick.h"
#include "talvex/analysis/ceditdaodialogmodel.h"
#include "talvex/cli/cliargs.h"
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

void printJson(const SurveyData &survey, const std::vector<ArrivalSuggestion> &all, const std::vector<bool> *applied)
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
        } else {
            w.field("reason", s.reason.toStdString());
        }
        w.field("snr", rounded(s.snr, 2)).field("correlation", rounded(s.correlation, 3));
        if (applied)
            w.field("applied", bool((*applied)[i]));
        w.endObject();
    }
    w.endArray();
    std::fwrite(w.text().data(), 1, w.text().size(), stdout);
    std::fputc('\n', stdout);
}

void printTable(const SurveyData &survey, const std::vector<ArrivalSuggestion> &all, const std::vector<bool> *applied)
{
    std::vector<QStringList> rows{{QStringLiteral("测点"), QStringLiteral("深度(米)"),
                                   QStringLiteral("建议初至(采样点)"), QStringLiteral("初至(ms)"),
                                   QStringLiteral("质量"), QStringLiteral("说明")}};
    for (std::size_t i = 0; i < all.size(); ++i) {
        const ArrivalSuggestion &s = all[i];
        const TlvOne &p = survey.points[i];
        QString note = s.reason;
        if (applied && (*applied)[i])
            note = QStringLiteral("已采用");
        if (s.found)
            rows.push_back({QString::number(i + 1), fixed(p.depth, 2), QString::number(s.sample),
                            fixed(CEditDaoDialogModel::arrivalMs(std::int16_t(s.sample), p.interval), 3),
                            QString::number(s.quality, 'f', 2), note});
        else
            rows.push_back({QString::number(i + 1), fixed(p.depth, 2), QStringLiteral("-"), QStringLiteral("-"),
                            QStringLiteral("-"), note});
    }
    printLine(formatTable(rows, 1));
}

int runAutoPick(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    const bool apply = args.flag(QStringLiteral("apply"));
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
    std::vector<bool> applied(all.size(), false);
    int count = 0;
    if (apply) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            applied[i] = ApplyArrivalSuggestion(survey, int(i), all[i], minQuality);
            count += applied[i] ? 1 : 0;
        }
        if (count > 0)
            storeSurveyOrFail(survey, path);
    }

    const std::vector<bool> *shown = apply ? &applied : nullptr;
    if (args.flag(QStringLiteral("json"))) {
        printJson(survey, all, shown);
        return 0;
    }
    printTable(survey, all, shown);
    if (apply) {
        const QString threshold = QString::number(minQuality, 'f', 2);
        printLine(count > 0 ? QStringLiteral("采用了 %1 个质量不低于 %2 的建议，已保存").arg(count).arg(threshold)
                            : QStringLiteral("没有质量不低于 %1 的建议，文件未改动").arg(threshold));
    }
    return 0;
}

} // namespace

void addAutoPickCommands(std::vector<Command> &commands)
{
    commands.push_back(
        {QStringLiteral("autopick"),
         QStringLiteral("autopick FILE.qsw [--json] [--apply [--min-quality Q]]"),
         QStringLiteral("自动建议各测点的 S 波初至（正反向波形反相处），列出建议；--apply 时采用并保存"),
         QStringLiteral("每个测点列出建议的初至采样点、时间和质量（0～1，综合信噪比和正反向反相的程度）；\n"
                        "没有建议的测点说明原因（没有波形、没有反相、信噪比太低等）。\n"
                        "不给 --apply 时不改动文件。--apply 时把质量不低于 Q 的建议按“设为 S 波初至”\n"
                        "逐个设好（重新计算该测点和下一个测点的波速）并保存。"),
         {{QStringLiteral("json"), QString(), QStringLiteral("以 JSON 数组输出")},
          {QStringLiteral("apply"), QString(), QStringLiteral("采用建议并保存文件")},
          {QStringLiteral("min-quality"), QStringLiteral("Q"),
           QStringLiteral("采用的建议至少要有的质量，0～1（默认 %1；只和 --apply 一起使用）").arg(kDefaultMinQuality)}},
         1,
         1,
         runAutoPick});
}

} // namespace cli
