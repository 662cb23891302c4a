// talvex-samplegen: writes synthetic downhole field records from a layered
// velocity model, for demonstrations and tests.

#include "tools/samplegen/syntheticsurvey.h"

#include "common/qttranslations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSet>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const QString kProgram = QStringLiteral("talvex-samplegen");

void print(const QString &text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
}

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

struct OptionText {
    const char *name;
    const char *valueName; // nullptr: a flag
    QString meaning;
};

// Every option with its meaning, unit and default: the parser and the help
// are made from this one list.
QList<OptionText> optionTexts()
{
    const samplegen::SurveyModel d = samplegen::defaultModel();
    QStringList layers;
    for (const samplegen::ModelLayer &l : d.layers)
        layers << QStringLiteral("%1:%2:%3:%4").arg(l.top).arg(l.bottom).arg(l.vs).arg(l.vp);
    return {
        {"out", "FOLDER", QStringLiteral("写入记录的文件夹,不存在时创建;同名文件被覆盖;必须给出")},
        {"hole", "NAME",
         QStringLiteral("孔号,写入记录头,也是每个文件名的开头;默认 %1").arg(QString::fromStdString(d.holeName))},
        {"site", "NAME", QStringLiteral("工程名,写入记录头;默认 %1").arg(QString::fromStdString(d.siteName))},
        {"depth", "M", QStringLiteral("孔深,单位 m,不超过 %1;默认 %2").arg(samplegen::kMaxHoleDepth).arg(d.holeDepth)},
        {"spacing", "M",
         QStringLiteral("测点间距,单位 m,测点在间距的整数倍处;默认 %1。\n"
                        "文件名只记整米深度,各测点的整米深度必须不同")
             .arg(d.pointSpacing)},
        {"source-distance", "M", QStringLiteral("震源到孔口的水平距离,单位 m;默认 %1").arg(d.sourceDistance)},
        {"interval", "US", QStringLiteral("采样间隔,单位 µs,1 … 65535;默认 %1").arg(d.interval)},
        {"channels", "N", QStringLiteral("每个记录的通道数,1 … 4;默认 %1").arg(d.channels)},
        {"seed", "N", QStringLiteral("噪声的随机种子,0 … 4294967295;默认 %1").arg(d.seed)},
        {"snr", "R",
         QStringLiteral("信噪比:每道 S 波的最大绝对振幅与所加噪声的均方根之比,0 … 100000;\n"
                        "0 或不给时噪声固定为 30 个计数(均方根)")},
        {"model", "TOP:BOTTOM:VS:VP,...",
         QStringLiteral("分层速度模型:每层的顶深、底深(m)、剪切波速、压缩波速(m/s),\n"
                        "从 0 m 起一层接一层,覆盖到孔深;默认 %1")
             .arg(layers.join(u','))},
        {"arrivals", nullptr, QStringLiteral("另外逐个测点打印测点号和 S 波初至所在的采样点")},
    };
}

QString helpText()
{
    QString text = QStringLiteral("用法: talvex-samplegen --out FOLDER [选项]\n"
                                  "\n"
                                  "按分层速度模型生成单孔剪切波测试的模拟现场记录:每个测点一对文件\n"
                                  "<孔号>&<整米深度>A.cwd(正向锤击)和 B.cwd(反向锤击)。默认是一个 20 m 深的孔,\n"
                                  "每米一个测点,共 40 个文件。第一行输出写入的文件数。\n"
                                  "\n选项:\n");
    QList<std::pair<QString, QString>> rows;
    for (const OptionText &o : optionTexts()) {
        QString label = QStringLiteral("--") + QLatin1String(o.name);
        if (o.valueName)
            label += u' ' + QLatin1String(o.valueName);
        rows.append({label, o.meaning});
    }
    rows.append({QStringLiteral("-h, --help"), QStringLiteral("显示本帮助")});
    rows.append({QStringLiteral("--version"), QStringLiteral("显示版本号")});
    qsizetype width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.first.size());
    for (const auto &[label, meaning] : rows) {
        QString m = meaning;
        m.replace(u'\n', u'\n' + QString(width + 4, u' '));
        text += QStringLiteral("  ") + label.leftJustified(width + 2) + m + u'\n';
    }
    text += QStringLiteral("\n选项的值可写作 --选项 值 或 --选项=值。\n"
                           "退出状态: 0 完成, 1 操作被拒绝或失败, 2 命令行有误。");
    return text;
}

int wrongCommandLine(const QString &error)
{
    printError(kProgram + QStringLiteral(": ") + error);
    printError(QStringLiteral("用 %1 --help 查看用法。").arg(kProgram));
    return kExitUsage;
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    common::installQtTranslations(app);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    for (const OptionText &o : optionTexts()) {
        if (o.valueName)
            parser.addOption(QCommandLineOption(QLatin1String(o.name), o.meaning, QLatin1String(o.valueName)));
        else
            parser.addOption(QCommandLineOption(QLatin1String(o.name), o.meaning));
    }
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (!parser.unknownOptionNames().isEmpty())
        return wrongCommandLine(QStringLiteral("未知的选项 --%1").arg(parser.unknownOptionNames().first()));
    if (!parsed)
        return wrongCommandLine(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        print(helpText());
        return kExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        print(kProgram + u' ' + QStringLiteral(PROJECT_VERSION));
        return kExitOk;
    }
    QSet<QString> seen;
    for (const QString &name : parser.optionNames()) {
        if (seen.contains(name))
            return wrongCommandLine(QStringLiteral("选项 --%1 只能给一次").arg(name));
        seen.insert(name);
    }
    if (!parser.positionalArguments().isEmpty())
        return wrongCommandLine(QStringLiteral("多余的参数 \"%1\"").arg(parser.positionalArguments().first()));
    if (!parser.isSet(QStringLiteral("out")) || parser.value(QStringLiteral("out")).isEmpty())
        return wrongCommandLine(QStringLiteral("缺少 --out FOLDER(写入记录的文件夹)"));

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
        if (!parser.isSet(key))
            continue;
        const auto v = number(parser.value(key));
        if (!v || *v < o.minimum || *v > o.maximum || (o.whole && *v != std::floor(*v)))
            return wrongCommandLine(QStringLiteral("--%1 应为 %2 … %3 的%4,不是 \"%5\"")
                                        .arg(key)
                                        .arg(o.minimum, 0, 'g', 10)
                                        .arg(o.maximum, 0, 'g', 10)
                                        .arg(o.whole ? QStringLiteral("整数") : QStringLiteral("数"))
                                        .arg(parser.value(key)));
        o.store(*v);
    }
    if (parser.isSet(QStringLiteral("hole")))
        model.holeName = parser.value(QStringLiteral("hole")).toStdString();
    if (parser.isSet(QStringLiteral("site")))
        model.siteName = parser.value(QStringLiteral("site")).toStdString();
    if (parser.isSet(QStringLiteral("model"))) {
        const auto layers = parseModel(parser.value(QStringLiteral("model")));
        if (!layers)
            return wrongCommandLine(QStringLiteral("--model 应写作 TOP:BOTTOM:VS:VP,...,如 0:5:150:400,5:20:250:600"));
        model.layers = *layers;
    }
    // Values that are numbers but do not make a survey (a spacing whose
    // depths collide in a file name, a model that stops above the hole
    // bottom) are refused before anything is written.
    if (const QString problem = samplegen::checkModel(model); !problem.isEmpty())
        return wrongCommandLine(problem);

    const QString out = parser.value(QStringLiteral("out"));
    QString error;
    const int n = samplegen::writeRecords(model, out, &error);
    if (n < 0) {
        printError(kProgram + QStringLiteral(": ") + error);
        return kExitFailed;
    }
    print(QStringLiteral("已写 %1 个记录文件到 %2").arg(n).arg(out));
    if (parser.isSet(QStringLiteral("arrivals"))) {
        int point = 0;
        for (const double depth : samplegen::receiverDepths(model))
            std::printf("%d %d\n", ++point, samplegen::arrivalSample(model, depth));
    }
    return kExitOk;
}
