#include "sedra/cli/hvcommand.h"

#include "common/fileio.h"
#include "common/messenger.h"
#include "sedra/core/hvexport.h"
#include "sedra/core/threecomponentreader.h"
#include "sedra/render/hvpainter.h"
// The one use of talvex in SEDRA: the equivalent shear-wave velocity of a
// survey, computed by talvex itself (docs/architecture.md).
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/siteuncertainty.h"
#include "talvex/survey/surveydata.h"
#include "talvex/survey/surveyfile.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <cstdio>

namespace sedra {

namespace {

using cli::Args;
using cli::Failure;

void out(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

Failure usage(const QString &text)
{
    return Failure(text, cli::kExitUsage);
}

double parseReal(const QString &text, const QString &option)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw usage(QStringLiteral("--%1 的值“%2”不是数").arg(option, text));
    return v;
}

std::optional<double> realOption(const Args &p, const QString &name)
{
    if (!p.has(name))
        return std::nullopt;
    return parseReal(p.textOr(name, QString()), name);
}

// "LO,HI" as two numbers.
std::optional<std::pair<double, double>> pairOption(const Args &p, const QString &name)
{
    if (!p.has(name))
        return std::nullopt;
    const QString text = p.textOr(name, QString());
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        throw usage(QStringLiteral("--%1 的值“%2”应为两个用逗号分开的数，如 0.5,10").arg(name, text));
    return std::pair{parseReal(parts[0], name), parseReal(parts[1], name)};
}

// The options of the command line; a wrong one is a usage error.
HvOptions optionsFrom(const Args &p)
{
    HvOptions o;
    if (auto v = realOption(p, QStringLiteral("window")))
        o.windowSeconds = *v;
    if (auto v = realOption(p, QStringLiteral("overlap")))
        o.overlap = *v;
    if (auto v = realOption(p, QStringLiteral("taper")))
        o.taper = *v;
    if (auto v = realOption(p, QStringLiteral("smoothing")))
        o.smoothing = *v;
    if (p.has(QStringLiteral("points")))
        o.points
            = cli::parseIntegerIn(p.textOr(QStringLiteral("points"), QString()), QStringLiteral("--points"), 2, 100000);
    if (auto v = realOption(p, QStringLiteral("fmin")))
        o.fmin = *v;
    if (auto v = realOption(p, QStringLiteral("fmax")))
        o.fmax = *v;
    if (p.has(QStringLiteral("combine"))) {
        const QString name = p.textOr(QStringLiteral("combine"), QString());
        const auto c = combineFromName(name);
        if (!c || *c == HorizontalCombine::Azimuth)
            throw usage(QStringLiteral("--combine 的值“%1”无效（应为 geometric、squared、arithmetic、energy、max 或 "
                                       "rotd50；单一方位用 --azimuth）")
                            .arg(name));
        o.combine = *c;
    }
    if (auto v = realOption(p, QStringLiteral("azimuth"))) {
        if (p.has(QStringLiteral("combine")))
            throw usage(QStringLiteral("--azimuth 和 --combine 不能同时使用"));
        o.combine = HorizontalCombine::Azimuth;
        o.azimuthDegrees = *v;
    }
    if (p.has(QStringLiteral("antitrigger"))) {
        const QString name = p.textOr(QStringLiteral("antitrigger"), QString());
        const auto m = antiTriggerFromName(name);
        if (!m)
            throw usage(QStringLiteral("--antitrigger 的值“%1”无效（应为 adaptive、fixed 或 off）").arg(name));
        o.antiTrigger = *m;
    }
    if (auto v = realOption(p, QStringLiteral("sta")))
        o.staSeconds = *v;
    if (auto v = realOption(p, QStringLiteral("lta")))
        o.ltaSeconds = *v;
    if (auto r = pairOption(p, QStringLiteral("ratio"))) {
        o.ratioMin = r->first;
        o.ratioMax = r->second;
    }
    if (p.has(QStringLiteral("fdwra"))) {
        const QString text = p.textOr(QStringLiteral("fdwra"), QString());
        if (text == QStringLiteral("off"))
            o.fdwraN.reset();
        else
            o.fdwraN = parseReal(text, QStringLiteral("fdwra"));
    }
    if (auto r = pairOption(p, QStringLiteral("peak-range"))) {
        o.peakMin = r->first;
        o.peakMax = r->second;
    }
    if (auto v = realOption(p, QStringLiteral("vs")))
        o.vs = *v;
    if (auto v = realOption(p, QStringLiteral("vs-sigma-ln")))
        o.vsSigmaLn = *v;
    if (p.has(QStringLiteral("power-law")))
        o.powerLaw = cli::parseIntegerIn(p.textOr(QStringLiteral("power-law"), QString()),
                                         QStringLiteral("--power-law"), 1, int(publishedPowerLaws().size()))
            - 1;
    if (p.has(QStringLiteral("vs")) && p.has(QStringLiteral("survey")))
        throw usage(QStringLiteral("--vs 和 --survey 不能同时使用"));
    // Everything that does not depend on the record is checked now, with an
    // interval fine enough that no record-dependent limit applies.
    const QString problem = hvOptionsProblem(o, 1e-6);
    if (!problem.isEmpty())
        throw usage(problem);
    return o;
}

ThreeComponentReadOptions readOptionsFrom(const Args &p)
{
    ThreeComponentReadOptions r;
    if (auto dt = realOption(p, QStringLiteral("dt"))) {
        if (!(*dt > 0))
            throw usage(QStringLiteral("--dt 必须大于 0 秒"));
        r.sampleInterval = *dt;
    }
    if (p.has(QStringLiteral("channels"))) {
        const QString text = p.textOr(QStringLiteral("channels"), QString());
        const QStringList parts = text.split(QLatin1Char(','));
        if (parts.size() != 3)
            throw usage(QStringLiteral("--channels 的值“%1”应为三个用逗号分开的道号，如 1,2,3").arg(text));
        for (int i = 0; i < 3; ++i)
            r.channels[std::size_t(i)] = cli::parseIntegerIn(parts[i], QStringLiteral("--channels"), 1, 16);
    }
    return r;
}

// The equivalent shear-wave velocity of a talvex survey, with its sigma_ln
// from the survey's 16 and 84 % bounds where they are known.
HvVelocitySource velocityFromSurvey(const QString &path, HvOptions &o)
{
    // Whatever the loader has to say goes into the refusal, not into the
    // output (which may be JSON).
    common::RecordingMessenger messenger;
    talvex::SurveyData survey;
    if (!QFileInfo::exists(path))
        throw Failure(QStringLiteral("测试文件 %1 不存在").arg(QDir::toNativeSeparators(path)));
    if (!talvex::LoadSurvey(survey, path, messenger))
        throw Failure(QStringLiteral("不能打开测试文件 %1%2")
                          .arg(QDir::toNativeSeparators(path),
                               messenger.messages.isEmpty()
                                   ? QString()
                                   : QStringLiteral("：") + messenger.messages.join(QStringLiteral("；"))));
    const talvex::SiteClassification site = talvex::ClassifySiteWithBounds(survey);
    if (!site.ok())
        throw Failure(
            QStringLiteral("测试文件 %1 不能给出等效剪切波速：%2").arg(QDir::toNativeSeparators(path), site.problem));
    if (!(site.vse > 0.0f))
        throw Failure(QStringLiteral("测试文件 %1 的测点在基岩上（覆盖层厚度为 0），没有等效剪切波速")
                          .arg(QDir::toNativeSeparators(path)));
    o.vs = double(site.vse);
    // A sigma_ln typed in wins; else half the log width of the 16-84 % range.
    if (o.vsSigmaLn == 0.0 && site.bounds && site.bounds->vse.known() && site.bounds->vse.low > 0.0f)
        o.vsSigmaLn = 0.5 * std::log(double(site.bounds->vse.high) / double(site.bounds->vse.low));
    return {path, double(site.d0)};
}

int runHv(const Args &p)
{
    HvOptions options = optionsFrom(p);
    const ThreeComponentReadOptions readOptions = readOptionsFrom(p);
    const QStringList files = p.words();
    if (files.size() == 2)
        throw usage(QStringLiteral("应给一个文件（含三个分量）或三个文件（每个分量一个），而不是两个"));

    const ThreeComponentReadResult read = readThreeComponent(files, readOptions);
    if (!read.ok())
        throw Failure(read.error);
    const ThreeComponentRecord &record = read.record;
    HvVelocitySource vsSource;
    if (p.has(QStringLiteral("survey")))
        vsSource = velocityFromSurvey(p.textOr(QStringLiteral("survey"), QString()), options);

    const QString problem = hvOptionsProblem(options, record.sampleInterval);
    if (!problem.isEmpty())
        throw Failure(QStringLiteral("%1：%2").arg(record.source, problem));
    const HvResult result = analyseHv(record, options);
    if (!result.ok())
        throw Failure(QStringLiteral("%1：%2").arg(record.source, result.error));

    // Everything is worked out before anything is written; each file is
    // written whole or not at all.
    if (p.has(QStringLiteral("curve"))) {
        const QString path = p.textOr(QStringLiteral("curve"), QString());
        const common::FileError w = common::writeFileAtomically(path, hvCurveCsv(result));
        if (!w.ok)
            throw Failure(QStringLiteral("不能写入 %1：%2").arg(QDir::toNativeSeparators(path), w.message));
    }
    if (p.has(QStringLiteral("pdf"))) {
        const QString path = p.textOr(QStringLiteral("pdf"), QString());
        QString error;
        const QString title = QStringLiteral("H/V 谱比分析 %1").arg(record.station);
        if (!HvPainter::writePdf(record, result, title.trimmed(), path, &error))
            throw Failure(QStringLiteral("不能写入 %1：%2").arg(QDir::toNativeSeparators(path), error));
    }
    if (p.flag(QStringLiteral("json"))) {
        const std::string text = hvJson(result, files, vsSource);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
        return cli::kExitOk;
    }
    out(QStringLiteral("%1：采样间隔 %2 s，%3 个采样（%4 s）")
            .arg(record.source)
            .arg(record.sampleInterval)
            .arg(record.sampleCount())
            .arg(record.duration(), 0, 'f', 1));
    for (const QString &line : hvTextReport(result, vsSource))
        out(line);
    return cli::kExitOk;
}

} // namespace

void addHvCommand(std::vector<cli::Command> &commands)
{
    QStringList laws;
    const auto list = publishedPowerLaws();
    for (std::size_t i = 0; i < list.size(); ++i)
        laws << QStringLiteral("%1 = %2（h = %3·f0^-%4）")
                    .arg(i + 1)
                    .arg(list[i].reference)
                    .arg(list[i].a)
                    .arg(list[i].b);
    commands.push_back(
        {QStringLiteral("hv"),
         QStringLiteral("hv FILE... [选项] [--json] [--curve OUT.csv] [--pdf OUT.pdf]"),
         QStringLiteral("三分量记录的 H/V 谱比：f0、A0、T0、窗口剔除、SESAME 判据、峰和硬层深度。"),
         QStringLiteral(
             "FILE 为一个含三个分量的文件，或每个分量一个文件（共三个）：miniSEED、SAC、SEG-2、.cwd 记录，"
             "或三列（N E Z）文本（# 开头为注释行，采样间隔由 --dt 或注释“dt = 0.01”给出）。\n"
             "分窗、线性去趋势、Tukey 锥形窗后求振幅谱，水平分量合成后与竖向分量分别做 Konno-Ohmachi 平滑，"
             "逐窗求 H/V。窗口剔除依次为 STA/LTA 反触发、频域剔除（Cox 等，2020）。\n"
             "输出平均曲线（各窗口曲线的对数平均）的 f0，以及各窗口峰值的对数正态中值和 σln，二者并列说明。\n"
             "有 --vs 或 --survey 时按 h = Vs/(4 f0) 估算硬层深度，给出 16%～84% 范围。\n"
             "不能读取的文件、与记录不相容的参数：退出码 1，不写任何文件。"),
         {{QStringLiteral("window"), QStringLiteral("S"), QStringLiteral("窗口长度，单位 s。默认：60。")},
          {QStringLiteral("overlap"), QStringLiteral("F"), QStringLiteral("相邻窗口重叠的比例，0 到 0.95。默认：0。")},
          {QStringLiteral("taper"), QStringLiteral("A"),
           QStringLiteral("Tukey 锥形窗的比例（两端合计），0 到 1。默认：0.1。")},
          {QStringLiteral("combine"), QStringLiteral("NAME"),
           QStringLiteral("水平分量合成：geometric（几何平均）、squared（平方平均）、arithmetic（算术平均）、"
                          "energy（总能量）、max（最大值）或 rotd50。默认：geometric。")},
          {QStringLiteral("azimuth"), QStringLiteral("DEG"),
           QStringLiteral("只用一个方位的水平分量（自北顺时针，单位 度，在时域旋转）。默认：不用。")},
          {QStringLiteral("smoothing"), QStringLiteral("B"), QStringLiteral("Konno-Ohmachi 平滑系数 b。默认：40。")},
          {QStringLiteral("points"), QStringLiteral("N"),
           QStringLiteral("对数频率网格的点数，2 到 100000。默认：200。")},
          {QStringLiteral("fmin"), QStringLiteral("F"), QStringLiteral("网格最低频率，单位 Hz。默认：0.2。")},
          {QStringLiteral("fmax"), QStringLiteral("F"),
           QStringLiteral("网格最高频率，单位 Hz，须低于奈奎斯特频率。默认：20。")},
          {QStringLiteral("antitrigger"), QStringLiteral("MODE"),
           QStringLiteral("STA/LTA 反触发：adaptive（比值范围随记录自身的离散度放宽）、fixed（按 --ratio）或 "
                          "off。默认：adaptive。")},
          {QStringLiteral("sta"), QStringLiteral("S"), QStringLiteral("短时窗长度，单位 s。默认：1。")},
          {QStringLiteral("lta"), QStringLiteral("S"), QStringLiteral("长时窗长度，单位 s。默认：30。")},
          {QStringLiteral("ratio"), QStringLiteral("MIN,MAX"),
           QStringLiteral("STA/LTA 比值的允许范围。默认：0.2,2.5。")},
          {QStringLiteral("fdwra"), QStringLiteral("N|off"),
           QStringLiteral("频域剔除：窗口峰值在 exp(平均 ln f0 ± N σln) 之外的窗口剔除，反复至不再变化；off "
                          "关闭。默认：2。")},
          {QStringLiteral("peak-range"), QStringLiteral("LO,HI"),
           QStringLiteral("搜索 f0 和峰的频带，单位 Hz。默认：整个网格。")},
          {QStringLiteral("vs"), QStringLiteral("V"),
           QStringLiteral("覆盖层剪切波速，单位 m/s，用于硬层深度。默认：不估算深度。")},
          {QStringLiteral("vs-sigma-ln"), QStringLiteral("S"),
           QStringLiteral("剪切波速的对数标准差 σln。默认：0（用 --survey 时取测试文件的 16%～84% 范围）。")},
          {QStringLiteral("survey"), QStringLiteral("FILE.qsw"),
           QStringLiteral("从波速测试文件取等效剪切波速 vse（覆盖层厚度与 20 m 中的小者以内）作为 Vs。默认：不用。")},
          {QStringLiteral("power-law"), QStringLiteral("K"),
           QStringLiteral("另按发表的经验关系 h = a·f0^-b 估算深度：%1。默认：不用。")
               .arg(laws.join(QStringLiteral("；")))},
          {QStringLiteral("dt"), QStringLiteral("S"),
           QStringLiteral("文本记录的采样间隔，单位 s（优先于文件中的“dt =”注释）。默认：读注释。")},
          {QStringLiteral("channels"), QStringLiteral("N,E,Z"),
           QStringLiteral(".cwd 记录或 SEG-2 文件中作为北、东、竖直分量的道号。默认：1,2,3。")},
          {QStringLiteral("json"), QString(),
           QStringLiteral("以一个 JSON 对象输出（频率单位 Hz，周期单位 s，深度单位 m；窗口序号从 0 起）。")},
          {QStringLiteral("curve"), QStringLiteral("OUT.csv"),
           QStringLiteral("把曲线写成 CSV：频率、平均 H/V、平均/exp(σ)、平均×exp(σ)、H、V。默认：不写。")},
          {QStringLiteral("pdf"), QStringLiteral("OUT.pdf"),
           QStringLiteral("把 H/V 页面写成 A4 PDF（窗口、曲线、SESAME 表、f0/T0/A0、深度）。默认：不写。")}},
         1,
         3,
         runHv,
         // Drawn only for --pdf, but the program decides before parsing.
         true,
         {{QStringLiteral("FILE"), QStringLiteral("三分量记录：一个文件，或每个分量一个文件")}}});
}

} // namespace sedra
