// talvex-cli process / spectrum: the trace commands of the main view run on
// one point of a survey document. The survey, a view state in the
// multi-trace mode (current point, selected trace and cursor from the
// arguments) and WaveformEditor are the same as the window's.

#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "common/numberformat.h"
#include "talvex/analysis/pointcommands.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/processing/waveformeditor.h"
#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <cmath>
#include <cstdio>
#include <limits>

using namespace talvex;

namespace cli {

namespace {

// The point and trace an invocation works on, checked against the survey.
struct Target {
    int point = 0; // 1-based
    int trace = 0; // 0 positive, 1 negative
    QString traceName;
};

Target targetOf(const Args &args, const SurveyData &survey)
{
    Target t;
    t.point = args.requiredInteger(QStringLiteral("point"));
    const auto trace = args.choice(QStringLiteral("trace"), {QStringLiteral("positive"), QStringLiteral("negative")});
    if (!trace)
        throw Failure(QStringLiteral("缺少选项 --trace（positive 或 negative）"), kExitUsage);
    requirePoint(t.point, survey.points.size());
    t.trace = *trace == QStringLiteral("positive") ? 0 : 1;
    t.traceName = *trace;
    return t;
}

QString traceLabel(const Target &t)
{
    return QStringLiteral("第 %1 个测点的%2数据")
        .arg(t.point)
        .arg(t.trace == 0 ? QStringLiteral("正向") : QStringLiteral("反向"));
}

// The view the window would have with this point's trace selected.
ViewState pointView(const Target &t)
{
    ViewState view;
    view.mode = DisplayMode::MultiTrace;
    view.currentPoint = t.point;
    view.selectedTrace = t.trace;
    return view;
}

// The sample interval of the point, refused when no record was imported into
// it (a new point has interval 0): filters and spectra need it.
float intervalOrFail(const SurveyData &survey, const Target &t)
{
    const float interval = survey.points[std::size_t(t.point - 1)].interval;
    if (!(interval > 0.0f) || !std::isfinite(interval))
        throw Failure(
            QStringLiteral("第 %1 个测点没有采样间隔（%2 us），请先导入它的数据").arg(t.point).arg(number(interval)));
    return interval;
}

// The operation's words after OP: between `count` and `most` of them.
QStringList operands(const Args &args, const QString &op, int count, int most, const QString &what)
{
    const QStringList rest = args.words().mid(2);
    if (rest.size() < count || rest.size() > most)
        throw Failure(QStringLiteral("%1 %2（见 talvex-cli process --help）").arg(op, what), kExitUsage);
    return rest;
}

// The filter of an operation, every frequency a positive whole number in Hz
// below the Nyquist frequency of the point's sample interval.
FilterSettings filterSettingsOf(const QString &op, const QStringList &v, float interval)
{
    const float nyquist = 500000.0f / interval; // Hz
    const auto frequency = [&](const QString &text, const QString &what) {
        const int f = parseIntegerIn(text, op + QLatin1Char(' ') + what, 1, 32767);
        if (!usableCutOff(f, interval))
            throw Failure(QStringLiteral("%1：%2 %3 Hz 不低于该测点采样间隔 %4 us 的奈奎斯特频率 %5 Hz，文件没有改动")
                              .arg(op, what)
                              .arg(f)
                              .arg(number(interval), number(nyquist)));
        return f;
    };
    FilterSettings s;
    if (op == QStringLiteral("lowpass")) {
        s.kind = FilterKind::LowPass;
        s.upper = frequency(v[0], QStringLiteral("截止频率"));
    } else if (op == QStringLiteral("highpass")) {
        s.kind = FilterKind::HighPass;
        s.lower = frequency(v[0], QStringLiteral("截止频率"));
    } else {
        s.kind = op == QStringLiteral("bandpass") ? FilterKind::BandPass : FilterKind::BandStop;
        s.lower = frequency(v[0], QStringLiteral("下限频率"));
        s.upper = frequency(v[1], QStringLiteral("上限频率"));
        if (s.lower >= s.upper)
            throw Failure(QStringLiteral("%1：下限频率应低于上限频率").arg(op), kExitUsage);
    }
    return s;
}

int runProcess(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    const QString op = args.word(1, QStringLiteral("操作 OP（见 talvex-cli process --help）"));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    const Target target = targetOf(args, survey);

    FieldRecord record; // not used in a point mode
    UndoSnapshot undo; // the window's one level; nothing to undo in a batch run
    EditingSettings settings;
    ViewState view = pointView(target);
    WaveformEditor editor(EditorState{survey, view, record, undo, settings});

    // Every argument is checked before the trace is touched.
    bool done = false;
    QString what;
    if (op == QStringLiteral("lowpass") || op == QStringLiteral("highpass")) {
        const QStringList v = operands(args, op, 1, 1, QStringLiteral("要一个截止频率 F（赫兹）"));
        const FilterSettings f = filterSettingsOf(op, v, intervalOrFail(survey, target));
        done = editor.FilterTrace(f);
        what = QStringLiteral("%1滤波 %2 Hz")
                   .arg(op == QStringLiteral("lowpass") ? QStringLiteral("低通") : QStringLiteral("高通"), v[0]);
    } else if (op == QStringLiteral("bandpass") || op == QStringLiteral("bandstop")) {
        const QStringList v = operands(args, op, 2, 2, QStringLiteral("要两个频率（赫兹），低的在前"));
        done = editor.FilterTrace(filterSettingsOf(op, v, intervalOrFail(survey, target)));
        what = QStringLiteral("%1滤波 %2～%3 Hz")
                   .arg(op == QStringLiteral("bandpass") ? QStringLiteral("带通") : QStringLiteral("带阻"), v[0], v[1]);
    } else if (op == QStringLiteral("dc")) {
        operands(args, op, 0, 0, QStringLiteral("不带参数"));
        done = editor.RemoveTraceDC();
        what = QStringLiteral("已去直流");
    } else if (op == QStringLiteral("smooth")) {
        const QStringList v = operands(args, op, 1, 1, QStringLiteral("要平滑点数 W"));
        const int w = parseIntegerIn(v[0], QStringLiteral("平滑点数 W"), 1, kTraceLength);
        done = editor.SmoothTrace(w);
        what = QStringLiteral("已平滑（%1 点）").arg(w);
    } else if (op == QStringLiteral("invert")) {
        operands(args, op, 0, 0, QStringLiteral("不带参数"));
        done = editor.InvertTrace();
        what = QStringLiteral("已反相");
    } else if (op == QStringLiteral("zero-before") || op == QStringLiteral("zero-after")) {
        const QStringList v = operands(args, op, 1, 1, QStringLiteral("要光标所在的采样点 K"));
        const int k = parseIntegerIn(v[0], QStringLiteral("采样点 K"), kFirstCursorSample, kLastCursorSample);
        view.cursorX = kWaveformOriginX + k;
        const bool before = op == QStringLiteral("zero-before");
        done = before ? editor.ZeroBeforeCursor() : editor.ZeroAfterCursor();
        what = before ? QStringLiteral("已将采样点 %1 之前清零").arg(k)
                      : QStringLiteral("已将采样点 %1 及之后清零").arg(k);
    } else if (op == QStringLiteral("shift-earlier") || op == QStringLiteral("shift-later")) {
        const QStringList v = operands(args, op, 0, 1, QStringLiteral("最多要一个采样点数 N"));
        const int n = v.isEmpty() ? 1 : parseIntegerIn(v[0], QStringLiteral("移动点数 N"), 1, kTraceLength - 1);
        const bool earlier = op == QStringLiteral("shift-earlier");
        done = true;
        for (int i = 0; i < n && done; ++i)
            done = earlier ? editor.ShiftEarlier() : editor.ShiftLater();
        what = QStringLiteral("已%1移 %2 个采样点").arg(earlier ? QStringLiteral("前") : QStringLiteral("后")).arg(n);
    } else {
        throw Failure(QStringLiteral("没有操作 “%1”（见 talvex-cli process --help）").arg(op), kExitUsage);
    }
    if (!done)
        throw Failure(QStringLiteral("%1 不能用于第 %2 个测点，文件没有改动").arg(op).arg(target.point));
    storeSurveyOrFail(survey, path);
    printLine(traceLabel(target) + QStringLiteral("：") + what);
    return 0;
}

int runSpectrum(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    const Target target = targetOf(args, survey);
    const float interval = intervalOrFail(survey, target);

    FieldRecord record;
    UndoSnapshot undo;
    EditingSettings settings;
    ViewState view = pointView(target);
    WaveformEditor editor(EditorState{survey, view, record, undo, settings});
    if (!editor.ShowSpectrum())
        throw Failure(QStringLiteral("第 %1 个测点没有频谱").arg(target.point));
    const FrequencyDisplay &spectrum = editor.spectrum();

    if (args.flag(QStringLiteral("json"))) {
        common::JsonWriter w;
        w.beginObject();
        w.field("point", target.point).field("trace", target.traceName.toStdString()).field("interval", interval);
        w.field("peakFrequency", spectrum.peakFrequency).field("frequencyStep", spectrum.frequencyStep);
        w.key("display").beginArray();
        for (const std::int16_t v : spectrum.buffer)
            w.value(int(v));
        w.endArray();
        w.endObject();
        std::fwrite(w.text().data(), 1, w.text().size(), stdout);
        std::fputc('\n', stdout);
    } else {
        printLine(QStringLiteral("%1：主频 %2 Hz，频率间隔 %3 Hz")
                      .arg(traceLabel(target), number(spectrum.peakFrequency), number(spectrum.frequencyStep)));
    }
    return 0;
}

const std::vector<OptionSpec> &targetOptions()
{
    static const std::vector<OptionSpec> options = {
        {QStringLiteral("point"), QStringLiteral("K"), QStringLiteral("测点序号，从 1 起（必需）")},
        {QStringLiteral("trace"), QStringLiteral("positive|negative"),
         QStringLiteral("正向（positive）或反向（negative）数据（必需）")},
    };
    return options;
}

} // namespace

void addProcessCommands(std::vector<Command> &commands)
{
    commands.push_back(
        {QStringLiteral("process"), QStringLiteral("process FILE.qsw --point K --trace positive|negative OP [参数]"),
         QStringLiteral("用窗口的波形命令处理一个测点的一道数据并保存"),
         QStringLiteral("OP：\n"
                        "  lowpass F | highpass F        低通、高通滤波，截止频率 F 赫兹\n"
                        "  bandpass F1 F2 | bandstop F1 F2  带通、带阻滤波，下限 F1、上限 F2 赫兹（F1 < F2）\n"
                        "  dc                            去直流\n"
                        "  smooth W                      平滑，W 点平均，1～1024\n"
                        "  invert                        反相\n"
                        "  zero-before K | zero-after K  光标在采样点 K（1～1023）：之前 / 从 K 起之后清零\n"
                        "  shift-earlier [N] | shift-later [N]  前移 / 后移 N 个采样点，1～1023，默认 1\n"
                        "频率为正整数，须低于该测点采样间隔的奈奎斯特频率（500000 / 采样间隔微秒 赫兹）；\n"
                        "滤波要求测点已导入数据（有采样间隔）。参数有误时文件不变。"),
         targetOptions(), 2, 4, runProcess});
    std::vector<OptionSpec> spectrumOptions = targetOptions();
    spectrumOptions.push_back({QStringLiteral("json"), QString(),
                               QStringLiteral("以 JSON 输出，另含视图频谱缓冲区的 1024 个显示值（取负，大幅值向上）")});
    commands.push_back({QStringLiteral("spectrum"),
                        QStringLiteral("spectrum FILE.qsw --point K --trace positive|negative [--json]"),
                        QStringLiteral("一个测点一道数据的振幅谱：主频和频率间隔（赫兹），不改动文件"), QString(),
                        spectrumOptions, 1, 1, runSpectrum});
}

} // namespace cli
