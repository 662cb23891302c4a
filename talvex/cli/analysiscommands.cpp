// talvex-cli commands of the velocity analysis: picking, recalculation,
// point and layer editing, results. Each builds the view state the window
// would have (current point, time cursor, depth cursor) and calls the same
// logic as the window.

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "common/numberformat.h"
#include "talvex/analysis/ceditdaodialogmodel.h"
#include "talvex/analysis/ceditzhudialogmodel.h"
#include "talvex/analysis/echengguodialogmodel.h"
#include "talvex/analysis/ewuxingzhibiaomodel.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/layervelocity.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/analysis/siteuncertainty.h"
#include "talvex/analysis/sitevelocity.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>

using namespace talvex;

namespace cli {

namespace {

// The points table of plain output: a heading row, then the points of
// `indices` (0-based).
QString pointTable(const SurveyData &survey, const std::vector<std::size_t> &indices)
{
    std::vector<QStringList> rows{{QStringLiteral("测点"), QStringLiteral("深度(米)"), QStringLiteral("初至(采样点)"),
                                   QStringLiteral("初至(ms)"), QStringLiteral("走时(ms)"),
                                   QStringLiteral("测点波速(m/s)"), QStringLiteral("等效波速(m/s)")}};
    for (const std::size_t i : indices) {
        const TlvOne &p = survey.points[i];
        rows.push_back({QString::number(i + 1), fixed(p.depth, 2), QString::number(p.sArrival),
                        fixed(CEditDaoDialogModel::arrivalMs(p.sArrival, p.interval), 3), fixed(p.travelTime(), 3),
                        fixed(p.pointVelocity, 1), fixed(p.equivVelocity, 1)});
    }
    return formatTable(rows);
}

std::vector<std::size_t> allPoints(const SurveyData &survey)
{
    std::vector<std::size_t> all(survey.points.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    return all;
}

// The points whose pick or velocities differ from `before`.
std::vector<std::size_t> changedPoints(const std::vector<TlvOne> &before, const SurveyData &after)
{
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.points.size(); ++i) {
        const TlvOne &a = after.points[i];
        if (i >= before.size() || before[i].sArrival != a.sArrival || before[i].pointVelocity != a.pointVelocity
            || before[i].equivVelocity != a.equivVelocity)
            changed.push_back(i);
    }
    return changed;
}

// The view state of the window with point `point` current.
ViewState viewAtPoint(int point)
{
    ViewState view;
    view.mode = DisplayMode::MultiTrace;
    view.currentPoint = point;
    return view;
}

// The histogram with the depth cursor at `depth` m.
ViewState viewAtDepth(float depth)
{
    ViewState view;
    view.mode = DisplayMode::VelocityHistogram;
    view.depthCursor = depthToCursorY(depth);
    return view;
}

float cursorDepth(int y)
{
    return float(y - 100) / 50.0f;
}

void requirePoints(const SurveyData &survey)
{
    if (survey.points.empty())
        throw Failure(QStringLiteral("本测试没有测点"));
}

QString pathOf(const Args &args)
{
    return args.word(0, QStringLiteral("测试文件 FILE.qsw"));
}

int runPoints(const Args &args)
{
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, pathOf(args), messenger);
    if (survey.points.empty()) {
        printLine(QStringLiteral("本测试没有测点"));
        return 0;
    }
    printLine(pointTable(survey, allPoints(survey)));
    return 0;
}

int runRecalc(const Args &args)
{
    const QString path = pathOf(args);
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    requirePoints(survey);
    const std::vector<TlvOne> before = survey.points;
    RecalculateAllVelocities(survey);
    const std::vector<std::size_t> changed = changedPoints(before, survey);
    if (changed.empty()) {
        printLine(QStringLiteral("已重新计算 %1 个测点的波速，都没有变化，文件没有改动").arg(survey.points.size()));
        return 0;
    }
    survey.markModified(SurveyParts::Points);
    storeSurveyOrFail(survey, path);
    printLine(
        QStringLiteral("已重新计算 %1 个测点的波速，%2 个有变化：").arg(survey.points.size()).arg(changed.size()));
    printLine(pointTable(survey, changed));
    return 0;
}

int runSort(const Args &args)
{
    const QString path = pathOf(args);
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    requirePoints(survey);
    std::vector<float> before;
    for (const TlvOne &p : survey.points)
        before.push_back(p.depth);
    SortPointsByDepth(survey);
    int moved = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        moved += survey.points[i].depth != before[i] ? 1 : 0;
    if (moved == 0) {
        printLine(QStringLiteral("%1 个测点已按深度排好，文件没有改动").arg(survey.points.size()));
        return 0;
    }
    storeSurveyOrFail(survey, path);
    printLine(QStringLiteral("已按深度排序 %1 个测点，%2 个位置有变化").arg(survey.points.size()).arg(moved));
    return 0;
}

int runPick(const Args &args)
{
    const QString path = pathOf(args);
    const int point = args.requiredInteger(QStringLiteral("point"));
    const int sample = args.requiredInteger(QStringLiteral("sample"));
    if (sample < kFirstCursorSample || sample > kLastCursorSample)
        throw Failure(QStringLiteral("--sample 应在 %1～%2 之间（时间光标能到的采样点），不能是 %3")
                          .arg(kFirstCursorSample)
                          .arg(kLastCursorSample)
                          .arg(sample),
                      kExitUsage);
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    requirePoint(point, survey.points.size());
    ViewState view = viewAtPoint(point);
    view.cursorX = kWaveformOriginX + sample;
    const std::vector<TlvOne> before = survey.points;
    if (!SetSArrival(survey, view))
        throw Failure(QStringLiteral("不能设置第 %1 个测点的初至").arg(point));
    storeSurveyOrFail(survey, path);
    const TlvOne &p = survey.points[std::size_t(point - 1)];
    printLine(QStringLiteral("第 %1 个测点的 S 波初至设为采样点 %2（%3 ms）")
                  .arg(point)
                  .arg(sample)
                  .arg(fixed(CEditDaoDialogModel::arrivalMs(p.sArrival, p.interval), 3)));
    const std::vector<std::size_t> changed = changedPoints(before, survey);
    if (!changed.empty())
        printLine(pointTable(survey, changed));
    return 0;
}

int runInsertPoint(const Args &args)
{
    const QString path = pathOf(args);
    const int point = args.requiredInteger(QStringLiteral("point"));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    // A point may also be inserted after the last one.
    requirePoint(point, survey.points.size() + 1);
    ViewState view = viewAtPoint(point);
    UndoSnapshot undo;
    if (!InsertPoint(survey, view, undo))
        throw Failure(QStringLiteral("测试中的测点已达到文件能保存的最多个数"));
    storeSurveyOrFail(survey, path);
    printLine(QStringLiteral("已在第 %1 个位置插入一个空测点，现有 %2 个测点").arg(point).arg(survey.points.size()));
    return 0;
}

int runDeletePoint(const Args &args)
{
    const QString path = pathOf(args);
    const int point = args.requiredInteger(QStringLiteral("point"));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    requirePoint(point, survey.points.size());
    const float depth = survey.points[std::size_t(point - 1)].depth;
    ViewState view = viewAtPoint(point);
    UndoSnapshot undo;
    if (!DeletePoint(survey, view, undo))
        throw Failure(QStringLiteral("不能删除第 %1 个测点").arg(point));
    storeSurveyOrFail(survey, path);
    printLine(QStringLiteral("已删除第 %1 个测点（深度 %2 米），现有 %3 个测点")
                  .arg(point)
                  .arg(number(depth))
                  .arg(survey.points.size()));
    return 0;
}

int runLayers(const Args &args)
{
    const QString path = pathOf(args);
    const QString action = args.word(1, QStringLiteral("操作 list|insert|delete|move|refresh|import-log"));
    const QStringList actions = {QStringLiteral("list"), QStringLiteral("insert"),  QStringLiteral("delete"),
                                 QStringLiteral("move"), QStringLiteral("refresh"), QStringLiteral("import-log")};
    if (!actions.contains(action))
        throw Failure(QStringLiteral("操作只能是 %1，不能是 “%2”").arg(actions.join(QStringLiteral("、")), action),
                      kExitUsage);
    // The options each action takes.
    const std::pair<const char *, QStringList> uses[] = {
        {"depth", {QStringLiteral("insert"), QStringLiteral("delete")}},
        {"layer", {QStringLiteral("move")}},
        {"bottom", {QStringLiteral("move")}},
        {"yes", {QStringLiteral("import-log")}},
    };
    for (const auto &[option, by] : uses) {
        if (args.has(QString::fromLatin1(option)) && !by.contains(action))
            throw Failure(
                QStringLiteral("--%1 只用于 %2").arg(QString::fromLatin1(option), by.join(QStringLiteral("、"))),
                kExitUsage);
    }
    const auto depth = [&args](const char *name) {
        const float d = args.requiredNumber(QString::fromLatin1(name));
        // The depth cursor of the histogram only reaches depths below the surface.
        if (!(d > 0.0f) || d > 10000.0f)
            throw Failure(QStringLiteral("--%1 应是地面以下的深度（米，大于 0），不能是 %2")
                              .arg(QString::fromLatin1(name), number(d)),
                          kExitUsage);
        return d;
    };
    common::ConsoleMessenger messenger(args.flag(QStringLiteral("yes")));
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    if (action == QStringLiteral("list")) {
        printLayers(survey);
        return 0;
    }

    QString done;
    if (action == QStringLiteral("insert")) {
        const float d = depth("depth");
        requirePoints(survey);
        if (d > survey.header.holeDepth)
            throw Failure(QStringLiteral("%1 米在测孔深度 %2 米以下，不能在那里分层，文件没有改动")
                              .arg(number(d), number(survey.header.holeDepth)));
        if (!InsertLayer(survey, viewAtDepth(d), messenger))
            throw Failure(QStringLiteral("没有分层，文件没有改动"));
        done = QStringLiteral("已在 %1 米处分层").arg(fixed(cursorDepth(depthToCursorY(d)), 2));
    } else if (action == QStringLiteral("delete")) {
        const float d = depth("depth");
        requirePoints(survey);
        if (!DeleteLayer(survey, viewAtDepth(d), messenger))
            throw Failure(QStringLiteral("%1 米处没有速度分层，文件没有改动").arg(number(d)));
        done = QStringLiteral("已删除 %1 米所在的速度分层").arg(number(d));
    } else if (action == QStringLiteral("move")) {
        const int layer = args.requiredInteger(QStringLiteral("layer"));
        const float bottom = depth("bottom");
        const std::size_t count = survey.layers.size();
        if (layer < 1 || std::size_t(layer) > count)
            throw Failure(count == 0 ? QStringLiteral("分层序号 %1 超出范围：没有速度分层").arg(layer)
                                     : QStringLiteral("分层序号 %1 超出范围 1～%2").arg(layer).arg(count));
        const auto range = boundaryDragRange(survey, layer - 1);
        if (!range)
            throw Failure(QStringLiteral("第 %1 层的底没有移动的余地，文件没有改动").arg(layer));
        const int wanted = depthToCursorY(bottom);
        const int y = std::clamp(wanted, range->lowest, range->highest);
        if (!DragLayerBoundary(survey, layer - 1, wanted))
            throw Failure(QStringLiteral("第 %1 层的底没有移动，文件没有改动").arg(layer));
        done = QStringLiteral("第 %1 层的底已移到 %2 米").arg(layer).arg(fixed(cursorDepth(y), 2));
        if (y != wanted)
            done += QStringLiteral("（要求 %1 米超出了可移动范围 %2～%3 米）")
                        .arg(number(bottom), fixed(cursorDepth(range->lowest), 2),
                             fixed(cursorDepth(range->highest), 2));
    } else if (action == QStringLiteral("refresh")) {
        RefreshLayerVelocities(survey);
        done = QStringLiteral("已重新计算 %1 个速度分层的波速").arg(survey.layers.size());
    } else {
        // As the layer dialog's import: every layer gets its velocity and soil type.
        if (!LayersFromSurveyLog(survey, messenger))
            throw Failure(QStringLiteral("没有导入工勘资料，文件没有改动"));
        done = QStringLiteral("已由工勘资料导入 %1 个速度分层").arg(survey.layers.size());
    }
    storeSurveyOrFail(survey, path);
    printLine(done);
    printLayers(survey);
    return 0;
}

int runResults(const Args &args)
{
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, pathOf(args), messenger);
    // The dialog's texts, in columns that stay aligned whatever the widths.
    const QRegularExpression gap(QStringLiteral("\\s{2,}"));
    std::vector<QStringList> rows{EChengGuoDialogModel::heading().split(gap, Qt::SkipEmptyParts)};
    for (const QString &line : EChengGuoDialogModel::lines(survey))
        rows.push_back(line.split(gap, Qt::SkipEmptyParts));
    printLine(formatTable(rows));
    return 0;
}

// Why the site velocity came out 0.
QString whyNoSiteVelocity(const SurveyData &survey)
{
    if (survey.points.empty())
        return QStringLiteral("本测试没有测点");
    float deepest = survey.points.front().depth;
    for (const TlvOne &p : survey.points)
        deepest = std::max(deepest, p.depth);
    if (survey.header.computationDepth > deepest)
        return QStringLiteral("覆盖层计算厚度 %1 米超过最深测点的深度 %2 米")
            .arg(number(survey.header.computationDepth), number(deepest));
    return QStringLiteral("计算厚度以上有测点波速为 0（请先拾取初至并 recalc）");
}

int runSiteVelocity(const Args &args)
{
    const QString path = pathOf(args);
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    if (!(survey.header.overburden > 0.0f)) {
        printLine(QStringLiteral("覆盖层厚度为 0，不计算场地等效剪切波速；保存的值 %1 m/s 不变")
                      .arg(fixed(survey.header.siteVelocity, 2)));
        return 0;
    }
    const float before = survey.header.siteVelocity;
    UpdateSiteVelocity(survey);
    const float v = survey.header.siteVelocity;
    if (v != before) {
        survey.markModified(SurveyParts::Header);
        storeSurveyOrFail(survey, path);
    }
    QString line = QStringLiteral("场地等效剪切波速 %1 m/s（计算深度 %2 米）")
                       .arg(fixed(v, 2), number(survey.header.computationDepth));
    if (v == 0.0f)
        line += QStringLiteral("：") + whyNoSiteVelocity(survey);
    printLine(line);
    return 0;
}

int runSoilIndices(const Args &args)
{
    SoilIndexInputs inputs;
    inputs.vs = args.requiredNumber(QStringLiteral("vs"));
    inputs.vp = args.requiredNumber(QStringLiteral("vp"));
    inputs.density = args.requiredNumber(QStringLiteral("rho"));
    if (!(inputs.vs > 0.0f) || !(inputs.vp > 0.0f) || !(inputs.density > 0.0f))
        throw Failure(QStringLiteral("--vs、--vp 和 --rho 都应大于 0"), kExitUsage);
    common::ConsoleMessenger messenger;
    if (inputs.vp < inputs.vs)
        throw Failure(
            QStringLiteral("压缩波速 Vp %1 m/s 应大于剪切波速 Vs %2 m/s").arg(number(inputs.vp), number(inputs.vs)));
    const auto r = EWUXINGZHIBIAOModel::ComputeSoilIndices(inputs, messenger);
    if (!r)
        throw Failure(QStringLiteral("没有计算"));
    printLine(QStringLiteral("动剪切模量 Gd (kPa)：") + EWUXINGZHIBIAOModel::format(r->shearModulus));
    printLine(QStringLiteral("动弹性模量 Ed (kPa)：") + EWUXINGZHIBIAOModel::format(r->elasticModulus));
    printLine(QStringLiteral("动泊松比 μd：") + EWUXINGZHIBIAOModel::format(r->poissonRatio));
    printLine(QStringLiteral("与动泊松比有关系数 ηs ：") + EWUXINGZHIBIAOModel::format(r->etaS));
    return 0;
}

const OptionSpec kPointOption{QStringLiteral("point"), QStringLiteral("K"),
                              QStringLiteral("测点序号，从 1 起（必需）")};

} // namespace

void printLayers(const SurveyData &survey)
{
    if (survey.layers.empty()) {
        printLine(QStringLiteral("没有速度分层"));
        return;
    }
    // Beside the stored velocity (from the point velocities as they stand),
    // the one from the picked points alone with its 16...84 % range.
    const std::vector<LayerVelocityEstimate> picked = layerVelocityEstimates(survey, SuggestArrivals(survey));
    std::vector<QStringList> rows{{QStringLiteral("分层"), QStringLiteral("顶(米)"), QStringLiteral("底(米)"),
                                   QStringLiteral("波速(m/s)"), QStringLiteral("拾取测点波速(m/s)"),
                                   QStringLiteral("误差范围(m/s)"), QStringLiteral("土层描述")}};
    for (std::size_t i = 0; i < survey.layers.size(); ++i) {
        const DiChengOne &l = survey.layers[i];
        const LayerVelocityEstimate &e = picked[i];
        rows.push_back({QString::number(i + 1), fixed(l.top, 2), fixed(l.bottom, 2), fixed(l.velocity, 1),
                        e.velocity > 0.0f ? fixed(e.velocity, 1) : QStringLiteral("—"),
                        e.bounds.known() ? fixed(e.bounds.low, 1) + QStringLiteral("～") + fixed(e.bounds.high, 1)
                                         : QStringLiteral("—"),
                        common::decodeGbk(common::readFixedText(l.description))});
    }
    printLine(formatTable(rows, 1));
    int unpicked = 0;
    for (const TlvOne &p : survey.points)
        unpicked += p.sArrival > 0 ? 0 : 1;
    if (unpicked > 0)
        printLine(
            QStringLiteral("%1 个测点未拾取初至，未计入拾取测点波速（“波速”一栏仍按全部测点波速计算）").arg(unpicked));
    printLine(
        QStringLiteral("拾取测点波速：由拾取了初至的测点的走时计算；误差范围为按拾取误差抽样 %1 次的 16%～84% 分位数；"
                       "“—”：该层内没有拾取的测点")
            .arg(kUncertaintyDraws));
}

void addAnalysisCommands(std::vector<Command> &commands)
{
    commands.push_back({QStringLiteral("points"),
                        QStringLiteral("points FILE.qsw"),
                        QStringLiteral("列出测点：深度、S 波初至、走时、测点波速和等效波速（不改动文件）"),
                        QString(),
                        {},
                        1,
                        1,
                        runPoints});
    commands.push_back({QStringLiteral("recalc"),
                        QStringLiteral("recalc FILE.qsw"),
                        QStringLiteral("按列表顺序重新计算所有测点的波速，列出有变化的测点"),
                        QString(),
                        {},
                        1,
                        1,
                        runRecalc});
    commands.push_back({QStringLiteral("sort"),
                        QStringLiteral("sort FILE.qsw"),
                        QStringLiteral("按深度排序测点"),
                        QString(),
                        {},
                        1,
                        1,
                        runSort});
    commands.push_back({QStringLiteral("pick"),
                        QStringLiteral("pick FILE.qsw --point K --sample S"),
                        QStringLiteral("设为 S 波初至：把第 K 个测点的初至设在采样点 S，重新计算该测点和下一个测点"),
                        QString(),
                        {kPointOption,
                         {QStringLiteral("sample"), QStringLiteral("S"),
                          QStringLiteral("初至所在的采样点，1～1023（时间光标能到的位置；必需）")}},
                        1,
                        1,
                        runPick});
    commands.push_back(
        {QStringLiteral("insert-point"),
         QStringLiteral("insert-point FILE.qsw --point K"),
         QStringLiteral("在第 K 个位置插入一个空测点（K 可为测点数 + 1，即加在最后）"),
         QString(),
         {{QStringLiteral("point"), QStringLiteral("K"), QStringLiteral("插入的位置，1～测点数 + 1（必需）")}},
         1,
         1,
         runInsertPoint});
    commands.push_back({QStringLiteral("delete-point"),
                        QStringLiteral("delete-point FILE.qsw --point K"),
                        QStringLiteral("删除第 K 个测点"),
                        QString(),
                        {kPointOption},
                        1,
                        1,
                        runDeletePoint});
    commands.push_back(
        {QStringLiteral("layers"),
         QStringLiteral(
             "layers FILE.qsw list | insert --depth D | delete --depth D | move --layer K --bottom D | refresh "
             "| import-log [--yes]"),
         QStringLiteral("速度分层：列出、分层、删除、移动分层线、重新计算分层波速、由工勘资料导入"),
         QStringLiteral("insert  在深度 D 米处分层（与已有分层线相距至少 0.5 米，不深于测孔深度）\n"
                        "delete  删除深度 D 米所在的那一层（D 取该层顶和底之间的任一深度）\n"
                        "move    把第 K 层的底（及下一层的顶）移到 D 米；超出可移动范围时停在范围边上并说明\n"
                        "refresh 按测点波速重新计算各层波速\n"
                        "import-log 把工勘资料的土层导入为速度分层（替换已有分层前询问，--yes 回答“是”）\n"
                        "深度按直方图的深度光标取：100 + trunc(50 × D)，即精确到 0.02 米。"),
         {{QStringLiteral("depth"), QStringLiteral("D"), QStringLiteral("深度，米，大于 0（insert、delete 必需）")},
          {QStringLiteral("layer"), QStringLiteral("K"), QStringLiteral("分层序号，从 1 起（move 必需）")},
          {QStringLiteral("bottom"), QStringLiteral("D"), QStringLiteral("第 K 层新的底深度，米（move 必需）")},
          {QStringLiteral("yes"), QString(), QStringLiteral("import-log 询问时回答“是”（不给则回答“否”）")}},
         2,
         2,
         runLayers});
    commands.push_back({QStringLiteral("results"),
                        QStringLiteral("results FILE.qsw"),
                        QStringLiteral("成果：各测点深度的等效剪切波速和卓越周期（不改动文件）"),
                        QString(),
                        {},
                        1,
                        1,
                        runResults});
    commands.push_back({QStringLiteral("site-velocity"),
                        QStringLiteral("site-velocity FILE.qsw"),
                        QStringLiteral("计算并保存场地等效剪切波速（计算深度为覆盖层计算厚度）；为 0 时说明原因"),
                        QStringLiteral("覆盖层厚度为 0 时不计算，保存的值不变。"),
                        {},
                        1,
                        1,
                        runSiteVelocity});
    commands.push_back(
        {QStringLiteral("soil-indices"),
         QStringLiteral("soil-indices --vs V --vp V --rho R"),
         QStringLiteral("土的物性指标：动剪切模量 Gd、动弹性模量 Ed（kPa）、动泊松比 μd 和系数 ηs"),
         QString(),
         {{QStringLiteral("vs"), QStringLiteral("V"), QStringLiteral("剪切波速 Vs，m/s，大于 0（必需）")},
          {QStringLiteral("vp"), QStringLiteral("V"), QStringLiteral("压缩波速 Vp，m/s，大于 Vs（必需）")},
          {QStringLiteral("rho"), QStringLiteral("R"), QStringLiteral("质量密度 ρ，g/cm³（即 t/m³），大于 0（必需）")}},
         0,
         0,
         runSoilIndices});
}

} // namespace cli
