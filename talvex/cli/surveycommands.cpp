// talvex-cli commands of the survey document and the field records: new,
// import-folder, import-record, info, record-info, export.

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "common/numberformat.h"
#include "talvex/analysis/ceditchanshudialogmodel.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/exports.h"
#include "talvex/survey/recordtraces.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/survey/surveyfile.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/survey/undosnapshot.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTime>
#include <map>
#include <memory>
#include <mutex>
#include <cstdio>
#include <sys/stat.h>

using namespace talvex;

namespace cli {

namespace {

void printJson(const common::JsonWriter &w)
{
    std::fwrite(w.text().data(), 1, w.text().size(), stdout);
    std::fputc('\n', stdout);
}

std::string utf8Of(const std::string &gbk)
{
    return common::gbkToUtf8(gbk);
}

template <std::size_t N>
std::string utf8Of(const std::array<char, N> &field)
{
    return utf8Of(common::readFixedText(field));
}

template <std::size_t N>
QString textOf(const std::array<char, N> &field)
{
    return common::decodeGbk(common::readFixedText(field));
}

template <std::size_t N>
void writeBytes(common::JsonWriter &w, const std::array<std::uint8_t, N> &bytes)
{
    w.beginArray();
    for (const std::uint8_t b : bytes)
        w.value(int(b));
    w.endArray();
}

void writeTrace(common::JsonWriter &w, const Trace &trace)
{
    w.beginArray();
    for (const std::int16_t v : trace)
        w.value(int(v));
    w.endArray();
}

void writeLayers(common::JsonWriter &w, const std::vector<DiChengOne> &layers)
{
    w.beginArray();
    for (const DiChengOne &l : layers) {
        w.beginObject();
        w.field("top", l.top).field("bottom", l.bottom).field("velocity", l.velocity);
        w.field("pattern", int(l.pattern));
        w.key("reserved");
        writeBytes(w, l.reserved);
        w.field("description", utf8Of(l.description));
        w.endObject();
    }
    w.endArray();
}

std::string fileTag(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray tag = file.read(9);
    return common::readFixedText(std::span<const char>(tag.constData(), std::size_t(tag.size())));
}

// "--json" is the only form that carries the arrays.
void requireJsonFor(const Args &args, const QString &option)
{
    if (args.flag(option) && !args.flag(QStringLiteral("json")))
        throw Failure(QStringLiteral("--%1 只用于 JSON 输出，请同时给出 --json").arg(option), kExitUsage);
}

int runInfo(const Args &args)
{
    requireJsonFor(args, QStringLiteral("traces"));
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    common::ConsoleMessenger messenger;
    SurveyData s;
    loadSurveyOrFail(s, path, messenger);
    const SurveyHeader &h = s.header;
    const bool traces = args.flag(QStringLiteral("traces"));

    if (!args.flag(QStringLiteral("json"))) {
        QStringList names;
        if (!textOf(h.projectName).isEmpty())
            names << QStringLiteral("工程名 %1").arg(textOf(h.projectName));
        if (!textOf(h.holeNumber).isEmpty())
            names << QStringLiteral("孔编号 %1").arg(textOf(h.holeNumber));
        names << QStringLiteral("%1，测孔深度 %2 米，测点间隔 %3 米")
                     .arg(h.isSingleHole() ? QStringLiteral("单孔法") : QStringLiteral("跨孔法"), number(h.holeDepth),
                          number(h.pointSpacing));
        printLine(
            QStringLiteral("%1 文件：%2").arg(QString::fromStdString(fileTag(path)), names.join(QStringLiteral("，"))));
        printLine(QStringLiteral("%1 个测点，%2 个速度分层，%3 个工勘土层")
                      .arg(s.points.size())
                      .arg(s.layers.size())
                      .arg(s.logLayers.size()));
        return 0;
    }

    common::JsonWriter w;
    w.beginObject();
    w.field("version", utf8Of(fileTag(path)));
    w.key("header").beginObject();
    w.field("method", int(h.method));
    w.field("testDate", utf8Of(h.testDate));
    w.field("projectName", utf8Of(h.projectName));
    w.field("holeNumber", utf8Of(h.holeNumber));
    w.field("personnel", utf8Of(h.personnel));
    w.field("holeDepth", h.holeDepth).field("pointSpacing", h.pointSpacing);
    w.field("sourceDistance", h.sourceDistance).field("plankLength", h.plankLength);
    w.field("siteVelocity", h.siteVelocity).field("overburden", h.overburden);
    w.field("computationDepth", h.computationDepth);
    w.endObject();
    w.key("logLayers");
    writeLayers(w, s.logLayers);
    w.key("layers");
    writeLayers(w, s.layers);
    w.key("points").beginArray();
    for (const TlvOne &p : s.points) {
        w.beginObject();
        w.field("sArrival", int(p.sArrival)).field("pArrival", int(p.pArrival)).field("rArrival", int(p.rArrival));
        w.field("reserved1", int(p.reserved1));
        w.field("depth", p.depth).field("interval", p.interval).field("delay", p.delay);
        w.field("pointVelocity", p.pointVelocity).field("equivVelocity", p.equivVelocity);
        w.field("crossDistance", p.crossDistance).field("gain", int(p.gain));
        w.key("reserved2");
        writeBytes(w, p.reserved2);
        if (traces) {
            w.key("positive");
            writeTrace(w, p.positive);
            w.key("negative");
            writeTrace(w, p.negative);
        }
        w.endObject();
    }
    w.endArray();
    w.endObject();
    printJson(w);
    return 0;
}

// Reads a record by the bytes of its name; a Failure naming it when it cannot.
void readRecordOrFail(const Args &args, int word, FieldRecord &record)
{
    const QByteArray native = args.nativeWord(word, QStringLiteral("数据文件 RECORD.cwd"));
    QString error;
    if (!LoadFieldRecord(native, args.word(word, QString()), record, &error))
        throw Failure(error);
}

// What plain output says of a record that did not arrive whole.
void printRecordNotes(const FieldRecord &record)
{
    if (record.shortFile)
        printLine(QStringLiteral("注意：文件不完整，比文件头所记的短；缺少的采样点按 0 读入。"));
    if (record.clipped)
        printLine(QStringLiteral("注意：记录超出导入缓冲区，只读入前 %1 个通道、每通道前 %2 个采样点。")
                      .arg(kRecordChannels)
                      .arg(kRecordSamples));
    for (const QString &note : record.notes)
        printLine(QStringLiteral("注意：%1。").arg(note));
}

// The record's acquisition date and time as "2013-01-07" and "10:30:41";
// empty when the header holds no valid one.
QString recordDate(const FieldRecordHeader &h)
{
    const QDate date(h.year, h.month, h.day);
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString recordTime(const FieldRecordHeader &h)
{
    const QTime time(h.hour, h.minute, h.second);
    return time.isValid() && !recordDate(h).isEmpty() ? time.toString(QStringLiteral("HH:mm:ss")) : QString();
}

int runRecordInfo(const Args &args)
{
    requireJsonFor(args, QStringLiteral("samples"));
    FieldRecord record;
    readRecordOrFail(args, 0, record);
    const FieldRecordHeader &h = record.header;
    if (!args.flag(QStringLiteral("json"))) {
        printLine(QStringLiteral("%1记录：%2 个通道 × %3 个采样点，采样间隔 %4 us，采样延时 %5 ms，放大倍数 %6")
                      .arg(record.layout == RecordLayout::Seg2 ? QStringLiteral("SEG-2 格式")
                               : h.isV2()                      ? QStringLiteral("v2 格式")
                                                               : QStringLiteral("旧格式"))
                      .arg(h.channelCount)
                      .arg(h.sampleCount)
                      .arg(h.interval)
                      .arg(number(record.delay))
                      .arg(h.gain));
        if (!recordDate(h).isEmpty())
            printLine(QStringLiteral("采集时间 %1 %2").arg(recordDate(h), recordTime(h)).trimmed());
        QStringList names;
        if (!textOf(h.siteName).isEmpty())
            names << QStringLiteral("工程名 %1").arg(textOf(h.siteName));
        if (!textOf(h.holeName).isEmpty())
            names << QStringLiteral("测点名 %1").arg(textOf(h.holeName));
        if (!names.isEmpty())
            printLine(names.join(QStringLiteral("，")));
        printRecordNotes(record);
        return 0;
    }
    common::JsonWriter w;
    w.beginObject();
    w.field("layout", record.layout == RecordLayout::Seg2 ? "seg2" : h.isV2() ? "v2" : "old");
    w.field("siteName", utf8Of(h.siteName)).field("holeName", utf8Of(h.holeName));
    w.field("channelCount", int(h.channelCount));
    w.field("year", int(h.year)).field("month", int(h.month)).field("day", int(h.day));
    w.field("hour", int(h.hour)).field("minute", int(h.minute)).field("second", int(h.second));
    w.field("interval", unsigned(h.interval)).field("sampleCount", unsigned(h.sampleCount));
    // The record's delay (ms, may be negative, what the points get) and the
    // 16-bit header field as it lies.
    w.field("date", recordDate(h).toStdString()).field("time", recordTime(h).toStdString());
    w.field("delay", double(record.delay)).field("headerDelay", unsigned(h.delay)).field("gain", unsigned(h.gain));
    w.field("triggerLevel", int(h.triggerLevel)).field("spare", h.spare);
    w.field("channelsRead", record.channelsRead).field("samplesRead", record.samplesRead);
    w.field("clipped", record.clipped).field("shortFile", record.shortFile);
    w.key("notes").beginArray();
    for (const QString &note : record.notes)
        w.value(note.toStdString());
    w.endArray();
    if (args.flag(QStringLiteral("samples"))) {
        w.key("channels").beginArray();
        for (int c = 0; c < record.channelsRead; ++c) {
            w.beginArray();
            for (int i = 0; i < record.samplesRead; ++i)
                w.value(int(record.channels[std::size_t(c)][std::size_t(i)]));
            w.endArray();
        }
        w.endArray();
    }
    w.endObject();
    printJson(w);
    return 0;
}

int runNew(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    // A survey with its picks and layers is not replaced by an empty one
    // unless asked to.
    if (QFileInfo::exists(path) && !args.flag(QStringLiteral("force")))
        throw Failure(QStringLiteral("文件 %1 已存在，没有改动它；要用新测试替换它请加 --force").arg(path));
    if (QFileInfo(path).isDir())
        throw Failure(QStringLiteral("%1 是一个文件夹").arg(path));
    common::ConsoleMessenger messenger;
    SurveyData survey;
    TalvexSettings store;
    survey.header.personnelLabel = store.personnelLabel();
    UndoSnapshot undo;
    CEditChanShuDialogModel model(survey, undo, messenger);
    HoleParameters p = newSurveyDefaults(survey, QDate::currentDate());
    applyHoleOptions(args, p, model, true);
    // Another command may be writing the same file: wait for it, then look
    // again whether there is a survey to keep.
    lockSurveyOrFail(path);
    if (QFileInfo::exists(path) && !args.flag(QStringLiteral("force")))
        throw Failure(QStringLiteral("文件 %1 已存在，没有改动它；要用新测试替换它请加 --force").arg(path));
    NewSurvey(survey, p);
    storeSurveyOrFail(survey, path);
    if (args.has(QStringLiteral("personnel-label")))
        storePersonnelLabel(store, p.personnelLabel);
    QString line = QStringLiteral("已建立新测试 %1：%2 个测点，测点间隔 %3 米，测孔深度 %4 米")
                       .arg(path)
                       .arg(survey.points.size())
                       .arg(number(p.pointSpacing), number(p.holeDepth));
    if (survey.points.size() == std::size_t(kMaxRecordCount))
        line += QStringLiteral("（测点数已达文件能保存的最多个数，更深处没有测点）");
    printLine(line);
    return 0;
}

int runImportFolder(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    const QByteArray folder = args.nativeWord(1, QStringLiteral("数据文件夹 FOLDER"));
    // "--channel auto": each point takes its own strongest S-wave channel.
    const int channel = args.text(QStringLiteral("channel")) == QStringLiteral("auto")
        ? kAutomaticChannel
        : args.integerIn(QStringLiteral("channel"), 1, 3).value_or(1);
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw Failure(QStringLiteral("没有数据文件夹 %1").arg(args.word(1, QString())));
    FieldRecord record;
    const FolderImportResult result = ImportFolder(survey, record, RecordFolderIndex(folder), channel, messenger);
    if (result.filesTaken == 0)
        return kExitRefused;
    storeSurveyOrFail(survey, path);
    // What was read is kept; files that could not be read make the import
    // incomplete, which the exit status says as well as the summary.
    if (!result.unreadable.isEmpty())
        throw Failure(QStringLiteral("%1 个数据文件不能读取，没有导入（其余 %2 个已导入并保存到 %3）")
                          .arg(result.unreadable.size())
                          .arg(result.filesTaken)
                          .arg(path));
    return 0;
}

int runImportRecord(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    args.word(1, QStringLiteral("数据文件 RECORD.cwd"));
    const int point = args.requiredInteger(QStringLiteral("point"));
    const auto channel = args.integerIn(QStringLiteral("channel"), 1, kRecordChannels);
    if (!channel)
        throw Failure(QStringLiteral("缺少选项 --channel"), kExitUsage);
    const auto as = args.choice(QStringLiteral("as"), {QStringLiteral("positive"), QStringLiteral("negative")});
    if (!as)
        throw Failure(QStringLiteral("缺少选项 --as（positive 或 negative）"), kExitUsage);
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    requirePoint(point, survey.points.size());
    FieldRecord record;
    readRecordOrFail(args, 1, record);
    if (*channel > record.channelsRead)
        throw Failure(QStringLiteral("数据文件 %1 只有 %2 个通道，没有通道 %3")
                          .arg(args.word(1, QString()))
                          .arg(record.channelsRead)
                          .arg(*channel));
    const bool positive = *as == QStringLiteral("positive");
    if (positive)
        SetPositiveTrace(survey, record, point, *channel);
    else
        SetNegativeTrace(survey, record, point, *channel);
    storeSurveyOrFail(survey, path);
    printLine(QStringLiteral("已将 %1 的通道 %2 设为第 %3 个测点的%4数据")
                  .arg(args.word(1, QString()))
                  .arg(*channel)
                  .arg(point)
                  .arg(positive ? QStringLiteral("正向") : QStringLiteral("反向")));
    printRecordNotes(record);
    return 0;
}

int runExport(const Args &args)
{
    const QString what = args.word(0, QStringLiteral("导出内容 waveforms|points|layers"));
    const QString path = args.word(1, QStringLiteral("测试文件 FILE.qsw"));
    const QString out = args.word(2, QStringLiteral("输出文件 OUT"));
    if (what != QStringLiteral("waveforms") && what != QStringLiteral("points") && what != QStringLiteral("layers"))
        throw Failure(QStringLiteral("导出内容只能是 waveforms、points 或 layers，不能是 “%1”").arg(what), kExitUsage);
    const QString formatName
        = args.choice(QStringLiteral("format"), {QStringLiteral("xls"), QStringLiteral("xlsx"), QStringLiteral("csv")})
              .value_or(QStringLiteral("xls"));
    const ExportFormat format = *exportFormatNamed(formatName);
    const ExportKind kind = what == QStringLiteral("waveforms") ? ExportKind::Waveforms
        : what == QStringLiteral("points")                      ? ExportKind::Points
                                                                : ExportKind::Layers;
    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    QString written;
    const common::FileError result = writeExport(kind, format, survey, out, &written);
    if (!result.ok)
        throw Failure(QStringLiteral("不能写出 %1：%2").arg(written, result.message));
    printLine(QStringLiteral("已写出 %1").arg(written));
    return 0;
}

} // namespace

namespace {

// The locks this process holds, by survey path; each is released when the
// process ends, so a command's load, change and save run as one.
struct HeldLocks {
    std::mutex mutex;
    std::map<QString, std::unique_ptr<QLockFile>> locks;
};

HeldLocks &heldLocks()
{
    static HeldLocks held;
    return held;
}

} // namespace

void lockSurveyOrFail(const QString &path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    HeldLocks &held = heldLocks();
    const std::lock_guard<std::mutex> guard(held.mutex);
    if (held.locks.count(file))
        return;
    auto lock = std::make_unique<QLockFile>(SurveyLockFileName(file));
    // A lock is only given up when its owner is gone, not after a time: a
    // long command keeps it.
    lock->setStaleLockTime(0);
    if (lock->tryLock(kSurveyLockWaitMs)) {
        held.locks.emplace(file, std::move(lock));
        return;
    }
    if (lock->error() == QLockFile::LockFailedError)
        throw Failure(
            QStringLiteral("测试文件 %1 正被另一个命令修改（锁文件 %1.lock），等待 %2 秒后仍未释放，文件没有改动")
                .arg(path)
                .arg(kSurveyLockWaitMs / 1000));
    // No lock file can be made there (a folder that does not exist or may
    // not be written to): nobody can save the survey there either, and the
    // command's own load or save says why.
}

void loadSurveyOrFail(SurveyData &survey, const QString &path, common::Messenger &messenger)
{
    lockSurveyOrFail(path);
    if (!LoadSurvey(survey, path, messenger))
        throw Failure(QStringLiteral("不能打开测试文件 %1").arg(path));
}

void storeSurveyOrFail(SurveyData &survey, const QString &path)
{
    const bool existed = QFileInfo::exists(path);
    const common::FileError e = StoreSurvey(survey, path);
    if (!e.ok)
        throw Failure(QStringLiteral("不能保存 %1：%2%3")
                          .arg(path, e.message, existed ? QStringLiteral("（原文件没有改动）") : QString()));
}

void requirePoint(int point, std::size_t count)
{
    if (count == 0)
        throw Failure(QStringLiteral("测点序号 %1 超出范围：本测试没有测点").arg(point));
    if (point < 1 || std::size_t(point) > count)
        throw Failure(QStringLiteral("测点序号 %1 超出范围 1～%2").arg(point).arg(count));
}

void printLine(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
}

namespace {

// Places a text takes in a terminal: two for Chinese and other wide characters.
int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x2E80 && !c.isLowSurrogate() ? 2 : (c.isLowSurrogate() ? 0 : 1);
    return width;
}

} // namespace

QString formatTable(const std::vector<QStringList> &rows, int leftAlignedColumns)
{
    std::vector<int> widths;
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (std::size_t(c) >= widths.size())
                widths.push_back(0);
            widths[std::size_t(c)] = std::max(widths[std::size_t(c)], displayWidth(row[c]));
        }
    }
    QStringList lines;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString pad(widths[std::size_t(c)] - displayWidth(row[c]), QLatin1Char(' '));
            const bool left = c >= row.size() - leftAlignedColumns;
            if (c > 0)
                line += QStringLiteral("  ");
            line += left ? row[c] + (c + 1 < row.size() ? pad : QString()) : pad + row[c];
        }
        // An empty last cell leaves no spaces at the end of the line.
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QString number(float value)
{
    // Seven significant digits: what a float holds, without exponents below
    // ten million.
    return QString::number(double(value), 'g', 7);
}

QString fixed(float value, int decimals)
{
    return QString::fromStdString(common::formatFixed(value, decimals));
}

void addSurveyCommands(std::vector<Command> &commands)
{
    std::vector<OptionSpec> newOptions = holeOptions(true);
    newOptions.insert(newOptions.begin(),
                      {QStringLiteral("force"), QString(),
                       QStringLiteral("FILE.qsw 已存在时用新测试替换它（不给则拒绝，文件不变）")});
    commands.push_back({QStringLiteral("new"), QStringLiteral("new FILE.qsw [--force] [测孔参数选项]"),
                        QStringLiteral("建立新测试：按测孔参数每个测点间隔一个空测点，直到测孔深度"),
                        QStringLiteral("测孔参数与“测孔参数修改”对话框的规则相同；未给的取默认值。"), newOptions, 1, 1,
                        runNew});
    commands.push_back(
        {QStringLiteral("import-folder"),
         QStringLiteral("import-folder FILE.qsw FOLDER [--channel 1|2|3|auto]"),
         QStringLiteral("导入文件夹数据：每个测点取名称以“&深度A.cwd”（正向）和“&深度B.cwd”（反向）结尾的文件"),
         QStringLiteral("深度为测点深度的整米数（截尾取整），文件名不分大小写；名称可以是 GBK 或 UTF-8。\n"
                        "扩展名 .cwd 也可以是 .dat 或 .sg2（地震仪的 SEG-2 文件），文件按内容识别。\n"
                        "不能读取的文件、数据不完整的文件和没有导入任何文件的测点都会列出。"),
         {{QStringLiteral("channel"), QStringLiteral("C"),
           QStringLiteral("导入的通道 1、2 或 3，或 auto：每个测点自动取剪切波信噪比最大的通道；默认 1")}},
         2,
         2,
         runImportFolder});
    commands.push_back(
        {QStringLiteral("import-record"),
         QStringLiteral("import-record FILE.qsw RECORD.cwd --point K --channel C --as positive|negative"),
         QStringLiteral("把一个数据文件的一个通道设为一个测点的正向或反向数据"),
         QStringLiteral(
             "数据文件可以是 .CWD 记录，也可以是地震仪的 SEG-2 文件（常见扩展名 .sg2、.dat），按文件内容识别。\n"
             "SEG-2 文件的各道按整个记录的最大绝对值换算为 16 位采样值（不截顶，各道幅值比例不变），\n"
             "采样间隔取 SAMPLE_INTERVAL，采样延时取第一道的 DELAY；只读入前 4 道、每道前 4096 个采样点。"),
         {{QStringLiteral("point"), QStringLiteral("K"), QStringLiteral("测点序号，从 1 起（必需）")},
          {QStringLiteral("channel"), QStringLiteral("C"), QStringLiteral("数据文件的通道 1～4（必需）")},
          {QStringLiteral("as"), QStringLiteral("positive|negative"),
           QStringLiteral("设为正向（positive）或反向（negative）数据（必需）")}},
         2,
         2,
         runImportRecord});
    commands.push_back({QStringLiteral("info"),
                        QStringLiteral("info FILE.qsw [--json [--traces]]"),
                        QStringLiteral("显示测试文件的概况（不改动文件）"),
                        QString(),
                        {{QStringLiteral("json"), QString(), QStringLiteral("以 JSON 输出测孔参数、分层和全部测点")},
                         {QStringLiteral("traces"), QString(),
                          QStringLiteral("JSON 中包含每个测点的正反向数据（各 1024 个采样点），须与 --json 同用")}},
                        1,
                        1,
                        runInfo});
    commands.push_back(
        {QStringLiteral("record-info"),
         QStringLiteral("record-info RECORD.cwd [--json [--samples]]"),
         QStringLiteral("显示一个现场数据文件（.cwd）的文件头；不是有效数据文件的会被拒绝"),
         QString(),
         {{QStringLiteral("json"), QString(), QStringLiteral("以 JSON 输出文件头的全部字段")},
          {QStringLiteral("samples"), QString(), QStringLiteral("JSON 中包含读入的各通道采样点，须与 --json 同用")}},
         1,
         1,
         runRecordInfo});
    commands.push_back(
        {QStringLiteral("export"),
         QStringLiteral("export waveforms|points|layers FILE.qsw OUT [--format xls|xlsx|csv]"),
         QStringLiteral("导出波形数据、测点波速表或分层波速表"),
         QStringLiteral("xls（默认）：波形为文本文件（.txt），测点表和分层表为制表符分隔的 GBK 文本（.xls），\n"
                        "  OUT 后总是加上扩展名；\n"
                        "xlsx：Excel 工作簿，一个工作表，首行为粗体并冻结，页眉为工程名称、孔号和测试日期；\n"
                        "csv：UTF-8（带 BOM）逗号分隔文本，一行表头。\n"
                        "xlsx 和 csv 的 OUT 按原样使用，没有 .xlsx / .csv 扩展名时才加上。打印实际写出的文件名。"),
         {{QStringLiteral("format"), QStringLiteral("xls|xlsx|csv"), QStringLiteral("输出格式，默认 xls")}},
         3,
         3,
         runExport});
}

} // namespace cli
