#include "sedra/core/hvexport.h"

#include "common/jsonwriter.h"

#include <cmath>

namespace sedra {

namespace {

std::string utf8(const QString &s)
{
    return s.toUtf8().toStdString();
}

void writeCheck(common::JsonWriter &w, const SesameCheck &c, const QString &text)
{
    w.beginObject();
    w.field("criterion", utf8(text));
    w.field("value", c.value);
    w.field("threshold", c.threshold);
    w.field("pass", c.pass);
    w.endObject();
}

void writeDepth(common::JsonWriter &w, const DepthEstimate &d)
{
    w.field("h", d.h).field("low", d.low).field("high", d.high).field("sigmaLn", d.sigmaLn);
}

QString mark(bool pass)
{
    return pass ? QStringLiteral("✓ 满足") : QStringLiteral("✗ 不满足");
}

} // namespace

QString sesameCriterionText(bool reliable, int index)
{
    static const char16_t *const reliableTexts[] = {
        u"f0 > 10 / 窗长",
        u"nc = 窗长 × 窗数 × f0 > 200",
        u"[f0/2, 2f0] 内 σA(f) < 2（f0≤0.5 Hz：3）",
    };
    static const char16_t *const clearTexts[] = {
        u"[f0/4, f0] 内有 A(f) < A0/2",
        u"[f0, 4f0] 内有 A(f) < A0/2",
        u"A0 > 2",
        u"A·σA 与 A/σA 的峰距 f0 在 5% 内",
        u"σf < ε(f0)",
        u"σA(f0) < θ(f0)",
    };
    if (reliable)
        return index >= 0 && index < 3 ? QString::fromUtf16(reliableTexts[index]) : QString();
    return index >= 0 && index < 6 ? QString::fromUtf16(clearTexts[index]) : QString();
}

std::string hvJson(const HvResult &r, const QStringList &files, const HvVelocitySource &vsSource)
{
    common::JsonWriter w;
    w.beginObject();
    w.key("files").beginArray();
    for (const QString &f : files)
        w.value(utf8(f));
    w.endArray();
    w.field("sampleInterval", r.sampleInterval);
    w.field("f0", r.f0).field("a0", r.a0).field("t0", r.t0).field("f0AtBandEdge", r.f0AtBandEdge);
    w.key("f0Windows").beginObject();
    w.field("median", r.f0Windows.median)
        .field("sigmaLn", r.f0Windows.sigmaLn)
        .field("sigmaHz", r.f0Windows.sigmaHz)
        .field("low", r.f0Windows.median * std::exp(-r.f0Windows.sigmaLn))
        .field("high", r.f0Windows.median * std::exp(r.f0Windows.sigmaLn))
        .field("t0Median", r.f0Windows.t0Median)
        .field("amplitudeMedian", r.f0Windows.amplitudeMedian)
        .field("count", r.f0Windows.count);
    w.endObject();

    w.key("windows").beginObject();
    w.field("count", int(r.windows.size()));
    w.field("used", r.usedCount());
    w.field("seconds", r.options.windowSeconds);
    w.key("rejected").beginArray();
    for (const HvWindow &win : r.windows) {
        if (win.used)
            continue;
        w.beginObject();
        w.field("index", win.index);
        w.field("start", win.startSeconds);
        const QStringList keys = rejectionKeys(win);
        w.field("reason", utf8(keys.join(QLatin1Char(';'))));
        w.field("text", utf8(rejectionText(win)));
        w.endObject();
    }
    w.endArray();
    // Windows kept by hand although the automatic rejection drops them.
    w.key("keptByHand").beginArray();
    for (const HvWindow &win : r.windows)
        if (win.manual == ManualMark::Keep)
            w.value(win.index);
    w.endArray();
    w.endObject();

    w.key("sesame").beginObject();
    w.key("reliable").beginArray();
    for (int i = 0; i < 3; ++i)
        writeCheck(w, r.sesame.reliable[std::size_t(i)], sesameCriterionText(true, i));
    w.endArray();
    w.key("clear").beginArray();
    for (int i = 0; i < 6; ++i)
        writeCheck(w, r.sesame.clear[std::size_t(i)], sesameCriterionText(false, i));
    w.endArray();
    w.field("isReliable", r.sesame.isReliable).field("isClear", r.sesame.isClear);
    w.field("clearPassed", r.sesame.clearPassed);
    w.endObject();

    w.key("peakRange").beginArray().value(r.peakBandLow()).value(r.peakBandHigh()).endArray();
    w.key("peaks").beginArray();
    for (const HvPeak &p : r.peaks) {
        w.beginObject();
        w.field("frequency", p.frequency).field("amplitude", p.amplitude).field("isF0", p.isF0);
        w.field("prominence", p.prominence).field("relativeWidth", p.relativeWidth);
        w.field("narrow", p.narrow).field("onVertical", p.onVertical).field("inEveryWindow", p.inEveryWindow);
        w.field("industrial", p.industrial);
        w.endObject();
    }
    w.endArray();

    if (r.depth) {
        w.key("depth").beginObject();
        writeDepth(w, *r.depth);
        w.field("vs", r.options.vs.value_or(0.0)).field("vsSigmaLn", r.options.vsSigmaLn);
        if (!vsSource.survey.isEmpty()) {
            w.field("vsSurvey", utf8(vsSource.survey));
            w.field("vsOverDepth", vsSource.overDepth);
        }
        w.endObject();
    }
    if (r.powerLawDepth && r.options.powerLaw) {
        const auto laws = publishedPowerLaws();
        const auto i = std::size_t(*r.options.powerLaw);
        w.key("powerLawDepth").beginObject();
        writeDepth(w, *r.powerLawDepth);
        if (i < laws.size())
            w.field("reference", utf8(laws[i].reference)).field("a", laws[i].a).field("b", laws[i].b);
        w.endObject();
    }

    const HvOptions &o = r.options;
    w.key("options").beginObject();
    w.field("window", o.windowSeconds).field("overlap", o.overlap).field("taper", o.taper);
    w.field("combine", utf8(combineName(o.combine)));
    if (o.combine == HorizontalCombine::Azimuth)
        w.field("azimuth", o.azimuthDegrees);
    w.field("smoothing", o.smoothing).field("points", o.points).field("fmin", o.fmin).field("fmax", o.fmax);
    w.field("antitrigger", utf8(antiTriggerName(o.antiTrigger)));
    w.field("sta", o.staSeconds).field("lta", o.ltaSeconds);
    w.key("ratio").beginArray().value(o.ratioMin).value(o.ratioMax).endArray();
    w.key("fdwra");
    if (o.fdwraN)
        w.value(*o.fdwraN);
    else
        w.null();
    w.endObject();

    w.key("warnings").beginArray();
    for (const QString &s : r.warnings)
        w.value(utf8(s));
    w.endArray();
    w.endObject();
    return w.text();
}

QString hvNumber(double v, int decimals)
{
    if (!std::isfinite(v))
        return QStringLiteral("—");
    return QString::number(v, 'f', decimals);
}

// Decimals that keep three significant figures for values around `v`.
QString hvThreeFigures(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("—");
    const double a = std::fabs(v);
    const int decimals = a >= 100 ? 0 : a >= 10 ? 1 : a >= 1 ? 2 : a >= 0.1 ? 3 : 4;
    return QString::number(v, 'f', decimals);
}

QString hvWindowCountLine(const HvResult &r, int decimals)
{
    const int used = r.usedCount();
    return QStringLiteral("窗口：%1 个（每个 %2 s），采用 %3 个，剔除 %4 个")
        .arg(r.windows.size())
        .arg(hvNumber(r.options.windowSeconds, decimals))
        .arg(used)
        .arg(int(r.windows.size()) - used);
}

QStringList hvTextReport(const HvResult &r, const HvVelocitySource &vsSource)
{
    QStringList lines;
    lines << hvWindowCountLine(r, 1);
    for (const HvWindow &w : r.windows) {
        if (!w.used)
            lines << QStringLiteral("  窗口 %1（%2 s 起）剔除：%3")
                         .arg(w.index)
                         .arg(hvNumber(w.startSeconds, 1), rejectionText(w));
        else if (w.manual == ManualMark::Keep && !rejectionText(w).isEmpty())
            lines << QStringLiteral("  窗口 %1（%2 s 起）%3")
                         .arg(w.index)
                         .arg(hvNumber(w.startSeconds, 1), rejectionText(w));
    }
    lines << QString();

    const WindowPeakStatistics &s = r.f0Windows;
    lines << QStringLiteral("f0（平均曲线的峰）：%1 Hz，A0 = %2，T0 = %3 s%4")
                 .arg(hvThreeFigures(r.f0), hvNumber(r.a0, 2), hvThreeFigures(r.t0),
                      r.f0AtBandEdge ? QStringLiteral("（频带内没有局部峰，取频带边缘的最大值）") : QString());
    lines << QStringLiteral("f0（各窗口峰的中值）：%1 Hz，σln = %2，16%～84%：%3～%4 Hz，T0 = %5 s（σln 相同）")
                 .arg(hvThreeFigures(s.median), hvNumber(s.sigmaLn, 3), hvThreeFigures(s.median * std::exp(-s.sigmaLn)),
                      hvThreeFigures(s.median * std::exp(s.sigmaLn)), hvThreeFigures(s.t0Median));
    lines << QStringLiteral("  平均曲线的 f0 取各窗口 H/V 曲线的对数平均曲线的最高峰；窗口 f0 取每个窗口自身的峰，"
                            "其对数正态中值和 σln 给出 f0 的不确定性。两者相差明显时，窗口间的峰不稳定。");
    lines << QString();

    lines << QStringLiteral("SESAME 判据（峰值搜索范围 %1～%2 Hz）：")
                 .arg(hvThreeFigures(r.peakBandLow()), hvThreeFigures(r.peakBandHigh()));
    lines << QStringLiteral("  可靠曲线（3 条全部满足）：%1")
                 .arg(r.sesame.isReliable ? QStringLiteral("可靠") : QStringLiteral("不可靠"));
    for (int i = 0; i < 3; ++i) {
        const SesameCheck &c = r.sesame.reliable[std::size_t(i)];
        lines << QStringLiteral("    %1. %2：值 %3，阈值 %4，%5")
                     .arg(i + 1)
                     .arg(sesameCriterionText(true, i), hvThreeFigures(c.value), hvThreeFigures(c.threshold),
                          mark(c.pass));
    }
    lines << QStringLiteral("  清晰峰（6 条至少满足 5 条）：%1（满足 %2 条）")
                 .arg(r.sesame.isClear ? QStringLiteral("清晰") : QStringLiteral("不清晰"))
                 .arg(r.sesame.clearPassed);
    for (int i = 0; i < 6; ++i) {
        const SesameCheck &c = r.sesame.clear[std::size_t(i)];
        lines << QStringLiteral("    %1. %2：值 %3，阈值 %4，%5")
                     .arg(i + 1)
                     .arg(sesameCriterionText(false, i), hvThreeFigures(c.value), hvThreeFigures(c.threshold),
                          mark(c.pass));
    }
    lines << QString();

    std::size_t ripples = 0;
    const std::vector<HvPeak> listed = listedPeaks(r.peaks, &ripples);
    lines << (ripples > 0 ? QStringLiteral("峰（%1 个；另有 %2 个幅值小于 %3 的小起伏未列出）：")
                                .arg(listed.size())
                                .arg(ripples)
                                .arg(hvNumber(kListedPeakAmplitude, 0))
                          : QStringLiteral("峰（%1 个）：").arg(listed.size()));
    for (const HvPeak &p : listed) {
        QStringList notes;
        if (p.isF0)
            notes << QStringLiteral("f0");
        if (p.industrial)
            notes << QStringLiteral("可能是工业干扰（窄于平滑窗、竖向也有、每个窗口都有）");
        lines << QStringLiteral("  %1 Hz，幅值 %2，突出比 %3%4")
                     .arg(hvThreeFigures(p.frequency), hvNumber(p.amplitude, 2), hvNumber(p.prominence, 2),
                          notes.isEmpty() ? QString() : QStringLiteral("（%1）").arg(notes.join(QStringLiteral("；"))));
    }

    if (r.depth) {
        lines << QString();
        const QString from = vsSource.survey.isEmpty() ? QStringLiteral("输入")
                                                       : QStringLiteral("测试文件 %1 的等效剪切波速（%2 m 以内）")
                                                             .arg(vsSource.survey, hvNumber(vsSource.overDepth, 1));
        lines << QStringLiteral("硬层深度 h = Vs / (4 f0)：%1 m（16%～84%：%2～%3 m），Vs = %4 m/s（%5），σln Vs = %6")
                     .arg(hvNumber(r.depth->h, 2), hvNumber(r.depth->low, 2), hvNumber(r.depth->high, 2),
                          hvNumber(r.options.vs.value_or(0.0), 1), from, hvNumber(r.options.vsSigmaLn, 3));
    }
    if (r.powerLawDepth && r.options.powerLaw) {
        const auto laws = publishedPowerLaws();
        const auto i = std::size_t(*r.options.powerLaw);
        if (i < laws.size())
            lines << QStringLiteral("硬层深度 h = %1 · f0^-%2（%3）：%4 m（16%～84%：%5～%6 m）")
                         .arg(hvNumber(laws[i].a, 1), hvNumber(laws[i].b, 3), laws[i].reference,
                              hvNumber(r.powerLawDepth->h, 2), hvNumber(r.powerLawDepth->low, 2),
                              hvNumber(r.powerLawDepth->high, 2));
    }
    if (!r.warnings.isEmpty()) {
        lines << QString();
        for (const QString &wline : r.warnings)
            lines << QStringLiteral("注意：%1").arg(wline);
    }
    return lines;
}

QByteArray hvCurveCsv(const HvResult &r)
{
    QByteArray out("frequency(Hz),mean H/V,mean/exp(sigma_ln),mean*exp(sigma_ln),H,V\n");
    const auto g = [](const std::vector<double> &v, std::size_t i) {
        return i < v.size() && std::isfinite(v[i]) ? QByteArray::number(v[i], 'g', 8) : QByteArray();
    };
    for (std::size_t i = 0; i < r.frequencies.size(); ++i) {
        out += QByteArray::number(r.frequencies[i], 'g', 8);
        for (const auto *v : {&r.mean, &r.lower, &r.upper, &r.meanHorizontal, &r.meanVertical}) {
            out += ',';
            out += g(*v, i);
        }
        out += '\n';
    }
    return out;
}

} // namespace sedra
