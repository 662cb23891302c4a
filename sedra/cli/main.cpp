// sedra-cli: the microtremor program without a window. Detects the card,
// records one acquisition, analyses a record, exports its text, writes its
// snapshots and the PDF of its printed page, through the same code as SEDRA.

#include "common/fileio.h"
#include "common/gbk.h"
#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "common/cli/program.h"
#include "common/qttranslations.h"
#include "sedra/card/acquisitioncard.h"
#include "sedra/card/cardbackend.h"
#include "sedra/card/longacquisition.h"
#include "sedra/card/recordingportio.h"
#include "sedra/cli/hvcommand.h"
#include "sedra/core/longacquisitionjob.h"
#include "sedra/core/sedrasettings.h"
#include "sedra/core/threecomponentwriter.h"
#include "sedra/core/sedradocument.h"
#include "sedra/render/printedpage.h"
#include "sedra/render/snapshotrenderer.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

using namespace sedra;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Length of a long three-component recording, minutes.
constexpr double kLongMinutesLow = 10.0;
constexpr double kLongMinutesHigh = 60.0;

void out(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void err(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

using cli::Args;

// A wrong command line: says what and where to read more, exit status 2.
cli::Failure usageError(const QString &text)
{
    return cli::Failure(text, kExitUsage);
}

cli::OptionSpec cardOption()
{
    return {QStringLiteral("card"), QStringLiteral("BACKEND"),
            QStringLiteral(
                "采集卡后端：ports（端口）、sim（模拟采集卡）或 none。默认：环境变量 SEDRA_CARD，未设置时为 ports。")};
}

// The card of --card (or SEDRA_CARD), opened and detected.
std::unique_ptr<PortIo> openDetectedCard(const Args &p, QString *why)
{
    QString error;
    auto selection = selectCard(QStringLiteral("ports"), &error);
    if (!selection)
        throw usageError(error);
    if (p.has(QStringLiteral("card"))) {
        const auto chosen = parseCardBackend(p.textOr(QStringLiteral("card"), QString()));
        if (!chosen)
            throw usageError(QStringLiteral("--card 的值“%1”无效（应为 ports、sim 或 none）")
                                 .arg(p.textOr(QStringLiteral("card"), QString())));
        selection->backend = *chosen;
    }
    QString note;
    std::unique_ptr<PortIo> io = openCard(*selection, QCoreApplication::applicationDirPath(), &note);
    if (!io) {
        *why = note;
        return nullptr;
    }
    return io;
}

// The card an acquiring command uses, every port access through it recorded
// for --port-log.
class AcquiringCard {
public:
    explicit AcquiringCard(const Args &p) : m_args(p), m_card(openDetectedCard(p, &m_why)), m_recorder(m_card.get()) {}

    // Whether a card answers; when none does, says so (and writes the port log).
    bool detect()
    {
        if (m_card && DetectCard(m_recorder))
            return true;
        writeLog();
        err(m_why.isEmpty() ? QStringLiteral("未检测到采集卡，不能采集数据。")
                            : QStringLiteral("未检测到采集卡：%1").arg(m_why));
        return false;
    }
    PortIo &recorded() { return m_recorder; }
    PortIo &direct() { return *m_card; }

    // Writes the accesses to the file of --port-log, when given; false when
    // that file could not be written (said on standard error).
    bool writeLog() const
    {
        const auto path = m_args.text(QStringLiteral("port-log"));
        if (!path)
            return true;
        const common::FileError w = common::writeFileAtomically(*path, m_recorder.logText());
        if (!w.ok)
            err(QStringLiteral("不能写入端口记录 %1：%2").arg(*path, w.message));
        return w.ok;
    }

private:
    const Args &m_args;
    QString m_why;
    std::unique_ptr<PortIo> m_card;
    RecordingPortIo m_recorder;
};

int intOption(const Args &p, const QString &name, int fallback, int low, int high)
{
    if (!p.has(name))
        return fallback;
    bool ok = false;
    const int v = p.textOr(name, QString()).toInt(&ok);
    if (!ok || v < low || v > high)
        throw usageError(QStringLiteral("--%1 的值“%2”无效（应为 %3 到 %4 的整数）")
                             .arg(name, p.textOr(name, QString()))
                             .arg(low)
                             .arg(high));
    return v;
}

QString textOption(const Args &p, const QString &name, int maxBytes)
{
    const QString v = p.textOr(name, QString());
    const QString bad = common::unencodableGbk(v);
    if (!bad.isEmpty())
        throw usageError(QStringLiteral("--%1 中的字符“%2”不能用 GBK 保存").arg(name, bad));
    if (common::encodeGbk(v)->size() > maxBytes)
        throw usageError(QStringLiteral("--%1 太长（最多 %2 字节 GBK）").arg(name).arg(maxBytes));
    return v;
}

int runDetect(const Args &p)
{
    QString why;
    const auto io = openDetectedCard(p, &why);
    if (!io) {
        err(why.isEmpty() ? QStringLiteral("未使用采集卡（后端为 none）")
                          : QStringLiteral("未检测到采集卡：%1").arg(why));
        return kExitFailed;
    }
    if (!DetectCard(*io)) {
        err(QStringLiteral("未检测到采集卡（端口 0x324 的标识不是 0x55 或 0xAA）"));
        return kExitFailed;
    }
    out(QStringLiteral("检测到采集卡"));
    return kExitOk;
}

// The long three-component recording of `acquire --minutes M --mseed OUT`.
int runLongAcquire(const Args &p)
{
    if (!p.has(QStringLiteral("mseed")))
        throw usageError(QStringLiteral("--minutes 需要同时给出 --mseed OUT.mseed"));
    if (!p.has(QStringLiteral("minutes")))
        throw usageError(QStringLiteral("--mseed 需要同时给出 --minutes M"));
    if (p.wordCount() > 0)
        throw usageError(QStringLiteral("长时间采集保存到 --mseed 给出的文件，不再给出 OUT.cwd"));
    for (const QString &name : {QStringLiteral("samples"), QStringLiteral("channels")})
        if (p.has(name))
            throw usageError(QStringLiteral("--%1 不能与 --minutes 同时使用（长时间采集每块 4096 个采样，通道由 "
                                            "--components 决定）")
                                 .arg(name));
    const QString minutesText = p.textOr(QStringLiteral("minutes"), QString());
    bool ok = false;
    const double minutes = minutesText.toDouble(&ok);
    if (!ok || !(minutes >= kLongMinutesLow && minutes <= kLongMinutesHigh))
        throw usageError(QStringLiteral("--minutes 的值“%1”无效（应为 %2 到 %3 分钟）")
                             .arg(minutesText)
                             .arg(kLongMinutesLow)
                             .arg(kLongMinutesHigh));
    const QString target = p.textOr(QStringLiteral("mseed"), QString());
    if (target.isEmpty())
        throw usageError(QStringLiteral("--mseed 需要文件名"));
    const auto channels = parseComponentChannels(p.textOr(QStringLiteral("components"), QStringLiteral("1,2,3")));
    if (!channels)
        throw usageError(QStringLiteral("--components 的值“%1”无效（应为三个不同的通道 1 到 4，如 1,2,3）")
                             .arg(p.textOr(QStringLiteral("components"), QString())));
    LongAcquisitionPlan plan;
    plan.card.interval
        = std::uint16_t(intOption(p, QStringLiteral("interval"), 8000, kIntervalRange.low, kIntervalRange.high));
    plan.card.delay = std::uint16_t(intOption(p, QStringLiteral("delay"), 0, kDelayRange.low, kDelayRange.high));
    plan.card.gain = intOption(p, QStringLiteral("gain"), 1, 1, 100);
    if (plan.card.gain != 1 && plan.card.gain != 10 && plan.card.gain != 100)
        throw usageError(QStringLiteral("--gain 的值应为 1、10 或 100"));
    plan.channels = *channels;
    plan.totalSamples = samplesForMinutes(minutes, plan.card.interval);
    const QString site = textOption(p, QStringLiteral("site"), kSiteNameBytes - 1);
    const QString point = textOption(p, QStringLiteral("point"), kTestPointBytes - 1);

    AcquiringCard card(p);
    if (!card.detect())
        return kExitFailed;

    ThreeComponentRecord header;
    const SeedCodes codes = seedCodesFor(site, point);
    header.network = codes.network;
    header.station = codes.station;
    header.location = codes.location;
    header.start = QDateTime::currentDateTimeUtc();
    LongAcquisitionJob job;
    QEventLoop loop;
    LongAcquisitionSummary summary;
    const double interval = double(plan.card.interval) * 1e-6;
    QObject::connect(&job, &LongAcquisitionJob::blockCompleted, [&](const LongAcquisitionProgress &progress) {
        err(QStringLiteral("已采集 %1 / %2 s")
                .arg(double(progress.samplesSoFar) * interval, 0, 'f', 1)
                .arg(double(progress.totalSamples) * interval, 0, 'f', 1));
    });
    QObject::connect(&job, &LongAcquisitionJob::finished, [&](const LongAcquisitionSummary &s) {
        summary = s;
        loop.quit();
    });
    // Every port access is kept only when it is to be written: a long
    // recording makes millions.
    PortIo &io = p.has(QStringLiteral("port-log")) ? card.recorded() : card.direct();
    if (!job.start(io, plan, header)) {
        err(QStringLiteral("不能开始采集"));
        return kExitFailed;
    }
    loop.exec();
    const bool logged = card.writeLog();
    const LongAcquisitionResult &result = summary.result;
    if (result.outcome != AcquisitionOutcome::Done) {
        err(QStringLiteral("采集卡没有响应，已停止采集，本次数据未保留。（已读 %1 个采样）").arg(result.samplesRead));
        return kExitFailed;
    }
    const common::FileError w = writeThreeComponentMseed(target, job.record());
    if (!w.ok) {
        err(QStringLiteral("保存文件失败! %1：%2").arg(QDir::toNativeSeparators(target), w.message));
        return kExitFailed;
    }
    out(QStringLiteral("已采集 %1 s（每分量 %2 个采样，%3 块），保存为 %4（%5.%6.%7，通道 %8/%9/%10 为北/东/竖直）")
            .arg(double(result.samplesRead) * interval, 0, 'f', 1)
            .arg(result.samplesRead)
            .arg(result.blocks)
            .arg(QDir::toNativeSeparators(target), codes.network, codes.station, codes.location)
            .arg(plan.channels[0])
            .arg(plan.channels[1])
            .arg(plan.channels[2]));
    if (result.gaps.empty())
        out(QStringLiteral("各块之间没有间断。"));
    for (const AcquisitionGap &gap : result.gaps)
        out(QStringLiteral("间断：第 %1 个采样（%2 s）之前缺少约 %3 s 的数据（采集卡重新启动过慢）")
                .arg(gap.atSample)
                .arg(double(gap.atSample) * interval, 0, 'f', 3)
                .arg(gap.seconds, 0, 'f', 4));
    return logged ? kExitOk : kExitFailed;
}

int runAcquire(const Args &p)
{
    if (p.has(QStringLiteral("minutes")) || p.has(QStringLiteral("mseed")))
        return runLongAcquire(p);
    if (p.has(QStringLiteral("components")))
        throw usageError(QStringLiteral("--components 只用于长时间采集（--minutes）"));
    if (p.wordCount() == 0)
        throw usageError(QStringLiteral("缺少要写的数据文件 OUT.cwd（长时间采集请用 --minutes M --mseed OUT.mseed）"));
    const QStringList &args = p.words();
    SedraParameters params;
    params.channel = intOption(p, QStringLiteral("channels"), 4, kChannelRange.low, kChannelRange.high);
    params.samplenth = intOption(p, QStringLiteral("samples"), 1024, 1, 4096);
    if (params.samplenth != 1024 && params.samplenth != 2048 && params.samplenth != 4096)
        throw usageError(QStringLiteral("--samples 的值应为 1024、2048 或 4096"));
    params.sampinterval
        = std::uint16_t(intOption(p, QStringLiteral("interval"), 8000, kIntervalRange.low, kIntervalRange.high));
    params.delayTime = std::uint16_t(intOption(p, QStringLiteral("delay"), 0, kDelayRange.low, kDelayRange.high));
    params.opamtime = intOption(p, QStringLiteral("gain"), 1, 1, 100);
    if (params.opamtime != 1 && params.opamtime != 10 && params.opamtime != 100)
        throw usageError(QStringLiteral("--gain 的值应为 1、10 或 100"));
    params.projectName = textOption(p, QStringLiteral("site"), kSiteNameBytes - 1);
    params.testSit = textOption(p, QStringLiteral("point"), kTestPointBytes - 1);
    params.keyboard = 0;
    const QString target = args[0];

    AcquiringCard card(p);
    if (!card.detect())
        return kExitFailed;
    AcquisitionParameters ap;
    ap.interval = params.sampinterval;
    ap.delay = params.delayTime;
    ap.gain = params.opamtime;
    ap.samples = params.samplenth;
    ap.channels = params.channel;
    auto raw = std::make_unique<std::array<RecordChannel, kRecordChannels>>();
    const AcquisitionResult result = AcquireRecord(card.recorded(), ap, *raw, nullptr, readyLimitFor(ap));
    const bool logged = card.writeLog();
    if (result.outcome != AcquisitionOutcome::Done) {
        err(QStringLiteral("采集卡没有响应，已停止采集，本次数据未保留。（已读 %1 个采样）").arg(result.samplesRead));
        return kExitFailed;
    }
    SedraDocument document;
    document.takeAcquisition(*raw, params, QDateTime::currentDateTime());
    common::ConsoleMessenger messenger;
    if (!document.saveAcquisition(target, messenger))
        return kExitFailed;
    for (const ChannelAnalysis &c : analyse(document))
        out(QStringLiteral("第%1道: 卓越频率 %2 Hz, 卓越周期 %3 s")
                .arg(c.channel)
                .arg(QString::asprintf("%.2f", double(c.peakFrequency)), c.period));
    return logged ? kExitOk : kExitFailed;
}

// Loads FILE into `document`; false (message shown) when it cannot.
bool loadRecord(SedraDocument &document, const QString &path)
{
    common::ConsoleMessenger messenger;
    return document.load(path, messenger);
}

// Loads FILE for a command that analyses or draws it: a record without
// samples, or with nothing but zeros, is refused (exit status 1).
bool loadRecordWithData(SedraDocument &document, const QString &path)
{
    if (!loadRecord(document, path))
        return false;
    const QString reason = missingDataReason(document.record());
    if (reason.isEmpty())
        return true;
    err(QStringLiteral("文件 %1 中%2，不能处理。").arg(QDir::toNativeSeparators(path), reason));
    return false;
}

int runAnalyze(const Args &p)
{
    const QStringList &args = p.words();
    SedraDocument document;
    if (!loadRecordWithData(document, args[0]))
        return kExitFailed;
    const auto channels = analyse(document);
    if (p.has(QStringLiteral("json"))) {
        common::JsonWriter json;
        json.beginObject();
        json.field("file", args[0].toUtf8().toStdString());
        json.field("channelCount", document.record().channels.channelCount);
        json.field("sampleCount", document.record().channels.sampleCount);
        json.field("interval", int(document.record().header.interval));
        json.key("channels").beginArray();
        for (const ChannelAnalysis &c : channels) {
            json.beginObject();
            json.field("channel", c.channel);
            json.field("peakFrequency", c.peakFrequency);
            json.field("frequencyStep", c.frequencyStep);
            json.key("period");
            if (c.peakFrequency == 0.0f)
                json.null();
            else
                json.value(1.0f / c.peakFrequency);
            json.endObject();
        }
        json.endArray();
        json.endObject();
        out(QString::fromStdString(json.text()));
        return kExitOk;
    }
    out(QStringLiteral("%1: %2 道, 每道 %3 个采样, 采样间隔 %4 us")
            .arg(args[0])
            .arg(document.record().channels.channelCount)
            .arg(document.record().channels.sampleCount)
            .arg(document.record().header.interval));
    for (const ChannelAnalysis &c : channels)
        out(QStringLiteral("第%1道: 卓越频率 %2 Hz, 频率步长 %3 Hz, 卓越周期 %4 s")
                .arg(c.channel)
                .arg(QString::asprintf("%.2f", double(c.peakFrequency)))
                .arg(QString::asprintf("%.4f", double(c.frequencyStep)))
                .arg(c.period));
    return kExitOk;
}

int runExportText(const Args &p)
{
    const QStringList &args = p.words();
    SedraDocument document;
    if (!loadRecord(document, args[0]))
        return kExitFailed;
    common::ConsoleMessenger messenger;
    return document.exportText(args[1], messenger) ? kExitOk : kExitFailed;
}

int runSnapshot(const Args &p)
{
    const QStringList &args = p.words();
    SedraDocument document;
    if (!loadRecordWithData(document, args[0]))
        return kExitFailed;
    const QStringList failed = SnapshotRenderer::writeAll(document, args[1]);
    for (const QString &name : SedraDocument::snapshotFileNames(args[1]))
        if (!failed.contains(name))
            out(name);
    for (const QString &name : failed)
        err(QStringLiteral("保存文件失败! %1").arg(name));
    return failed.isEmpty() ? kExitOk : kExitFailed;
}

int runPrint(const Args &p)
{
    const QStringList &args = p.words();
    SedraDocument document;
    if (!loadRecordWithData(document, args[0]))
        return kExitFailed;
    QString error;
    if (!PrintedPage::writePdf(document, args[1], &error)) {
        err(QStringLiteral("保存文件失败! %1").arg(error));
        return kExitFailed;
    }
    return kExitOk;
}

// Every command with its options, words and whether it draws (snapshot and
// print draw their pictures with Qt Gui, offscreen).
std::vector<cli::Command> commands()
{
    const cli::OptionSpec json{QStringLiteral("json"), QString(),
                               QStringLiteral("以 JSON 输出（频率单位 Hz，周期单位 s；卓越频率为 0 时周期为 null）。")};
    const cli::WordSpec record{QStringLiteral("FILE.cwd"), QStringLiteral("数据文件")};
    std::vector<cli::Command> list;
    list.push_back({QStringLiteral("detect"),
                    QStringLiteral("detect [--card BACKEND]"),
                    QStringLiteral("检测采集卡（读取端口 0x324 一次）。"),
                    QString(),
                    {cardOption()},
                    0,
                    0,
                    runDetect});
    list.push_back(
        {QStringLiteral("acquire"),
         QStringLiteral("acquire OUT.cwd [选项] | acquire --minutes M --mseed OUT.mseed [选项]"),
         QStringLiteral("采集一次并保存，输出前三道的卓越周期；或连续采集三分量记录保存为 miniSEED。"),
         QStringLiteral(
             "用所选采集卡采集一次，调理后按“保存本次采集数据”的格式保存到 OUT.cwd，并输出前三道的卓越周期。\n"
             "采集卡在时限内（采样间隔加延迟再加 3 秒）未就绪时停止采集卡，不保存任何文件。\n"
             "给出 --minutes 和 --mseed 时连续采集 M 分钟：采集卡每块 4096 个采样，一块采完立即重新启动，"
             "延迟只在第一块之前；重新启动晚于半个采样间隔时记为间断并输出其位置。北、东、竖直三个分量"
             "（--components）保存为一个 miniSEED 文件，台网/台站代码由工地名称和测点号生成。"),
         {{QStringLiteral("channels"), QStringLiteral("C"),
           QStringLiteral("通道数 C，%1 到 %2。默认：4。").arg(kChannelRange.low).arg(kChannelRange.high)},
          {QStringLiteral("samples"), QStringLiteral("N"),
           QStringLiteral("每道采样长度 N：1024、2048 或 4096。默认：1024。")},
          {QStringLiteral("interval"), QStringLiteral("US"),
           QStringLiteral("采样间隔，单位 us，%1 到 %2。默认：8000。")
               .arg(kIntervalRange.low)
               .arg(kIntervalRange.high)},
          {QStringLiteral("delay"), QStringLiteral("MS"),
           QStringLiteral("延迟时间，单位 ms，%1 到 %2。默认：0。").arg(kDelayRange.low).arg(kDelayRange.high)},
          {QStringLiteral("gain"), QStringLiteral("G"), QStringLiteral("放大倍数：1、10 或 100。默认：1。")},
          {QStringLiteral("site"), QStringLiteral("T"), QStringLiteral("工地名称，最多 79 字节 GBK。默认：空。")},
          {QStringLiteral("point"), QStringLiteral("T"), QStringLiteral("测试点号，最多 39 字节 GBK。默认：空。")},
          {QStringLiteral("port-log"), QStringLiteral("FILE"),
           QStringLiteral("按顺序把每次端口访问写入 FILE，每行如“W 0x300 8000”或“R 0x314 "
                          "1234”（端口十六进制，值十进制）。默认：不写。")},
          {QStringLiteral("minutes"), QStringLiteral("M"),
           QStringLiteral(
               "长时间连续采集的时长，单位分钟，%1 到 %2（可有小数）。须与 --mseed 同时给出。默认：不做长时间采集。")
               .arg(kLongMinutesLow)
               .arg(kLongMinutesHigh)},
          {QStringLiteral("mseed"), QStringLiteral("OUT.mseed"),
           QStringLiteral("长时间采集的 miniSEED 文件（三个通道，4096 字节记录）。须与 --minutes 同时给出。")},
          {QStringLiteral("components"), QStringLiteral("N,E,Z"),
           QStringLiteral("长时间采集中作为北、东、竖直分量的采集卡通道（1 到 4，互不相同）。默认：1,2,3。")},
          cardOption()},
         0,
         1,
         runAcquire,
         false,
         {{QStringLiteral("OUT.cwd"), QStringLiteral("要写的数据文件")}}});
    list.push_back({QStringLiteral("analyze"),
                    QStringLiteral("analyze FILE.cwd [--json]"),
                    QStringLiteral("按打开文件的规则读入记录，输出前三道的卓越频率、频率步长和卓越周期。"),
                    QString(),
                    {json},
                    1,
                    1,
                    runAnalyze,
                    false,
                    {record}});
    list.push_back({QStringLiteral("export-text"),
                    QStringLiteral("export-text FILE.cwd OUT"),
                    QStringLiteral("按“保存为TXT数据格式”输出文本。"),
                    QStringLiteral("标题行，然后每道一行，每个值后跟逗号（GBK，CR LF）。OUT 按原样使用。"),
                    {},
                    2,
                    2,
                    runExportText,
                    false,
                    {record, {QStringLiteral("OUT"), QStringLiteral("要写的文本文件")}}});
    list.push_back({QStringLiteral("snapshot"),
                    QStringLiteral("snapshot FILE.cwd NAME"),
                    QStringLiteral("生成 800 x 600 的 16 位位图：NAME 显示三道，NAME_1.bmp 到 NAME_3.bmp 各显示一道。"),
                    QString(),
                    {},
                    2,
                    2,
                    runSnapshot,
                    true,
                    {record, {QStringLiteral("NAME"), QStringLiteral("三道位图的文件名")}}});
    list.push_back({QStringLiteral("print"),
                    QStringLiteral("print FILE.cwd OUT.pdf"),
                    QStringLiteral("把打印页面写成 A4 PDF 文件。"),
                    QString(),
                    {},
                    2,
                    2,
                    runPrint,
                    true,
                    {record, {QStringLiteral("OUT.pdf"), QStringLiteral("要写的 PDF 文件")}}});
    addHvCommand(list);
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    cli::Program program(QStringLiteral("sedra-cli"), QStringLiteral(SEDRA_VERSION), commands());
    program.setOverviewNotes(
        QStringLiteral("环境变量：SEDRA_CARD（ports、sim、none），SEDRA_SIM（模拟采集卡的开关）。"));

    std::unique_ptr<QCoreApplication> app;
    if (program.needsGui(argc, argv)) {
        // Pictures and PDF are drawn without a display.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(program.name());
    common::installQtTranslations(*app);
    QCoreApplication::setApplicationVersion(QStringLiteral(SEDRA_VERSION));
    return program.run(argc, argv);
}
