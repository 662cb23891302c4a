#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/jsonwriter.h"
#include "common/messenger.h"
#include "talvex/cli/cliargs.h"
#include "talvex/cli/commands.h"
#include "talvex/survey/exports.h"
#include "talvex/survey/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/survey/surveyfile.h"

#include <QDate>
#include <QFile>
#include <cstdio>
#include <iostream>

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

std::string fileTag(const std::string &path)
{
    QFile file(qtext(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray tag = file.read(9);
    return common::readFixedText(std::span<const char>(tag.constData(), std::size_t(tag.size())));
}

int runInfo(const Args &args)
{
    args.allowOnly({"json", "traces"});
    const std::string path = args.positional(1, "survey file");
    common::ConsoleMessenger messenger;
    const SurveyData &s = loadSurveyOrFail(path, messenger);
    const SurveyHeader &h = s.header;
    const bool traces = args.flag("traces");

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
    if (args.flag("json")) {
        printJson(w);
    } else {
        std::printf("%s  %s  hole %s: %zu points, %zu velocity layers, %zu survey-log layers\n",
                    fileTag(path).c_str(), utf8Of(h.projectName).c_str(), utf8Of(h.holeNumber).c_str(),
                    s.points.size(), s.layers.size(), s.logLayers.size());
    }
    return 0;
}

int runRecordInfo(const Args &args)
{
    args.allowOnly({"json", "samples"});
    const std::string path = args.positional(1, "record file");
    common::ConsoleMessenger messenger;
    FieldRecord record;
    if (!ReadFieldRecord(qtext(path), record, messenger))
        throw Failure("cannot read " + path);
    const FieldRecordHeader &h = record.header;
    common::JsonWriter w;
    w.beginObject();
    w.field("layout", h.isV2() ? "v2" : "old");
    w.field("siteName", utf8Of(h.siteName)).field("holeName", utf8Of(h.holeName));
    w.field("channelCount", int(h.channelCount));
    w.field("year", int(h.year)).field("month", int(h.month)).field("day", int(h.day));
    w.field("hour", int(h.hour)).field("minute", int(h.minute)).field("second", int(h.second));
    w.field("interval", unsigned(h.interval)).field("sampleCount", unsigned(h.sampleCount));
    w.field("delay", unsigned(h.delay)).field("gain", unsigned(h.gain));
    w.field("triggerLevel", int(h.triggerLevel)).field("spare", h.spare);
    w.field("channelsRead", record.channelsRead).field("samplesRead", record.samplesRead);
    w.field("clipped", record.clipped).field("shortFile", record.shortFile);
    if (args.flag("samples")) {
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
    if (args.flag("json")) {
        printJson(w);
    } else {
        std::printf("%s record: %d channels x %u samples, interval %u us, delay %u ms, gain %u%s\n",
                    h.isV2() ? "v2" : "old-layout", int(h.channelCount), unsigned(h.sampleCount),
                    unsigned(h.interval), unsigned(h.delay), unsigned(h.gain),
                    record.clipped ? " (more than the buffer holds: the first 4 channels x 4096 samples were read)" : "");
    }
    return 0;
}

int runNew(const Args &args)
{
    args.allowOnly({"hole-depth", "spacing", "source-distance", "plank-length", "method", "project", "hole",
                    "personnel", "date", "overburden", "computation-depth"});
    const std::string path = args.positional(1, "survey file");
    SurveyData &survey = theSurvey();
    HoleParameters p = newSurveyDefaults(survey, QDate::currentDate());
    if (auto v = args.number("hole-depth"))
        p.holeDepth = *v;
    if (auto v = args.number("spacing"))
        p.pointSpacing = *v;
    if (auto v = args.number("source-distance"))
        p.sourceDistance = *v;
    if (auto v = args.number("plank-length"))
        p.plankLength = *v;
    if (auto v = args.integer("method")) {
        if (*v != 0 && *v != 1)
            throw Failure("--method must be 0 (single hole) or 1 (cross hole)", 2);
        p.method = std::uint8_t(*v);
    }
    if (auto v = args.number("overburden"))
        p.overburden = *v;
    if (auto v = args.number("computation-depth"))
        p.computationDepth = *v;
    if (auto v = args.text("project"))
        p.projectName = gbkOrFail(*v, "--project");
    if (auto v = args.text("hole"))
        p.holeNumber = gbkOrFail(*v, "--hole");
    if (auto v = args.text("personnel"))
        p.personnel = gbkOrFail(*v, "--personnel");
    if (auto v = args.text("date"))
        p.testDate = gbkOrFail(*v, "--date");
    NewSurvey(survey, p);
    storeSurveyOrFail(path);
    std::printf("%zu points\n", survey.points.size());
    return 0;
}

int runImportFolder(const Args &args)
{
    args.allowOnly({"channel"});
    const std::string path = args.positional(1, "survey file");
    const std::string folder = args.positional(2, "folder");
    const int channel = args.integer("channel").value_or(1);
    if (channel < 1 || channel > 3)
        throw Failure("--channel must be 1, 2 or 3", 2);
    common::ConsoleMessenger messenger;
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    FieldRecord record;
    const FolderImportResult result = ImportFolder(survey, record, qtext(folder), channel, messenger);
    if (result.filesTaken > 0)
        storeSurveyOrFail(path);
    return result.filesTaken > 0 ? 0 : 1;
}

int runImportRecord(const Args &args)
{
    args.allowOnly({"point", "channel", "as"});
    const std::string path = args.positional(1, "survey file");
    const std::string recordPath = args.positional(2, "record file");
    const int point = args.requiredInteger("point");
    const int channel = args.requiredInteger("channel");
    const std::string as = args.text("as").value_or("");
    if (as != "positive" && as != "negative")
        throw Failure("--as must be positive or negative", 2);
    common::ConsoleMessenger messenger;
    SurveyData &survey = loadSurveyOrFail(path, messenger);
    if (point < 1 || std::size_t(point) > survey.points.size())
        throw Failure("the survey has no point " + std::to_string(point), 1);
    if (channel < 1 || channel > kRecordChannels)
        throw Failure("--channel must be 1...4", 2);
    FieldRecord record;
    if (!ReadFieldRecord(qtext(recordPath), record, messenger))
        throw Failure("cannot read " + recordPath);
    if (channel > record.channelsRead)
        throw Failure("the record has no channel " + std::to_string(channel), 1);
    if (as == "positive")
        SetPositiveTrace(survey, record, point, channel);
    else
        SetNegativeTrace(survey, record, point, channel);
    storeSurveyOrFail(path);
    return 0;
}

int runExport(const Args &args)
{
    args.allowOnly({});
    const std::string what = args.positional(1, "waveforms|points|layers");
    const std::string path = args.positional(2, "survey file");
    const std::string out = args.positional(3, "output path");
    common::ConsoleMessenger messenger;
    const SurveyData &survey = loadSurveyOrFail(path, messenger);
    common::FileError result;
    QString written;
    if (what == "waveforms")
        result = ExportWaveforms(survey, qtext(out), &written);
    else if (what == "points")
        result = ExportPointTable(survey, qtext(out), &written);
    else if (what == "layers")
        result = ExportLayerTable(survey, qtext(out), &written);
    else
        throw Failure("export what? waveforms, points or layers", 2);
    if (!result.ok)
        throw Failure("cannot write " + written.toStdString() + ": " + result.message.toStdString());
    std::printf("%s\n", written.toUtf8().constData());
    return 0;
}

} // namespace

SurveyData &loadSurveyOrFail(const std::string &path, common::Messenger &messenger)
{
    SurveyData &survey = theSurvey();
    if (!LoadSurvey(survey, qtext(path), messenger))
        throw Failure("cannot open the survey " + path);
    return survey;
}

void storeSurveyOrFail(const std::string &path)
{
    const common::FileError e = StoreSurvey(theSurvey(), qtext(path));
    if (!e.ok)
        throw Failure("cannot save " + path + ": " + e.message.toStdString());
}

std::string gbkOrFail(const std::string &utf8, const std::string &what)
{
    const QString text = qtext(utf8);
    const auto bytes = common::encodeGbk(text);
    if (!bytes)
        throw Failure(what + ": these characters cannot be stored (GBK): " + common::unencodableGbk(text).toStdString(), 2);
    return bytes->toStdString();
}

void addSurveyCommands(std::vector<Command> &commands)
{
    commands.push_back({"new", "new FILE.qsw [--hole-depth M] [--spacing M] [--source-distance M] [--plank-length M] "
                               "[--method 0|1] [--project T] [--hole T] [--personnel T] [--date T] [--overburden M] "
                               "[--computation-depth M]",
                        {}, runNew});
    commands.push_back({"import-folder", "import-folder FILE.qsw FOLDER [--channel 1|2|3]", {}, runImportFolder});
    commands.push_back({"import-record", "import-record FILE.qsw RECORD.cwd --point K --channel C --as positive|negative",
                        {}, runImportRecord});
    commands.push_back({"info", "info FILE.qsw [--json] [--traces]", {"json", "traces"}, runInfo});
    commands.push_back({"record-info", "record-info RECORD.cwd [--json] [--samples]", {"json", "samples"}, runRecordInfo});
    commands.push_back({"export", "export waveforms|points|layers FILE.qsw OUT", {}, runExport});
}

} // namespace cli
