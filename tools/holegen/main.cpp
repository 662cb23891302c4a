// talvex-holegen: writes the records of an independently generated hole
// (tools/holegen) and the true S-wave onset of every point, for checking the
// arrival suggestions through the same import a user's records take.

#include "common/cli/program.h"
#include "common/fixedtext.h"
#include "tools/holegen/holegen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kExitOk = 0;

cli::Failure usage(const QString &text)
{
    return cli::Failure(text, cli::kExitUsage);
}

// An integer option within [low, high], `fallback` when it is not given.
long long whole(const cli::Args &parser, const QString &name, long long fallback, long long low, long long high)
{
    if (!parser.has(name))
        return fallback;
    const QString text = parser.textOr(name, QString());
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    if (!ok || v < low || v > high)
        throw usage(QStringLiteral("--%1 应为 %2 … %3 的整数，不能是 \"%4\"").arg(name).arg(low).arg(high).arg(text));
    return v;
}

std::vector<cli::OptionSpec> options()
{
    return {
        {QStringLiteral("out"), QStringLiteral("FOLDER"), QStringLiteral("写入记录的文件夹（必须给出）")},
        {QStringLiteral("hole"), QStringLiteral("NAME"), QStringLiteral("孔号，文件名的开头；默认 HG1")},
        {QStringLiteral("seed"), QStringLiteral("N"), QStringLiteral("随机种子；默认 1")},
        {QStringLiteral("points"), QStringLiteral("N"), QStringLiteral("测点数，1 … 500，每米一个；默认 30")},
        {QStringLiteral("snr"), QStringLiteral("R"),
         QStringLiteral("信噪比（S 波峰值 / 噪声均方根），0 不加噪声；默认 10")},
        {QStringLiteral("channels"), QStringLiteral("N"), QStringLiteral("每个记录的通道数，1 … 4；默认 3")},
        {QStringLiteral("channel"), QStringLiteral("K"),
         QStringLiteral("导入时取的通道（1 起），信噪比按这个通道算；默认 1")},
    };
}

int run(const cli::Args &parser)
{
    const QString folder = parser.textOr(QStringLiteral("out"), QString());
    if (folder.isEmpty())
        throw usage(QStringLiteral("要用 --out 给出写入记录的文件夹"));
    const QString hole
        = parser.has(QStringLiteral("hole")) ? parser.textOr(QStringLiteral("hole"), QString()) : QStringLiteral("HG1");
    if (hole.isEmpty() || hole.contains(u'/') || hole.contains(u'\\') || hole.size() > 39
        || hole.toLatin1() != hole.toUtf8())
        throw usage(QStringLiteral("孔号 \"%1\" 只能由不超过 39 个英文字母、数字等组成，不能含路径符号").arg(hole));
    const auto seed = whole(parser, QStringLiteral("seed"), 1, 0, 4294967295LL);
    const auto points = whole(parser, QStringLiteral("points"), 30, 1, 500);
    const auto channels = whole(parser, QStringLiteral("channels"), 3, 1, 4);
    const auto channel = whole(parser, QStringLiteral("channel"), 1, 1, 4);
    if (channel > channels)
        throw usage(QStringLiteral("--channel %1 超出了通道数 %2").arg(channel).arg(channels));
    double snr = 10.0;
    if (parser.has(QStringLiteral("snr"))) {
        bool ok = false;
        snr = parser.textOr(QStringLiteral("snr"), QString()).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(snr) || snr < 0.0 || snr > 100000.0)
            throw usage(QStringLiteral("--snr 应为 0 … 100000 的数，不能是 \"%1\"")
                            .arg(parser.textOr(QStringLiteral("snr"), QString())));
    }

    holegen::HoleOptions options;
    options.seed = std::uint32_t(seed);
    options.points = int(points);
    options.signalToNoise = snr;
    options.channels = int(channels);
    options.importChannel = int(channel) - 1;
    holegen::Hole generated = holegen::makeHole(options);

    if (!QDir().mkpath(folder))
        throw cli::Failure(QStringLiteral("不能创建文件夹 ") + folder);
    const QByteArray holeBytes = hole.toLatin1();
    QString truth = QStringLiteral("point,depth_m,interval_us,delay_ms,onset_sample,onset_exact,period_ms,decay_ms,"
                                   "shape,p_lead_ms,p_over_s,noise,strongest_channel\n");
    int written = 0;
    for (std::size_t i = 0; i < generated.records.size(); ++i) {
        const talvex::TlvOne &p = generated.survey.points[i];
        const holegen::PointTruth &t = generated.truth[i];
        const int metres = int(std::lround(p.depth));
        for (int blow = 0; blow < 2; ++blow) {
            talvex::FieldRecordData &rec = generated.records[i][std::size_t(blow)];
            common::storeFixedText(rec.header.holeName, holeBytes.toStdString());
            common::storeFixedText(rec.header.siteName, std::string("holegen"));
            const QString path
                = QDir(folder).filePath(hole + u'&' + QString::number(metres)
                                        + (blow == 0 ? QStringLiteral("A.cwd") : QStringLiteral("B.cwd")));
            const common::FileError e = talvex::writeFieldRecordV2(path, rec);
            if (!e.ok)
                throw cli::Failure(path + QStringLiteral(": ") + e.message);
            ++written;
        }
        truth += QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,%12,%13\n")
                     .arg(i + 1)
                     .arg(double(p.depth))
                     .arg(double(p.interval))
                     .arg(double(p.delay))
                     .arg(t.onsetSample)
                     .arg(t.onsetExact, 0, 'f', 3)
                     .arg(t.periodMs, 0, 'f', 3)
                     .arg(t.decayMs, 0, 'f', 3)
                     .arg(QLatin1String(holegen::shapeName(t.shape)))
                     .arg(t.pLeadMs, 0, 'f', 3)
                     .arg(t.pOverS, 0, 'f', 3)
                     .arg(t.noise == holegen::NoiseKind::White ? QStringLiteral("white") : QStringLiteral("band"))
                     .arg(t.strongestChannel + 1);
    }
    QFile file(QDir(folder).filePath(QStringLiteral("truth.csv")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(truth.toUtf8()) < 0 || !file.flush())
        throw cli::Failure(QStringLiteral("不能写入 ") + file.fileName());
    std::fprintf(stdout, "%d\n", written);
    return kExitOk;
}

} // namespace

int main(int argc, char **argv)
{
    cli::Command command;
    command.synopsis = QStringLiteral("--out FOLDER [选项]");
    command.summary = QStringLiteral(
        "生成一个独立模拟的钻孔（每个测点的 S 波周期、衰减、起跳形状、P 波、噪声和最强通道各不相同），\n"
        "写出每个测点的正反向记录 <孔号>&<深度>A.cwd / B.cwd 和真实初至表 truth.csv。");
    command.options = options();
    command.run = run;
    const cli::Program program(QStringLiteral("talvex-holegen"), QStringLiteral(PROJECT_VERSION), {command});
    QCoreApplication app(argc, argv);
    return program.run(argc, argv);
}
