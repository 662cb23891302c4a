// talvex-cli intervals: the interval travel times of neighbouring points from
// the picks against those from aligning their S waves, with the pairs that
// disagree beyond the pick uncertainties flagged. Reads the file only.

#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "talvex/analysis/autopick.h"
#include "talvex/analysis/intervalcheck.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/surveydata.h"

#include <cmath>
#include <cstdio>

using namespace talvex;

namespace cli {

namespace {

double rounded(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale;
}

QString flaggedList(const IntervalCheck &check)
{
    QStringList numbers;
    for (std::size_t i = 0; i < check.flaggedPoints.size(); ++i) {
        if (check.flaggedPoints[i])
            numbers << QString::number(i + 1);
    }
    return numbers.join(QStringLiteral("、"));
}

void printJson(const SurveyData &survey, const IntervalCheck &check)
{
    common::JsonWriter w;
    w.beginObject();
    w.field("points", int(survey.points.size()));
    w.key("pairs").beginArray();
    for (const IntervalPair &p : check.pairs) {
        w.beginObject();
        w.field("upper", p.upper + 1).field("lower", p.lower + 1);
        w.field("upperDepth", p.upperDepth).field("lowerDepth", p.lowerDepth);
        w.key("pickedMs");
        p.picked ? w.value(rounded(p.pickedMs, 4)) : w.null();
        w.key("correlatedMs");
        p.correlated ? w.value(rounded(p.correlatedMs, 4)) : w.null();
        w.field("vertical", p.correlatedVertical);
        w.key("differenceMs");
        p.compared ? w.value(rounded(p.differenceMs, 4)) : w.null();
        w.key("toleranceMs");
        p.compared ? w.value(rounded(p.toleranceMs, 4)) : w.null();
        w.key("coefficient");
        p.correlated ? w.value(rounded(p.coefficient, 3)) : w.null();
        w.field("compared", p.compared).field("flagged", p.flagged);
        w.field("note", p.note.toStdString());
        w.endObject();
    }
    w.endArray();
    w.key("flaggedPoints").beginArray();
    for (std::size_t i = 0; i < check.flaggedPoints.size(); ++i) {
        if (check.flaggedPoints[i])
            w.value(int(i + 1));
    }
    w.endArray();
    w.endObject();
    std::fwrite(w.text().data(), 1, w.text().size(), stdout);
    std::fputc('\n', stdout);
}

void printTable(const IntervalCheck &check)
{
    const QString none = QStringLiteral("-");
    std::vector<QStringList> rows{{QStringLiteral("测点"), QStringLiteral("深度(米)"), QStringLiteral("拾取(ms)"),
                                   QStringLiteral("相关(ms)"), QStringLiteral("差(ms)"), QStringLiteral("允许(ms)"),
                                   QStringLiteral("相关系数"), QStringLiteral("说明")}};
    for (const IntervalPair &p : check.pairs) {
        QString correlated = p.correlated ? fixed(float(p.correlatedMs), 3) : none;
        if (p.correlated && !p.correlatedVertical)
            correlated += QLatin1Char('*');
        rows.push_back({QStringLiteral("%1-%2").arg(p.upper + 1).arg(p.lower + 1),
                        QStringLiteral("%1-%2").arg(fixed(p.upperDepth, 2), fixed(p.lowerDepth, 2)),
                        p.picked ? fixed(float(p.pickedMs), 3) : none, correlated,
                        p.compared ? fixed(float(p.differenceMs), 3) : none,
                        p.compared ? fixed(float(p.toleranceMs), 3) : none,
                        p.correlated ? QString::number(p.coefficient, 'f', 2) : none, p.note});
    }
    printLine(formatTable(rows, 1));
    if (std::any_of(check.pairs.begin(), check.pairs.end(),
                    [](const IntervalPair &p) { return p.correlated && !p.correlatedVertical; }))
        printLine(QStringLiteral("* 两测点都未拾取，相关层间时间未作斜距校正"));
    const int flagged = check.flaggedCount();
    if (flagged == 0)
        printLine(QStringLiteral("%1 对相邻测点，没有拾取与波形相关不一致的测点").arg(check.pairs.size()));
    else
        printLine(QStringLiteral("%1 对相邻测点中 %2 对不一致；请复核测点 %3")
                      .arg(check.pairs.size())
                      .arg(check.flaggedPairCount())
                      .arg(flaggedList(check)));
}

int runIntervals(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    // The uncertainties of the automatic onsets tell how well each point's
    // data fix an arrival; a point without a suggestion counts one sample.
    const IntervalCheck check = CheckIntervals(survey, PickUncertaintiesMs(survey, SuggestArrivals(survey)));
    if (args.flag(QStringLiteral("json"))) {
        printJson(survey, check);
        return 0;
    }
    if (survey.points.size() < 2) {
        printLine(QStringLiteral("本测试的测点少于 2 个，没有相邻测点可以比较"));
        return 0;
    }
    printTable(check);
    return 0;
}

} // namespace

void addIntervalCommands(std::vector<Command> &commands)
{
    commands.push_back(
        {QStringLiteral("intervals"),
         QStringLiteral("intervals FILE.qsw [--json]"),
         QStringLiteral("相邻测点的层间时间：拾取的与波形互相关的对比，列出不一致的测点"),
         QStringLiteral(
             "每对相邻测点（按测点顺序）列出：由两测点的拾取算出的层间时间；由两测点正反向波形之差（S 波）\n"
             "互相关对齐得到的层间时间（不用拾取，按采样间隔和延迟换算，单孔法作斜距校正）；两者之差、\n"
             "允许的差（两测点拾取的不确定度，至少各一个采样间隔，加上互相关本身的分辨率）和相关系数。\n"
             "差超过允许值的一对标为不一致，并指出最可能拾取有误的测点。有测点未拾取的一对只列出相关的时间，\n"
             "不作比较；采样间隔不同或没有波形的一对说明原因。不改动文件。"),
         {{QStringLiteral("json"), QString(), QStringLiteral("以 JSON 输出")}},
         1,
         1,
         runIntervals});
}

} // namespace cli
