// sedra-cli: the microtremor program without a window. Detects the card,
// records one acquisition, analyses a record, exports its text, writes its
// snapshots and the PDF of its printed page, through the same code as SEDRA.

#include "common/fileio.h"
#include "common/gbk.h"
#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "common/qttranslations.h"
#include "sedra/card/acquisitioncard.h"
#include "sedra/card/cardbackend.h"
#include "sedra/card/recordingportio.h"
#include "sedra/core/sedradocument.h"
#include "sedra/render/printedpage.h"
#include "sedra/render/snapshotrenderer.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <functional>
#include <map>

using namespace sedra;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

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

// A wrong command line: says what and where to read more, exit status 2.
struct UsageError {
    QString text;
};

struct Command {
    QString name;
    QString synopsis; // positional words
    QString description;
    QStringList positionals; // names, all required
    QList<QCommandLineOption> options;
    std::function<int(const QCommandLineParser &, const QStringList &)> run;
};

QCommandLineOption cardOption()
{
    return {QStringLiteral("card"),
            QStringLiteral(
                "采集卡后端：ports（端口）、sim（模拟采集卡）或 none。默认：环境变量 SEDRA_CARD，未设置时为 ports。"),
            QStringLiteral("BACKEND")};
}

QString helpText(const Command &c)
{
    QString text = QStringLiteral("用法：sedra-cli %1 %2\n\n%3\n").arg(c.name, c.synopsis, c.description);
    if (!c.options.isEmpty()) {
        text += QStringLiteral("\n选项：\n");
        for (const QCommandLineOption &o : c.options) {
            QString left = QStringLiteral("--") + o.names().constFirst();
            if (!o.valueName().isEmpty())
                left += QLatin1Char(' ') + o.valueName();
            text += QStringLiteral("  %1\n      %2\n").arg(left, o.description());
        }
    }
    text += QStringLiteral("  --help\n      显示本帮助。\n");
    return text;
}

// The card of --card (or SEDRA_CARD), opened and detected.
std::unique_ptr<PortIo> openDetectedCard(const QCommandLineParser &p, QString *why)
{
    QString error;
    auto selection = selectCard(QStringLiteral("ports"), &error);
    if (!selection)
        throw UsageError{error};
    if (p.isSet(QStringLiteral("card"))) {
        const auto chosen = parseCardBackend(p.value(QStringLiteral("card")));
        if (!chosen)
            throw UsageError{
                QStringLiteral("--card 的值“%1”无效（应为 ports、sim 或 none）").arg(p.value(QStringLiteral("card")))};
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

int intOption(const QCommandLineParser &p, const QString &name, int fallback, int low, int high)
{
    if (!p.isSet(name))
        return fallback;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < low || v > high)
        throw UsageError{
            QStringLiteral("--%1 的值“%2”无效（应为 %3 到 %4 的整数）").arg(name, p.value(name)).arg(low).arg(high)};
    return v;
}

QString textOption(const QCommandLineParser &p, const QString &name, int maxBytes)
{
    const QString v = p.value(name);
    const QString bad = common::unencodableGbk(v);
    if (!bad.isEmpty())
        throw UsageError{QStringLiteral("--%1 中的字符“%2”不能用 GBK 保存").arg(name, bad)};
    if (common::encodeGbk(v)->size() > maxBytes)
        throw UsageError{QStringLiteral("--%1 太长（最多 %2 字节 GBK）").arg(name).arg(maxBytes)};
    return v;
}

int runDetect(const QCommandLineParser &p, const QStringList &)
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

int runAcquire(const QCommandLineParser &p, const QStringList &args)
{
    SedraParameters params;
    params.channel = intOption(p, QStringLiteral("channels"), 4, kChannelRange.low, kChannelRange.high);
    params.samplenth = intOption(p, QStringLiteral("samples"), 1024, 1, 4096);
    if (params.samplenth != 1024 && params.samplenth != 2048 && params.samplenth != 4096)
        throw UsageError{QStringLiteral("--samples 的值应为 1024、2048 或 4096")};
    params.sampinterval
        = std::uint16_t(intOption(p, QStringLiteral("interval"), 8000, kIntervalRange.low, kIntervalRange.high));
    params.delayTime = std::uint16_t(intOption(p, QStringLiteral("delay"), 0, kDelayRange.low, kDelayRange.high));
    params.opamtime = intOption(p, QStringLiteral("gain"), 1, 1, 100);
    if (params.opamtime != 1 && params.opamtime != 10 && params.opamtime != 100)
        throw UsageError{QStringLiteral("--gain 的值应为 1、10 或 100")};
    params.projectName = textOption(p, QStringLiteral("site"), kSiteNameBytes - 1);
    params.testSit = textOption(p, QStringLiteral("point"), kTestPointBytes - 1);
    params.keyboard = 0;
    const QString target = args[0];

    QString why;
    std::unique_ptr<PortIo> card = openDetectedCard(p, &why);
    RecordingPortIo recorder(card.get());
    const auto writeLog = [&] {
        if (!p.isSet(QStringLiteral("port-log")))
            return true;
        const common::FileError w
            = common::writeFileAtomically(p.value(QStringLiteral("port-log")), recorder.logText());
        if (!w.ok)
            err(QStringLiteral("不能写入端口记录 %1：%2").arg(p.value(QStringLiteral("port-log")), w.message));
        return w.ok;
    };
    if (!card || !DetectCard(recorder)) {
        writeLog();
        err(why.isEmpty() ? QStringLiteral("未检测到采集卡，不能采集数据。")
                          : QStringLiteral("未检测到采集卡：%1").arg(why));
        return kExitFailed;
    }
    AcquisitionParameters ap;
    ap.interval = params.sampinterval;
    ap.delay = params.delayTime;
    ap.gain = params.opamtime;
    ap.samples = params.samplenth;
    ap.channels = params.channel;
    auto raw = std::make_unique<std::array<RecordChannel, kRecordChannels>>();
    const AcquisitionResult result = AcquireRecord(recorder, ap, *raw, nullptr, readyLimitFor(ap));
    const bool logged = writeLog();
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

int runAnalyze(const QCommandLineParser &p, const QStringList &args)
{
    SedraDocument document;
    if (!loadRecordWithData(document, args[0]))
        return kExitFailed;
    const auto channels = analyse(document);
    if (p.isSet(QStringLiteral("json"))) {
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

int runExportText(const QCommandLineParser &, const QStringList &args)
{
    SedraDocument document;
    if (!loadRecord(document, args[0]))
        return kExitFailed;
    common::ConsoleMessenger messenger;
    return document.exportText(args[1], messenger) ? kExitOk : kExitFailed;
}

int runSnapshot(const QCommandLineParser &, const QStringList &args)
{
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

int runPrint(const QCommandLineParser &, const QStringList &args)
{
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

std::vector<Command> commands()
{
    const QCommandLineOption json(
        QStringLiteral("json"),
        QStringLiteral("以 JSON 输出（频率单位 Hz，周期单位 s；卓越频率为 0 时周期为 null）。"));
    return {
        {QStringLiteral("detect"),
         QString(),
         QStringLiteral("检测采集卡（读取端口 0x324 一次）。"),
         {},
         {cardOption()},
         runDetect},
        {QStringLiteral("acquire"),
         QStringLiteral("OUT.cwd [选项]"),
         QStringLiteral(
             "用所选采集卡采集一次，调理后按“保存本次采集数据”的格式保存到 OUT.cwd，并输出前三道的卓越周期。\n"
             "采集卡在时限内（采样间隔加延迟再加 3 秒）未就绪时停止采集卡，不保存任何文件。"),
         {QStringLiteral("OUT.cwd")},
         {{QStringLiteral("channels"),
           QStringLiteral("通道数 C，%1 到 %2。默认：4。").arg(kChannelRange.low).arg(kChannelRange.high),
           QStringLiteral("C")},
          {QStringLiteral("samples"), QStringLiteral("每道采样长度 N：1024、2048 或 4096。默认：1024。"),
           QStringLiteral("N")},
          {QStringLiteral("interval"),
           QStringLiteral("采样间隔，单位 us，%1 到 %2。默认：8000。").arg(kIntervalRange.low).arg(kIntervalRange.high),
           QStringLiteral("US")},
          {QStringLiteral("delay"),
           QStringLiteral("延迟时间，单位 ms，%1 到 %2。默认：0。").arg(kDelayRange.low).arg(kDelayRange.high),
           QStringLiteral("MS")},
          {QStringLiteral("gain"), QStringLiteral("放大倍数：1、10 或 100。默认：1。"), QStringLiteral("G")},
          {QStringLiteral("site"), QStringLiteral("工地名称，最多 79 字节 GBK。默认：空。"), QStringLiteral("T")},
          {QStringLiteral("point"), QStringLiteral("测试点号，最多 39 字节 GBK。默认：空。"), QStringLiteral("T")},
          {QStringLiteral("port-log"),
           QStringLiteral("按顺序把每次端口访问写入 FILE，每行如“W 0x300 8000”或“R 0x314 "
                          "1234”（端口十六进制，值十进制）。默认：不写。"),
           QStringLiteral("FILE")},
          cardOption()},
         runAcquire},
        {QStringLiteral("analyze"),
         QStringLiteral("FILE.cwd [--json]"),
         QStringLiteral("按打开文件的规则读入记录，输出前三道的卓越频率、频率步长和卓越周期。"),
         {QStringLiteral("FILE.cwd")},
         {json},
         runAnalyze},
        {QStringLiteral("export-text"),
         QStringLiteral("FILE.cwd OUT"),
         QStringLiteral(
             "按“保存为TXT数据格式”输出文本：标题行，然后每道一行，每个值后跟逗号（GBK，CR LF）。OUT 按原样使用。"),
         {QStringLiteral("FILE.cwd"), QStringLiteral("OUT")},
         {},
         runExportText},
        {QStringLiteral("snapshot"),
         QStringLiteral("FILE.cwd NAME"),
         QStringLiteral("生成 800 x 600 的 16 位位图：NAME 显示三道，NAME_1.bmp 到 NAME_3.bmp 各显示一道。"),
         {QStringLiteral("FILE.cwd"), QStringLiteral("NAME")},
         {},
         runSnapshot},
        {QStringLiteral("print"),
         QStringLiteral("FILE.cwd OUT.pdf"),
         QStringLiteral("把打印页面写成 A4 PDF 文件。"),
         {QStringLiteral("FILE.cwd"), QStringLiteral("OUT.pdf")},
         {},
         runPrint},
    };
}

QString overview(const std::vector<Command> &list)
{
    QString text = QStringLiteral("用法：sedra-cli 命令 [参数]\n\n命令：\n");
    for (const Command &c : list)
        text += QStringLiteral("  %1 %2\n").arg(c.name, c.synopsis);
    text += QStringLiteral("\n  sedra-cli 命令 --help   命令的选项\n  sedra-cli --version      程序版本\n\n"
                           "环境变量：SEDRA_CARD（ports、sim、none），SEDRA_SIM（模拟采集卡的开关）。\n"
                           "退出状态：0 完成，1 操作被拒绝或失败，2 命令行错误。\n");
    return text;
}

int runCommand(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringLiteral("help"));
    parser.addOption(help);
    for (const QCommandLineOption &o : command.options)
        parser.addOption(o);
    if (!parser.parse(arguments))
        throw UsageError{parser.errorText()};
    if (parser.isSet(help)) {
        std::fputs(helpText(command).toUtf8().constData(), stdout);
        return kExitOk;
    }
    for (const QCommandLineOption &o : command.options) {
        const QString name = o.names().constFirst();
        if (parser.values(name).size() > 1 || (o.valueName().isEmpty() && parser.optionNames().count(name) > 1))
            throw UsageError{QStringLiteral("选项 --%1 重复").arg(name)};
    }
    const QStringList words = parser.positionalArguments();
    if (words.size() < command.positionals.size())
        throw UsageError{
            QStringLiteral("缺少参数 %1").arg(command.positionals.mid(words.size()).join(QLatin1Char(' ')))};
    if (words.size() > command.positionals.size())
        throw UsageError{
            QStringLiteral("多余的参数：%1").arg(words.mid(command.positionals.size()).join(QLatin1Char(' ')))};
    return command.run(parser, words);
}

} // namespace

int main(int argc, char *argv[])
{
    // Pictures and PDF are drawn without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sedra-cli"));
    common::installQtTranslations(app);
    QCoreApplication::setApplicationVersion(QStringLiteral(SEDRA_VERSION));

    const std::vector<Command> list = commands();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fputs(overview(list).toUtf8().constData(), stderr);
        return kExitUsage;
    }
    const QString name = args[1];
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        std::fputs(overview(list).toUtf8().constData(), stdout);
        return kExitOk;
    }
    if (name == QLatin1String("--version")) {
        if (args.size() > 2) {
            err(QStringLiteral("sedra-cli: --version 不带参数"));
            return kExitUsage;
        }
        out(QStringLiteral("sedra-cli %1").arg(QStringLiteral(SEDRA_VERSION)));
        return kExitOk;
    }
    for (const Command &command : list) {
        if (command.name != name)
            continue;
        try {
            // The parser takes the program name first.
            return runCommand(command, QStringList{args[0]} + args.mid(2));
        } catch (const UsageError &e) {
            err(QStringLiteral("sedra-cli %1: %2（见 sedra-cli %1 --help）").arg(name, e.text));
            return kExitUsage;
        }
    }
    err(QStringLiteral("sedra-cli: 未知的命令“%1”（见 sedra-cli --help）").arg(name));
    return kExitUsage;
}
