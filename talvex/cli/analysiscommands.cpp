// talvex-cli commands of the velocity analysis: picking, recalculation,
// point and layer editing, results. Each builds the view state the window
// would have (current point, time cursor, depth cursor) and calls the same
// logic as the window.

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "common/numberformat.h"
#include "talvex/analysis/ceditzhudialogmodel.h"
#include "talvex/analysis/echengguodialogmodel.h"
#include "talvex/analysis/ewuxingzhibiaomodel.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/layervelocity.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/analysis/sitevelocity.h"
#include "talvex/cli/cliargs.h"
#include "talvex/cli/commands.h"
#include "talvex/processing/undosnapshot.h"
#include "talvex/survey/surveydata.h"
#include "talvex/survey/viewstate.h"

#include <cstdio>
#include <set>

using namespace talvex;

namespace cli {

namespace {

std::string fixed(float value, int decimals)
{
    return common::formatFixed(value, decimals);
}

void printLine(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
}

// One line per point: number, depth, pick, travel time, point and
// equivalent velocity.
void printPoints(const SurveyData &survey)
{
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        const TlvOne &p = survey.points[i];
        std::printf("%zu\t%s m\tS %d\t%s ms\t%s m/s\t%s m/s\n", i + 1, fixed(p.depth, 2).c_str(), int(p.sArrival),
                    fixed(p.travelTime(), 3).c_str(), fixed(p.pointVelocity, 1).c_str(),
                    fixed(p.equivVelocity, 1).c_str());
    }
}

// One line per velocity layer: number, top, bottom, velocity, description.
void printLayers(const SurveyData &survey)
{
    for (std::size_t i = 0; i < survey.layers.size(); ++i) {
        const DiChengOne &l = survey.layers[i];
        std::printf("%zu\t%s-%s m\t%s m/s\t%s\n", i + 1, fixed(l.top, 2).c_str(), fixed(l.bottom, 2).c_str(),
                    fixed(l.velocity, 1).c_str(), common::gbkToUtf8(common::readFixedText(l.description)).c_str());
    }
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

void requirePoints(const SurveyData &survey)
{
    if (survey.points.empty())
        throw Failure("the survey has no points", 1);
}

int runRecalc(const Args &args)
{
    args.allowOnly({});
    const std::string path = args.positional(1, "survey file");
    common::ConsoleMessenger messenger;
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    requirePoints(survey);
    RecalculateAllVelocities(survey);
    survey.markModified();
    storeSurveyOrFail(path);
    printPoints(survey);
    return 0;
}

// Loads the survey, runs one point command on it (the command throws a
// Failure when it refuses), saves the survey and prints its points.
template <typename Command>
int changePoints(const Args &args, const std::set<std::string> &options, Command command)
{
    args.allowOnly(options);
    const std::string path = args.positional(1, "survey file");
    common::ConsoleMessenger messenger;
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    command(survey);
    storeSurveyOrFail(path);
    printPoints(survey);
    return 0;
}

int runSort(const Args &args)
{
    return changePoints(args, {}, [](SurveyData &survey) {
        requirePoints(survey);
        SortPointsByDepth(survey);
    });
}

int runPick(const Args &args)
{
    const int point = args.requiredInteger("point");
    const int sample = args.requiredInteger("sample");
    return changePoints(args, {"point", "sample"}, [&](SurveyData &survey) {
        ViewState view = viewAtPoint(point);
        view.cursorX = kWaveformOriginX + sample;
        if (currentPointIndex(survey, view) < 0)
            throw Failure("the survey has no point " + std::to_string(point), 1);
        if (sample < kFirstCursorSample || sample > kLastCursorSample)
            throw Failure("--sample must be 1...1023 (the samples the time cursor reaches)", 2);
        SetSArrival(survey, view);
    });
}

int runInsertPoint(const Args &args)
{
    const int point = args.requiredInteger("point");
    return changePoints(args, {"point"}, [&](SurveyData &survey) {
        ViewState view = viewAtPoint(point);
        UndoSnapshot undo;
        if (point < 1 || std::size_t(point) > survey.points.size() + 1)
            throw Failure("--point must be 1..." + std::to_string(survey.points.size() + 1), 1);
        if (!InsertPoint(survey, view, undo))
            throw Failure("the survey already holds the most points a document can store", 1);
    });
}

int runDeletePoint(const Args &args)
{
    const int point = args.requiredInteger("point");
    return changePoints(args, {"point"}, [&](SurveyData &survey) {
        ViewState view = viewAtPoint(point);
        UndoSnapshot undo;
        if (!DeletePoint(survey, view, undo))
            throw Failure("the survey has no point " + std::to_string(point), 1);
    });
}

int runLayers(const Args &args)
{
    args.allowOnly({"depth", "layer", "bottom", "yes"});
    const std::string path = args.positional(1, "survey file");
    const std::string action = args.positional(2, "insert|delete|move|refresh|import-log");
    common::ConsoleMessenger messenger(args.flag("yes"));
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    const auto depth = [&args](const char *name) {
        const auto d = args.number(name);
        if (!d)
            throw Failure(std::string("missing option --") + name, 2);
        // The depth cursor of the histogram only reaches depths below the surface.
        if (!(*d > 0.0f) || *d > 10000.0f)
            throw Failure(std::string("--") + name + " must be a depth below 0 m, in metres", 2);
        return *d;
    };

    bool done = false;
    if (action == "insert") {
        requirePoints(survey);
        done = InsertLayer(survey, viewAtDepth(depth("depth")), messenger);
    } else if (action == "delete") {
        requirePoints(survey);
        done = DeleteLayer(survey, viewAtDepth(depth("depth")), messenger);
    } else if (action == "move") {
        const int layer = args.requiredInteger("layer");
        if (layer < 1 || std::size_t(layer) > survey.layers.size())
            throw Failure("the survey has no layer " + std::to_string(layer), 1);
        done = DragLayerBoundary(survey, layer - 1, depthToCursorY(depth("bottom")));
        if (!done)
            throw Failure("no room to move the bottom of layer " + std::to_string(layer), 1);
    } else if (action == "refresh") {
        RefreshLayerVelocities(survey);
        done = true;
    } else if (action == "import-log") {
        // As in the layer dialog; every imported layer is shown once, so each
        // gets its velocity and soil type.
        CEditZhuDialogModel dialog(survey, messenger);
        done = dialog.importSurveyLog();
        for (std::size_t i = 1; done && i < survey.layers.size(); ++i)
            dialog.select(int(i));
        dialog.finish();
    } else {
        throw Failure("layers what? insert, delete, move, refresh or import-log", 2);
    }
    if (!done)
        throw Failure("nothing changed", 1);
    storeSurveyOrFail(path);
    printLayers(survey);
    return 0;
}

int runResults(const Args &args)
{
    args.allowOnly({});
    const std::string path = args.positional(1, "survey file");
    common::ConsoleMessenger messenger;
    const SurveyData &survey = loadSurveyOrFail(path, messenger);
    printLine(EChengGuoDialogModel::heading());
    for (const QString &line : EChengGuoDialogModel::lines(survey))
        printLine(line);
    return 0;
}

int runSiteVelocity(const Args &args)
{
    args.allowOnly({});
    const std::string path = args.positional(1, "survey file");
    common::ConsoleMessenger messenger;
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    if (UpdateSiteVelocity(survey)) {
        survey.markModified();
        storeSurveyOrFail(path);
    } else {
        std::fprintf(stderr, "overburden is 0: the stored site velocity is kept\n");
    }
    std::printf("%sm/s\n", fixed(survey.header.siteVelocity, 2).c_str());
    return 0;
}

int runSoilIndices(const Args &args)
{
    args.allowOnly({"vs", "vp", "rho"});
    SoilIndexInputs inputs;
    inputs.vs = args.number("vs").value_or(0.0f);
    inputs.vp = args.number("vp").value_or(0.0f);
    inputs.density = args.number("rho").value_or(0.0f);
    common::ConsoleMessenger messenger;
    const auto r = EWUXINGZHIBIAOModel::ComputeSoilIndices(inputs, messenger);
    if (!r)
        throw Failure("nothing computed", 1);
    printLine(QStringLiteral("动剪切模量 Gd (kPa)：") + EWUXINGZHIBIAOModel::format(r->shearModulus));
    printLine(QStringLiteral("动弹性模量 Ed (kPa)：") + EWUXINGZHIBIAOModel::format(r->elasticModulus));
    printLine(QStringLiteral("动泊松比 μd：") + EWUXINGZHIBIAOModel::format(r->poissonRatio));
    printLine(QStringLiteral("与动泊松比有关系数 ηs ：") + EWUXINGZHIBIAOModel::format(r->etaS));
    return 0;
}

} // namespace

void addAnalysisCommands(std::vector<Command> &commands)
{
    commands.push_back({"recalc", "recalc FILE.qsw", {}, runRecalc});
    commands.push_back({"sort", "sort FILE.qsw", {}, runSort});
    commands.push_back({"pick", "pick FILE.qsw --point K --sample S", {}, runPick});
    commands.push_back({"insert-point", "insert-point FILE.qsw --point K", {}, runInsertPoint});
    commands.push_back({"delete-point", "delete-point FILE.qsw --point K", {}, runDeletePoint});
    commands.push_back({"layers",
                        "layers FILE.qsw insert --depth D | delete --depth D | move --layer K --bottom D | refresh | "
                        "import-log [--yes]",
                        {"yes"}, runLayers});
    commands.push_back({"results", "results FILE.qsw", {}, runResults});
    commands.push_back({"site-velocity", "site-velocity FILE.qsw", {}, runSiteVelocity});
    commands.push_back({"soil-indices", "soil-indices --vs V --vp V --rho R", {}, runSoilIndices});
}

} // namespace cli
