// talvex-cli process / spectrum: the trace commands of the main view run on
// one point of a survey document. The survey, a view state in the
// multi-trace mode (current point, selected trace and cursor from the
// arguments) and WaveformEditor are the same as the window's.

#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "common/numberformat.h"
#include "talvex/cli/cliargs.h"
#include "talvex/cli/commands.h"
#include "talvex/processing/undosnapshot.h"
#include "talvex/processing/waveformeditor.h"
#include "talvex/survey/fieldrecord.h"
#include "talvex/survey/surveydata.h"
#include "talvex/survey/viewstate.h"

#include <cmath>
#include <cstdio>
#include <limits>

using namespace talvex;

namespace cli {

namespace {

const char *const kProcessUsage =
    "process FILE.qsw --point K --trace positive|negative OP [ARGS]\n"
    "      OP: lowpass F | highpass F | bandpass FLOW FHIGH | bandstop F1 F2 (Hz, whole numbers)\n"
    "          dc | smooth W | invert | zero-before K | zero-after K (K: cursor sample 0...1024)\n"
    "          shift-earlier [N] | shift-later [N] (N samples, default 1)";
const char *const kSpectrumUsage = "spectrum FILE.qsw --point K --trace positive|negative [--json]";

// The point and trace an invocation works on, checked against the survey.
struct Target {
    int point = 0;    // 1-based
    int trace = 0;    // 0 positive, 1 negative
    std::string traceName;
};

Target targetOf(const Args &args, const SurveyData &survey)
{
    Target t;
    t.point = args.requiredInteger("point");
    if (t.point < 1 || std::size_t(t.point) > survey.points.size())
        throw Failure("--point " + std::to_string(t.point) + ": the survey has points 1..."
                          + std::to_string(survey.points.size()),
                      2);
    const auto trace = args.text("trace");
    if (!trace)
        throw Failure("missing option --trace (positive or negative)", 2);
    if (*trace == "positive")
        t.trace = 0;
    else if (*trace == "negative")
        t.trace = 1;
    else
        throw Failure("--trace must be positive or negative, not " + *trace, 2);
    t.traceName = *trace;
    return t;
}

// The view the window would have with this point's trace selected.
ViewState pointView(const Target &t, int cursorSample = 0)
{
    ViewState view;
    view.mode = DisplayMode::MultiTrace;
    view.currentPoint = t.point;
    view.selectedTrace = t.trace;
    view.cursorX = kWaveformOriginX + cursorSample;
    return view;
}

// The sample interval of the point, refused when no record was imported into
// it (a new point has interval 0): filters and spectra need it.
float intervalOrFail(const SurveyData &survey, const Target &t)
{
    const float interval = survey.points[std::size_t(t.point - 1)].interval;
    if (!(interval > 0.0f) || !std::isfinite(interval))
        throw Failure("point " + std::to_string(t.point) + " has no sample interval (interval "
                          + common::formatShortest(interval) + " us); import its records first",
                      1);
    return interval;
}

// The operation's arguments after OP, exactly `count` of them (or between
// `count` and `most`).
std::vector<std::string> operands(const Args &args, const std::string &op, std::size_t count,
                                  std::size_t most, const char *what)
{
    const std::vector<std::string> &words = args.positional();
    const std::vector<std::string> rest(words.begin() + std::min<std::ptrdiff_t>(3, std::ptrdiff_t(words.size())),
                                        words.end());
    if (rest.size() < count || rest.size() > most)
        throw Failure(op + " wants " + what, 2);
    return rest;
}

int integerIn(const std::string &text, const std::string &what, int low, int high)
{
    const int v = parseInteger(text, what);
    if (v < low || v > high)
        throw Failure(what + " must be " + std::to_string(low) + "..." + std::to_string(high) + ", not " + text, 2);
    return v;
}

// A frequency in Hz as the filter dialog takes it: a whole number in the
// 16-bit range, here also not negative.
int frequency(const std::string &text, const std::string &what)
{
    return integerIn(text, what, 0, 32767);
}

FilterSettings filterSettingsOf(const std::string &op, const std::vector<std::string> &v, float interval)
{
    const float nyquist = 500000.0f / interval; // Hz
    const auto belowNyquist = [&](int f, const std::string &what) {
        if (float(f) >= nyquist)
            throw Failure(op + ": " + what + " " + std::to_string(f) + " Hz is not below the Nyquist frequency "
                              + common::formatShortest(nyquist) + " Hz of the point's interval",
                          2);
    };
    FilterSettings s;
    if (op == "lowpass") {
        s.kind = FilterKind::LowPass;
        s.upper = frequency(v[0], "cut-off F");
    } else if (op == "highpass") {
        s.kind = FilterKind::HighPass;
        s.lower = frequency(v[0], "cut-off F");
        belowNyquist(s.lower, "cut-off");
    } else {
        s.kind = op == "bandpass" ? FilterKind::BandPass : FilterKind::BandStop;
        s.lower = frequency(v[0], op == "bandpass" ? "FLOW" : "F1");
        s.upper = frequency(v[1], op == "bandpass" ? "FHIGH" : "F2");
        if (s.lower >= s.upper)
            throw Failure(op + ": the lower edge must be below the upper edge", 2);
        if (op == "bandpass")
            belowNyquist(s.lower, "FLOW");
        else
            belowNyquist(s.upper, "F2");
    }
    return s;
}

int runProcess(const Args &args)
{
    args.allowOnly({"point", "trace"});
    const std::string path = args.positional(1, "survey file");
    const std::string op = args.positional(2, "operation (see --help)");
    common::ConsoleMessenger messenger;
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    const Target target = targetOf(args, survey);

    FieldRecord record; // not used in a point mode
    UndoSnapshot undo;  // the window's one level; nothing to undo in a batch run
    EditingSettings settings;
    ViewState view = pointView(target);
    WaveformEditor editor(survey, view, record, undo, settings);

    bool done = false;
    if (op == "lowpass" || op == "highpass") {
        const auto v = operands(args, op, 1, 1, "one frequency F (Hz)");
        done = editor.FilterTrace(filterSettingsOf(op, v, intervalOrFail(survey, target)));
    } else if (op == "bandpass" || op == "bandstop") {
        const auto v = operands(args, op, 2, 2, "two frequencies (Hz), the lower first");
        done = editor.FilterTrace(filterSettingsOf(op, v, intervalOrFail(survey, target)));
    } else if (op == "dc") {
        operands(args, op, 0, 0, "no arguments");
        done = editor.RemoveTraceDC();
    } else if (op == "smooth") {
        const auto v = operands(args, op, 1, 1, "the window W (samples)");
        done = editor.SmoothTrace(integerIn(v[0], "smooth window W", 1, kTraceLength));
    } else if (op == "invert") {
        operands(args, op, 0, 0, "no arguments");
        done = editor.InvertTrace();
    } else if (op == "zero-before" || op == "zero-after") {
        const auto v = operands(args, op, 1, 1, "the cursor sample K");
        view.cursorX = kWaveformOriginX + integerIn(v[0], "cursor sample K", 0, kTraceLength);
        done = op == "zero-before" ? editor.ZeroBeforeCursor() : editor.ZeroAfterCursor();
    } else if (op == "shift-earlier" || op == "shift-later") {
        const auto v = operands(args, op, 0, 1, "at most one count N");
        const int n = v.empty() ? 1 : integerIn(v[0], "shift count N", 1, kTraceLength);
        done = true;
        for (int i = 0; i < n && done; ++i)
            done = op == "shift-earlier" ? editor.ShiftEarlier() : editor.ShiftLater();
    } else {
        throw Failure("unknown operation '" + op + "' (see --help)", 2);
    }
    if (!done)
        throw Failure(op + " cannot run on point " + std::to_string(target.point), 1);
    storeSurveyOrFail(path);
    return 0;
}

int runSpectrum(const Args &args)
{
    args.allowOnly({"point", "trace", "json"});
    const std::string path = args.positional(1, "survey file");
    if (args.positional().size() > 2)
        throw Failure("unexpected argument " + args.positional()[2], 2);
    common::ConsoleMessenger messenger;
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    const Target target = targetOf(args, survey);
    const float interval = intervalOrFail(survey, target);

    FieldRecord record;
    UndoSnapshot undo;
    EditingSettings settings;
    ViewState view = pointView(target);
    WaveformEditor editor(survey, view, record, undo, settings);
    if (!editor.ShowSpectrum())
        throw Failure("no spectrum for point " + std::to_string(target.point), 1);
    const FrequencyDisplay &spectrum = editor.spectrum();

    if (args.flag("json")) {
        common::JsonWriter w;
        w.beginObject();
        w.field("point", target.point).field("trace", target.traceName).field("interval", interval);
        w.field("peakFrequency", spectrum.peakFrequency).field("frequencyStep", spectrum.frequencyStep);
        w.key("display").beginArray();
        for (const std::int16_t v : spectrum.buffer)
            w.value(int(v));
        w.endArray();
        w.endObject();
        std::fwrite(w.text().data(), 1, w.text().size(), stdout);
        std::fputc('\n', stdout);
    } else {
        std::printf("peak frequency %s Hz, frequency step %s Hz\n",
                    common::formatShortest(spectrum.peakFrequency).c_str(),
                    common::formatShortest(spectrum.frequencyStep).c_str());
    }
    return 0;
}

} // namespace

void addProcessCommands(std::vector<Command> &commands)
{
    commands.push_back({"process", kProcessUsage, {}, runProcess});
    commands.push_back({"spectrum", kSpectrumUsage, {"json"}, runSpectrum});
}

} // namespace cli
