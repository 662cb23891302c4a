// talvex-cli commands of the parameter dialogs: hole (the hole dialog),
// point (the point dialog) and log (the survey-log dialog). Each puts the
// options into the dialog's model, so the command line keeps the same
// ranges, messages and GBK rules as the window.

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "talvex/analysis/ceditchanshudialogmodel.h"
#include "talvex/analysis/ceditchendialogmodel.h"
#include "talvex/analysis/ceditdaodialogmodel.h"
#include "talvex/analysis/soilpatterns.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/settings/viewstate.h"

using namespace talvex;

namespace cli {

namespace {

struct HoleTextOption {
    const char *name;
    HoleText field;
};

const HoleTextOption kHoleTexts[] = {{"project", HoleText::ProjectName},
                                     {"hole", HoleText::HoleNumber},
                                     {"personnel", HoleText::Personnel},
                                     {"date", HoleText::TestDate}};

// A change of one value as plain output shows it: "测孔深度 20 → 25 米".
QString change(const QString &label, const QString &before, const QString &after, const QString &unit = QString())
{
    return QStringLiteral("%1 %2 → %3%4")
        .arg(label, before.isEmpty() ? QStringLiteral("（空）") : before,
             after.isEmpty() ? QStringLiteral("（空）") : after,
             unit.isEmpty() ? QString() : QStringLiteral(" ") + unit);
}

QStringList holeChanges(const HoleParameters &a, const HoleParameters &b)
{
    QStringList out;
    const auto text = [&](const QString &label, HoleText field) {
        const QString x = CEditChanShuDialogModel::text(a, field);
        const QString y = CEditChanShuDialogModel::text(b, field);
        if (x != y)
            out << change(label, x, y);
    };
    const auto num = [&](const QString &label, float x, float y, const QString &unit) {
        if (x != y)
            out << change(label, number(x), number(y), unit);
    };
    text(QStringLiteral("工程名"), HoleText::ProjectName);
    text(QStringLiteral("孔编号"), HoleText::HoleNumber);
    text(QStringLiteral("测试人"), HoleText::Personnel);
    text(QStringLiteral("测试日期"), HoleText::TestDate);
    if (a.personnelLabel != b.personnelLabel)
        out << change(QStringLiteral("测试人标签"), QString::number(a.personnelLabel),
                      QString::number(b.personnelLabel));
    num(QStringLiteral("测孔深度"), a.holeDepth, b.holeDepth, QStringLiteral("米"));
    num(QStringLiteral("测点间隔"), a.pointSpacing, b.pointSpacing, QStringLiteral("米"));
    num(QStringLiteral("激振距离"), a.sourceDistance, b.sourceDistance, QStringLiteral("米"));
    num(QStringLiteral("激振板长"), a.plankLength, b.plankLength, QStringLiteral("米"));
    if (a.method != b.method)
        out << change(QStringLiteral("测试方法"), QString::number(a.method), QString::number(b.method));
    num(QStringLiteral("覆盖层厚度"), a.overburden, b.overburden, QStringLiteral("米"));
    num(QStringLiteral("覆盖层计算厚度"), a.computationDepth, b.computationDepth, QStringLiteral("米"));
    return out;
}

// Every hole parameter, one per line.
QString holeSummary(const HoleParameters &h)
{
    const QString labels[] = {QStringLiteral("测试人"), QStringLiteral("测试单位"), QStringLiteral("测试仪器")};
    const QString personnelLabel
        = h.personnelLabel >= 0 && h.personnelLabel <= 2 ? labels[h.personnelLabel] : labels[1];
    std::vector<QStringList> rows = {
        {QStringLiteral("工程名"), CEditChanShuDialogModel::text(h, HoleText::ProjectName)},
        {QStringLiteral("孔编号"), CEditChanShuDialogModel::text(h, HoleText::HoleNumber)},
        {personnelLabel, CEditChanShuDialogModel::text(h, HoleText::Personnel)},
        {QStringLiteral("测试日期"), CEditChanShuDialogModel::text(h, HoleText::TestDate)},
        {QStringLiteral("测试方法"),
         h.method == 0 ? QStringLiteral("0 单孔法") : QStringLiteral("%1 跨孔法").arg(h.method)},
        {QStringLiteral("测孔深度"), number(h.holeDepth) + QStringLiteral(" 米")},
        {QStringLiteral("测点间隔"), number(h.pointSpacing) + QStringLiteral(" 米")},
        {QStringLiteral("激振距离"), number(h.sourceDistance) + QStringLiteral(" 米")},
        {QStringLiteral("激振板长"), number(h.plankLength) + QStringLiteral(" 米")},
        {QStringLiteral("覆盖层厚度"), number(h.overburden) + QStringLiteral(" 米")},
        {QStringLiteral("覆盖层计算厚度"), number(h.computationDepth) + QStringLiteral(" 米")},
    };
    return formatTable(rows, 2);
}

int runHole(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    // The personnel label is a setting of the user, as in the window.
    TalvexSettings store;
    survey.header.personnelLabel = store.personnelLabel();
    UndoSnapshot undo;
    CEditChanShuDialogModel model(survey, undo, messenger);
    const HoleParameters before = survey.header;
    HoleParameters values = before;
    applyHoleOptions(args, values, model, false);
    const QStringList changes = holeChanges(before, values);
    if (changes.isEmpty()) {
        // Nothing to change: show what there is.
        printLine(QStringLiteral("测孔参数没有变化，文件没有改动："));
        printLine(holeSummary(before));
        return 0;
    }
    if (!model.apply(values))
        throw Failure(QStringLiteral("测孔参数被拒绝，文件没有改动"));
    storeSurveyOrFail(survey, path);
    if (values.personnelLabel != before.personnelLabel)
        storePersonnelLabel(store, values.personnelLabel);
    printLine(QStringLiteral("测孔参数已修改：") + changes.join(QStringLiteral("；")));
    return 0;
}

int runPoint(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    const int point = args.requiredInteger(QStringLiteral("point"));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    requirePoint(point, survey.points.size());
    ViewState view;
    view.mode = DisplayMode::MultiTrace;
    view.currentPoint = point;
    UndoSnapshot undo;
    CEditDaoDialogModel model(survey, view, undo, messenger);
    const PointDialogValues before = model.values();
    PointDialogValues values = before;
    QStringList changes;
    const auto take = [&](const char *option, float &field, const QString &label, const QString &unit) {
        if (const auto v = args.number(QString::fromLatin1(option))) {
            if (*v != field)
                changes << change(label, number(field), number(*v), unit);
            field = *v;
        }
    };
    take("depth", values.depth, QStringLiteral("测点深度"), QStringLiteral("米"));
    take("arrival-ms", values.sArrivalMs, QStringLiteral("S 波初至"), QStringLiteral("ms"));
    take("interval", values.interval, QStringLiteral("采样间隔"), QStringLiteral("us"));
    take("delay", values.delay, QStringLiteral("采样延时"), QStringLiteral("ms"));
    take("cross-distance", values.crossDistance, QStringLiteral("跨孔距离"), QStringLiteral("米"));
    if (changes.isEmpty()) {
        // Nothing to change: show what the dialog would show.
        printLine(QStringLiteral("第 %1 个测点的参数没有变化，文件没有改动：").arg(point));
        const std::vector<QStringList> rows = {
            {QStringLiteral("测点深度"), number(before.depth) + QStringLiteral(" 米")},
            {QStringLiteral("采样间隔"), number(before.interval) + QStringLiteral(" us")},
            {QStringLiteral("采样延时"), number(before.delay) + QStringLiteral(" ms")},
            {QStringLiteral("跨孔距离"), number(before.crossDistance) + QStringLiteral(" 米")},
            {QStringLiteral("S 波初至"), number(before.sArrivalMs) + QStringLiteral(" ms")},
            {QStringLiteral("放大倍数"), QString::number(before.gain)},
        };
        printLine(formatTable(rows, 2));
        return 0;
    }
    const std::int16_t sampleBefore = survey.points[std::size_t(point - 1)].sArrival;
    if (!model.apply(values))
        throw Failure(QStringLiteral("测点参数被拒绝，文件没有改动"));
    storeSurveyOrFail(survey, path);
    printLine(QStringLiteral("第 %1 个测点已修改：%2；已重新计算所有测点的波速")
                  .arg(point)
                  .arg(changes.join(QStringLiteral("；"))));
    // The pick is kept as a time: at another interval it lies on another
    // sample, which the user should know about.
    const std::int16_t sampleAfter = survey.points[std::size_t(point - 1)].sArrival;
    if (sampleAfter != sampleBefore)
        printLine(QStringLiteral("注意：S 波初至保持 %1 ms，按新的采样间隔落在第 %2 个采样点（原为第 %3 个）")
                      .arg(number(values.sArrivalMs))
                      .arg(sampleAfter)
                      .arg(sampleBefore));
    return 0;
}

void printLog(const SurveyData &survey)
{
    if (survey.logLayers.empty()) {
        printLine(QStringLiteral("工勘资料中没有土层"));
        return;
    }
    std::vector<QStringList> rows{{QStringLiteral("土层"), QStringLiteral("起始(米)"), QStringLiteral("结束(米)"),
                                   QStringLiteral("图例"), QStringLiteral("土层名称")}};
    for (std::size_t i = 0; i < survey.logLayers.size(); ++i) {
        const DiChengOne &l = survey.logLayers[i];
        rows.push_back({QString::number(i + 1), fixed(l.top, 2), fixed(l.bottom, 2), QString::number(l.pattern),
                        common::decodeGbk(common::readFixedText(l.description))});
    }
    printLine(formatTable(rows, 1));
}

int runLog(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    const QString action = args.word(1, QStringLiteral("操作 list|add|set|delete"));
    const QStringList actions
        = {QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("set"), QStringLiteral("delete")};
    if (!actions.contains(action))
        throw Failure(QStringLiteral("操作只能是 list、add、set 或 delete，不能是 “%1”").arg(action), kExitUsage);
    // Options each action takes.
    const bool needsLayer = action == QStringLiteral("set") || action == QStringLiteral("delete");
    const bool takesFields = action == QStringLiteral("add") || action == QStringLiteral("set");
    if (args.has(QStringLiteral("layer")) && !needsLayer)
        throw Failure(QStringLiteral("--layer 只用于 set 和 delete"), kExitUsage);
    for (const char *o : {"bottom", "soil", "pattern"}) {
        if (args.has(QString::fromLatin1(o)) && !takesFields)
            throw Failure(QStringLiteral("--%1 只用于 add 和 set").arg(QString::fromLatin1(o)), kExitUsage);
    }
    const int layer = needsLayer ? args.requiredInteger(QStringLiteral("layer")) : 0;
    std::optional<int> patternEntry;
    if (const auto code = args.integerIn(QStringLiteral("pattern"), 0, 255)) {
        patternEntry = patternEntryForCode(std::uint8_t(*code));
        if (*patternEntry == 0 && *code != 0)
            throw Failure(QStringLiteral("--pattern %1 不是图例代码（0～82 或自定义图例 241～245）").arg(*code),
                          kExitUsage);
    }

    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    if (action == QStringLiteral("list")) {
        printLog(survey);
        return 0;
    }
    CEditChenDialogModel model(survey, messenger);
    if (needsLayer) {
        const std::size_t count = survey.logLayers.size();
        if (layer < 1 || std::size_t(layer) > count)
            throw Failure(count == 0 ? QStringLiteral("土层序号 %1 超出范围：工勘资料中没有土层").arg(layer)
                                     : QStringLiteral("土层序号 %1 超出范围 1～%2").arg(layer).arg(count));
        model.select(layer - 1);
    }
    QString done;
    if (action == QStringLiteral("delete")) {
        if (!model.deleteLayer())
            throw Failure(QStringLiteral("不能删除第 %1 个土层，文件没有改动").arg(layer));
        done = QStringLiteral("已删除第 %1 个土层").arg(layer);
    } else {
        if (action == QStringLiteral("add")) {
            if (!model.addLayer())
                throw Failure(QStringLiteral("不能再添加土层，文件没有改动"));
            done = QStringLiteral("已添加第 %1 个土层").arg(survey.logLayers.size());
        } else {
            done = QStringLiteral("已修改第 %1 个土层").arg(layer);
        }
        SurveyLogFields fields = model.shown();
        if (const auto v = args.number(QStringLiteral("bottom")))
            fields.bottom = *v;
        if (const auto t = args.text(QStringLiteral("soil")))
            fields.soilName = *t;
        if (patternEntry)
            fields.patternEntry = *patternEntry;
        if (!model.leaveField(fields))
            throw Failure(QStringLiteral("土层参数被拒绝，文件没有改动"));
    }
    storeSurveyOrFail(survey, path);
    printLine(done);
    printLog(survey);
    return 0;
}

} // namespace

std::vector<OptionSpec> holeOptions(bool forNew)
{
    const auto d = [forNew](const char *text, const char *byDefault) {
        return QString::fromUtf8(text)
            + (forNew ? QStringLiteral("；默认 ") + QString::fromUtf8(byDefault) : QStringLiteral("；不给则不变"));
    };
    return {
        {QStringLiteral("project"), QStringLiteral("T"),
         d("工程名（按 GBK 存，最多 80 字节，超出的在字符边界截去）", "空")},
        {QStringLiteral("hole"), QStringLiteral("T"), d("孔编号（最多 40 字节）", "空")},
        {QStringLiteral("personnel"), QStringLiteral("T"),
         d("测试人、测试单位或测试仪器（见 --personnel-label；最多 40 字节）", "空")},
        {QStringLiteral("personnel-label"), QStringLiteral("0|1|2"),
         d("--personnel 的标签：0 测试人，1 测试单位，2 测试仪器", "1")},
        {QStringLiteral("date"), QStringLiteral("T"), d("测试日期，自由文本（最多 16 字节）", "今天，如 2026-12-7")},
        {QStringLiteral("hole-depth"), QStringLiteral("M"), d("测孔深度，米，大于 0", "50")},
        {QStringLiteral("spacing"), QStringLiteral("M"), d("测点间隔，米，大于 0", "1")},
        {QStringLiteral("source-distance"), QStringLiteral("M"),
         d("激振距离：震源（激振板）到孔口的水平距离，米，不小于 0", "1.5")},
        {QStringLiteral("plank-length"), QStringLiteral("M"), d("激振板长，米，不小于 0", "1.2")},
        {QStringLiteral("method"), QStringLiteral("0|1"),
         d("测试方法：0 单孔法（孔口激振、孔内接收，走时按斜距换算为竖向），1 跨孔法（按各测点的跨孔距离）", "0")},
        {QStringLiteral("overburden"), QStringLiteral("M"),
         d("覆盖层厚度，米，0～200（0：不计算场地等效剪切波速）", "20")},
        {QStringLiteral("computation-depth"), QStringLiteral("M"),
         d("覆盖层计算厚度：等效剪切波速的计算深度，米，0～200", "20")},
    };
}

void applyHoleOptions(const Args &args, HoleParameters &values, CEditChanShuDialogModel &model, bool forNew)
{
    for (const HoleTextOption &t : kHoleTexts) {
        if (const auto text = args.text(QString::fromLatin1(t.name))) {
            if (!model.setText(values, t.field, *text))
                throw Failure(QStringLiteral("--%1 被拒绝，文件没有改动").arg(QString::fromLatin1(t.name)));
        }
    }
    const auto take = [&args](const char *name, float &field) {
        if (const auto v = args.number(QString::fromLatin1(name)))
            field = *v;
    };
    take("hole-depth", values.holeDepth);
    take("spacing", values.pointSpacing);
    take("source-distance", values.sourceDistance);
    take("plank-length", values.plankLength);
    take("overburden", values.overburden);
    take("computation-depth", values.computationDepth);
    if (const auto v = args.integerIn(QStringLiteral("method"), 0, 1))
        values.method = std::uint8_t(*v);
    if (const auto v = args.integerIn(QStringLiteral("personnel-label"), 0, 2))
        values.personnelLabel = *v;
    // The dialog's rules and messages, one set for both. A depth, spacing
    // or distance outside the fixed range the option's help states is a
    // wrong command line; the other refusals concern the survey.
    if (const auto refusal = model.check(values, forNew)) {
        const bool outsideHelpRange = refusal->field
            && (*refusal->field == HoleNumber::PointSpacing || *refusal->field == HoleNumber::PlankLength
                || *refusal->field == HoleNumber::SourceDistance
                || (*refusal->field == HoleNumber::HoleDepth && !(values.holeDepth > 0.0f)));
        throw Failure(refusal->message + QStringLiteral("（文件没有改动）"),
                      outsideHelpRange ? kExitUsage : kExitRefused);
    }
}

void storePersonnelLabel(TalvexSettings &store, int label)
{
    store.setPersonnelLabel(label);
    store.store().sync();
    if (store.personnelLabel() != label)
        throw Failure(QStringLiteral("不能把测试人标签保存到设置文件 %1").arg(store.store().fileName()));
}

void addParameterCommands(std::vector<Command> &commands)
{
    commands.push_back({QStringLiteral("hole"), QStringLiteral("hole FILE.qsw [测孔参数选项]"),
                        QStringLiteral("修改测孔参数（与“测孔参数修改”对话框的规则相同）"),
                        QStringLiteral("测点和波速不重新计算（需要时用 recalc）。打印改动了哪些参数。"),
                        holeOptions(false), 1, 1, runHole});
    commands.push_back(
        {QStringLiteral("point"),
         QStringLiteral("point FILE.qsw --point K [--depth M] [--arrival-ms T] [--interval US] [--delay MS] "
                        "[--cross-distance M]"),
         QStringLiteral("修改一个测点的参数（与“测点参数修改”对话框的规则相同），然后重新计算所有测点的波速"),
         QStringLiteral("测点深度超过测孔深度时测孔深度随之加大。"),
         {{QStringLiteral("point"), QStringLiteral("K"), QStringLiteral("测点序号，从 1 起（必需）")},
          {QStringLiteral("depth"), QStringLiteral("M"), QStringLiteral("测点深度，米；不给则不变")},
          {QStringLiteral("arrival-ms"), QStringLiteral("T"),
           QStringLiteral("S 波初至，毫秒，从第 0 个采样点算起（不含采样延时），按采样间隔换算为采样点；不给则不变")},
          {QStringLiteral("interval"), QStringLiteral("US"), QStringLiteral("采样间隔，微秒；不给则不变")},
          {QStringLiteral("delay"), QStringLiteral("MS"), QStringLiteral("采样延时，毫秒；不给则不变")},
          {QStringLiteral("cross-distance"), QStringLiteral("M"),
           QStringLiteral("跨孔距离，米（跨孔法用）；不给则不变")}},
         1,
         1,
         runPoint});
    commands.push_back(
        {QStringLiteral("log"),
         QStringLiteral("log FILE.qsw list | add [--bottom M] [--soil T] [--pattern CODE] | set --layer K [--bottom M] "
                        "[--soil T] [--pattern CODE] | delete --layer K"),
         QStringLiteral("工勘资料（钻孔土层）：列出、添加、修改或删除土层（与“工勘资料输入”对话框的规则相同）"),
         QStringLiteral(
             "add 在最后一层下面添加一层，从最后一层的结束深度开始；set 修改第 K 层，其下一层的起始深度随之改变；\n"
             "delete 删除第 K 层，下面一层上移并接上它的起始深度。之后用 layers import-log 导入为速度分层。"),
         {{QStringLiteral("layer"), QStringLiteral("K"), QStringLiteral("土层序号，从 1 起（set、delete 必需）")},
          {QStringLiteral("bottom"), QStringLiteral("M"),
           QStringLiteral("土层结束深度，米，不小于起始深度；不给则不变")},
          {QStringLiteral("soil"), QStringLiteral("T"), QStringLiteral("土层名称（最多 159 字节 GBK）；不给则不变")},
          {QStringLiteral("pattern"), QStringLiteral("CODE"),
           QStringLiteral("柱状图图例代码：0 无，1～82 内置图例，241～245 自定义图例；不给则不变")}},
         2,
         2,
         runLog});
}

} // namespace cli
