// talvex-samplegen: writes synthetic downhole field records from a layered
// velocity model, for demonstrations and tests.

#include "tools/samplegen/syntheticsurvey.h"

#include "common/cli/program.h"
#include "common/qttranslations.h"

#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr int kExitOk = 0;

const QString kProgram = QStringLiteral("talvex-samplegen");

void print(const QString &text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
}

// Every option with its meaning, unit and default: the parser and the help
// are made from this one list.
std::vector<cli::OptionSpec> options()
{
    const samplegen::SurveyModel d = samplegen::defaultModel();
    QStringList layers;
    for (const samplegen::ModelLayer &l : d.layers)
        layers << QStringLiteral("%1:%2:%3:%4").arg(l.top).arg(l.bottom).arg(l.vs).arg(l.vp);
    return {
        {QStringLiteral("out"), QStringLiteral("FOLDER"),
         QStringLiteral("写入记录的文件夹,不存在时创建;同名文件被覆盖;必须给出")},
        {QStringLiteral("hole"), QStringLiteral("NAME"),
         QStringLiteral("孔号,写入记录头,也是每个文件名的开头;默认 %1").arg(QString::fromStdString(d.holeName))},
        {QStringLiteral("site"), QStringLiteral("NAME"),
         QStringLiteral("工程名,写入记录头;默认 %1").arg(QString::fromStdString(d.siteName))},
        {QStringLiteral("depth"), QStringLiteral("M"),
         QStringLiteral("孔深,单位 m,不超过 %1;默认 %2").arg(samplegen::kMaxHoleDepth).arg(d.holeDepth)},
        {QStringLiteral("spacing"), QStringLiteral("M"),
         QStringLiteral("测点间距,单位 m,测点在间距的整数倍处;默认 %1。\n"
                        "文件名只记整米深度,各测点的整米深度必须不同")
             .arg(d.pointSpacing)},
        {QStringLiteral("source-distance"), QStringLiteral("M"),
         QStringLiteral("震源到孔口的水平距离,单位 m;默认 %1").arg(d.sourceDistance)},
        {QStringLiteral("interval"), QStringLiteral("US"),
         QStringLiteral("采样间隔,单位 µs,1 … 65535;默认 %1").arg(d.interval)},
        {QStringLiteral("channels"), QStringLiteral("N"),
         QStringLiteral("每个记录的通道数,1 … 4;默认 %1").arg(d.channels)},
        {QStringLiteral("seed"), QStringLiteral("N"),
         QStringLiteral("噪声的随机种子,0 … 4294967295;默认 %1").arg(d.seed)},
        {QStringLiteral("snr"), QStringLiteral("R"),
         QStringLiteral("信噪比:每道 S 波的最大绝对振幅与所加噪声的均方根之比,0 … 100000;\n"
                        "0 或不给时噪声固定为 30 个计数(均方根)")},
        {QStringLiteral("model"), QStringLiteral("TOP:BOTTOM:VS:VP,..."),
         QStringLiteral("分层速度模型:每层的顶深、底深(m)、剪切波速、压缩波速(m/s),\n"
                        "从 0 m 起一层接一层,覆盖到孔深;默认 %1")
             .arg(layers.join(u','))},
        {QStringLiteral("arrivals"), QString(), QStringLiteral("另外逐个测点打印测点号和 S 波初至所在的采样点")},
    };
}

cli::Failure wrongCommandLine(const QString &error)
{
    return cli::Failure(error, cli::kExitUsage);
}

// A number of the command line, or nothing when the text is not a finite number.
std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<std::vector<samplegen::ModelLayer>> parseModel(const QString &text)
{
    std::vector<samplegen::ModelLayer> layers;
    for (const QString &layer : text.split(u',')) {
        const QStringList parts = layer.split(u':');
        if (parts.size() != 4)
            return std::nullopt;
        double f[4] = {};
        for (int k = 0; k < 4; ++k) {
            const auto v = number(parts[k]);
            if (!v)
                return std::nullopt;
            f[k] = *v;
        }
        layers.push_back({float(f[0]), float(f[1]), float(f[2]), float(f[3])});
    }
    return layers;
}

int run(const cli::Args &parser)
{
    if (!parser.has(QStringLiteral("out")) || parser.textOr(QStringLiteral("out"), QString()).isEmpty())
        throw wrongCommandLine(QStringLiteral("缺少 --out FOLDER(写入记录的文件夹)"));

    samplegen::SurveyModel model = samplegen::defaultModel();
    struct NumericOption {
        const char *name;
        double minimum;
        double maximum;
        bool whole;
        std::function<void(double)> store;
    };
    const NumericOption numerics[] = {
        {"depth", 0.0, samplegen::kMaxHoleDepth, false, [&](double v) { model.holeDepth = float(v); }},
        {"spacing", 0.0, samplegen::kMaxHoleDepth, false, [&](double v) { model.pointSpacing = float(v); }},
        {"source-distance", 0.0, 10000.0, false, [&](double v) { model.sourceDistance = float(v); }},
        {"interval", 1.0, 65535.0, true, [&](double v) { model.interval = std::uint16_t(v); }},
        {"channels", 1.0, 4.0, true, [&](double v) { model.channels = int(v); }},
        {"seed", 0.0, 4294967295.0, true, [&](double v) { model.seed = std::uint32_t(v); }},
        {"snr", 0.0, 100000.0, false, [&](double v) { model.signalToNoise = v; }},
    };
    for (const NumericOption &o : numerics) {
        const QString key = QLatin1String(o.name);
        if (!parser.has(key))
            continue;
        const auto v = number(parser.textOr(key, QString()));
        if (!v || *v < o.minimum || *v > o.maximum || (o.whole && *v != std::floor(*v)))
            throw wrongCommandLine(QStringLiteral("--%1 应为 %2 … %3 的%4,不是 \"%5\"")
                                       .arg(key)
                                       .arg(o.minimum, 0, 'g', 10)
                                       .arg(o.maximum, 0, 'g', 10)
                                       .arg(o.whole ? QStringLiteral("整数") : QStringLiteral("数"))
                                       .arg(parser.textOr(key, QString())));
        o.store(*v);
    }
    if (parser.has(QStringLiteral("hole")))
        model.holeName = parser.textOr(QStringLiteral("hole"), QString()).toStdString();
    if (parser.has(QStringLiteral("site")))
        model.siteName = parser.textOr(QStringLiteral("site"), QString()).toStdString();
    if (parser.has(QStringLiteral("model"))) {
        const auto layers = parseModel(parser.textOr(QStringLiteral("model"), QString()));
        if (!layers)
            throw wrongCommandLine(QStringLiteral("--model 应写作 TOP:BOTTOM:VS:VP,...,如 0:5:150:400,5:20:250:600"));
        model.layers = *layers;
    }
    // Values that are numbers but do not make a survey (a spacing whose
    // depths collide in a file name, a model that stops above the hole
    // bottom) are refused before anything is written.
    if (const QString problem = samplegen::checkModel(model); !problem.isEmpty())
        throw wrongCommandLine(problem);

    const QString out = parser.textOr(QStringLiteral("out"), QString());
    QString error;
    const int n = samplegen::writeRecords(model, out, &error);
    if (n < 0)
        throw cli::Failure(error);
    print(QStringLiteral("已写 %1 个记录文件到 %2").arg(n).arg(out));
    if (parser.has(QStringLiteral("arrivals"))) {
        int point = 0;
        for (const double depth : samplegen::receiverDepths(model))
            std::printf("%d %d\n", ++point, samplegen::arrivalSample(model, depth));
    }
    return kExitOk;
}

} // namespace

int main(int argc, char **argv)
{
    cli::Command command;
    command.synopsis = QStringLiteral("--out FOLDER [选项]");
    command.summary = QStringLiteral("按分层速度模型生成单孔剪切波测试的模拟现场记录:每个测点一对文件\n"
                                     "<孔号>&<整米深度>A.cwd(正向锤击)和 B.cwd(反向锤击)。默认是一个 20 m 深的孔,\n"
                                     "每米一个测点,共 40 个文件。第一行输出写入的文件数。");
    command.options = options();
    command.run = run;
    const cli::Program program(kProgram, QStringLiteral(PROJECT_VERSION), {command}, cli::Program::Punctuation::Ascii);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    common::installQtTranslations(app);
    return program.run(argc, argv);
}
