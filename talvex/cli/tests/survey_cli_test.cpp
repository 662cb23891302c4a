#include "clirunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include "records/fieldrecord.h"
#include "records/tests/seg2writer.h"
#include "common/tests/workbookreader.h"
#include <gtest/gtest.h>

using clitest::cli;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SurveyCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        survey = dir.filePath("s.qsw");
        records = dir.filePath("rec");
        const auto gen = clitest::run(QStringLiteral(SAMPLEGEN), {"--out", records, "--depth", "6", "--channels", "2"});
        ASSERT_EQ(gen.exitCode, 0) << gen.err.toStdString();
    }
    QTemporaryDir dir;
    QString survey;
    QString records;
};

} // namespace

TEST_F(SurveyCli, NewImportInfoAndExports)
{
    auto r = cli({"new", survey, "--hole-depth", "6", "--spacing", "1.5", "--project", "示例工程", "--hole", "ZK9",
                  "--method", "1", "--source-distance", "2.25", "--date", "2026-12-7"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    r = cli({"import-folder", survey, records, "--channel", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Depths 1.5, 3, 4.5, 6 truncate to 1, 3, 4, 6: eight files.
    EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), QString::fromUtf8("共成功导入数据文件8个"));

    r = cli({"info", survey, "--json", "--traces"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject info = r.json();
    EXPECT_EQ(info["version"].toString(), "Tlv13.01");
    const QJsonObject header = info["header"].toObject();
    EXPECT_EQ(header["projectName"].toString(), QString::fromUtf8("示例工程"));
    EXPECT_EQ(header["method"].toInt(), 1);
    EXPECT_EQ(header["sourceDistance"].toDouble(), 2.25);
    EXPECT_EQ(header["testDate"].toString(), "2026-12-7");
    const QJsonArray points = info["points"].toArray();
    ASSERT_EQ(points.size(), 4);
    EXPECT_EQ(points[1].toObject()["depth"].toDouble(), 3.0);
    EXPECT_EQ(points[1].toObject()["interval"].toDouble(), 25.0);
    EXPECT_EQ(points[1].toObject()["positive"].toArray().size(), 1024);
    EXPECT_EQ(points[0].toObject()["crossDistance"].toDouble(), 2.25);

    const QString out = dir.filePath("table");
    r = cli({"export", "points", survey, out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray table = readAll(out + ".xls");
    EXPECT_EQ(table.count("\r\n"), 5);
    EXPECT_TRUE(table.contains("\r\n4.5\t\t\t"));
    r = cli({"export", "waveforms", survey, dir.filePath("w.txt")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("w.txt.txt")));

    // The workbook and CSV forms: the name kept when it has the extension.
    r = cli({"export", "points", survey, dir.filePath("p.xlsx"), "--format", "xlsx"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const workbooktest::Sheet sheet = workbooktest::readSheet(dir.filePath("p.xlsx"));
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.cells.at("A5").number, 6.0);
    EXPECT_EQ(sheet.cells.at("A5").numberFormat, QStringLiteral("0.0"));
    EXPECT_TRUE(sheet.header.contains(QStringLiteral("示例工程")));
    r = cli({"export", "layers", survey, dir.filePath("l"), "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(readAll(dir.filePath("l.csv")).startsWith("\xEF\xBB\xBF"));
    r = cli({"export", "waveforms", survey, dir.filePath("w.csv"), "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QByteArray> waveLines = readAll(dir.filePath("w.csv")).split('\n');
    ASSERT_EQ(waveLines.size(), 1 + 4 * 2 + 1);
    EXPECT_EQ(waveLines[1].count(','), 1 + 1024);

    // An unknown format is a usage error; nothing is written.
    r = cli({"export", "points", survey, dir.filePath("q"), "--format", "ods"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("q")) || QFileInfo::exists(dir.filePath("q.ods")));
}

TEST_F(SurveyCli, ImportFolderCanChooseEachPointsChannel)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "6", "--spacing", "1"}).exitCode, 0);
    const auto r = cli({"import-folder", survey, records, "--channel", "auto"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString out = QString::fromUtf8(r.out);
    EXPECT_TRUE(out.contains(QString::fromUtf8("共成功导入数据文件12个"))) << out.toStdString();
    // Which channel each point took is said.
    EXPECT_TRUE(out.contains(QString::fromUtf8("自动选择的通道"))) << out.toStdString();
}

TEST_F(SurveyCli, ImportRecordAndRecordInfo)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "3"}).exitCode, 0);
    const QString record = QDir(records).filePath("ZK1&2B.cwd");
    auto r = cli({"record-info", record, "--json", "--samples"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject rec = r.json();
    EXPECT_EQ(rec["layout"].toString(), "v2");
    EXPECT_EQ(rec["channelCount"].toInt(), 2);
    EXPECT_EQ(rec["sampleCount"].toInt(), 1024);
    const QJsonArray ch2 = rec["channels"].toArray()[1].toArray();
    ASSERT_EQ(ch2.size(), 1024);

    r = cli({"import-record", survey, record, "--point", "3", "--channel", "2", "--as", "negative"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject info = cli({"info", survey, "--json", "--traces"}).json();
    const QJsonObject p3 = info["points"].toArray()[2].toObject();
    EXPECT_EQ(p3["negative"].toArray()[700].toInt(), ch2[700].toInt());
    EXPECT_EQ(p3["delay"].toDouble(), rec["delay"].toDouble());
    EXPECT_EQ(p3["positive"].toArray()[700].toInt(), 0);
}

TEST_F(SurveyCli, SeismographRecordShowsItsDateAndANegativeDelay)
{
    using namespace talvex::test;
    Seg2File file;
    file.strings = {"ACQUISITION_DATE 7/MAR/2018", "ACQUISITION_TIME 10:30:41"};
    file.traces = {packedTrace({{100, 0}, {-3, 2}, {5, 1}})};
    file.traces[0].strings = {"SAMPLE_INTERVAL 0.000125", "DELAY -0.01"};
    const std::vector<std::uint8_t> bytes = seg2Bytes(file);
    const QString record = dir.filePath("shot.sg2");
    {
        QFile f(record);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
    }
    auto r = cli({"record-info", record, "--json", "--samples"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject rec = r.json();
    EXPECT_EQ(rec["layout"].toString(), "seg2");
    EXPECT_EQ(rec["date"].toString(), "2018-03-07");
    EXPECT_EQ(rec["time"].toString(), "10:30:41");
    EXPECT_EQ(rec["delay"].toDouble(), -10.0);
    EXPECT_EQ(rec["headerDelay"].toInt(), 0);
    ASSERT_EQ(rec["notes"].toArray().size(), 1);
    EXPECT_TRUE(rec["notes"].toArray()[0].toString().contains(QString::fromUtf8("激发前 10 ms")));
    EXPECT_EQ(rec["channels"].toArray()[0].toArray()[1].toInt(), -12);

    r = cli({"record-info", record});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString plain = QString::fromUtf8(r.out);
    EXPECT_TRUE(plain.contains(QString::fromUtf8("采样延时 -10 ms"))) << plain.toStdString();
    EXPECT_TRUE(plain.contains(QString::fromUtf8("采集时间 2018-03-07 10:30:41"))) << plain.toStdString();
    EXPECT_TRUE(plain.contains(QString::fromUtf8("注意：采样延时为 -10 ms"))) << plain.toStdString();

    // The point gets the delay as it is.
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "3"}).exitCode, 0);
    r = cli({"import-record", survey, record, "--point", "1", "--channel", "1", "--as", "positive"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject p1 = cli({"info", survey, "--json"}).json()["points"].toArray()[0].toObject();
    EXPECT_EQ(p1["delay"].toDouble(), -10.0);

    // A date that cannot be read is named; the record is still read.
    file.strings = {"ACQUISITION_DATE 31/APR/2013"};
    const std::vector<std::uint8_t> bad = seg2Bytes(file);
    {
        QFile f(record);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char *>(bad.data()), qint64(bad.size()));
    }
    r = cli({"record-info", record, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.json()["date"].toString(), "");
    EXPECT_TRUE(r.json()["notes"].toArray()[0].toString().contains("31/APR/2013"));
}

TEST_F(SurveyCli, RefusalsExitNonZeroAndLeaveTheFile)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "3"}).exitCode, 0);
    const QByteArray before = readAll(survey);
    const QString record = QDir(records).filePath("ZK1&2A.cwd");

    const QList<QStringList> refused = {
        {"import-record", survey, record, "--point", "9", "--channel", "1", "--as", "positive"},
        {"import-record", survey, record, "--point", "1", "--channel", "3", "--as", "positive"},
        {"import-record", survey, record, "--point", "1", "--channel", "1", "--as", "sideways"},
        {"import-folder", survey, dir.filePath("nothing-here")},
        {"import-folder", survey, records, "--channel", "4"},
        {"import-folder", survey, records, "--channel", "automatic"},
        {"new", survey, "--force", "--hole", "孔😀"},
        {"new", survey, "--force", "--hole-depth", "ten"},
        {"new", survey, "--force", "--bogus", "1"},
        {"export", "pictures", survey, dir.filePath("x")},
        {"info", dir.filePath("missing.qsw")},
        {"frobnicate"},
    };
    for (const QStringList &args : refused) {
        const auto r = cli(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty() && r.out.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_EQ(readAll(survey), before);

    // A file that is not a survey is refused with the format message.
    QFile bad(dir.filePath("bad.qsw"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("Xyz13.01");
    bad.close();
    const auto r = cli({"info", bad.fileName()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("错误的数据格式!!")));

    EXPECT_EQ(cli({"--version"}).exitCode, 0);
    EXPECT_EQ(cli({"--help"}).exitCode, 0);
}

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Runs talvex-cli through the shell so that arguments can carry bytes that
// are not UTF-8: "\ooo" escapes in `raw` become those bytes.
clitest::Run cliRaw(const QString &command, const QString &raw, const QString &more = QString())
{
    return clitest::run(QStringLiteral("/bin/sh"),
                        {"-c", QStringLiteral("exec \"$0\" %1 %2 \"$(printf '%b' \"$1\")\"").arg(command, more),
                         QStringLiteral(TALVEX_CLI), raw});
}

} // namespace

TEST_F(SurveyCli, GarbageNamedLikeRecordsIsRefused)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "2"}).exitCode, 0);
    const QByteArray before = readAll(survey);
    const QString junk = dir.filePath("junk");
    QDir().mkpath(junk);
    writeFile(junk + "/ZK1&1A.cwd", QByteArray("This is not a record.\n").repeated(30));
    writeFile(junk + "/ZK1&1B.cwd", QByteArray());
    writeFile(junk + "/ZK1&2A.cwd", QByteArray(600, '\xff'));

    auto r = cli({"import-folder", survey, junk});
    EXPECT_EQ(r.exitCode, 1);
    const QString said = QString::fromUtf8(r.out + r.err);
    EXPECT_TRUE(said.startsWith(QString::fromUtf8("找到相应文件3个，但都不能读取！"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8("ZK1&1B.cwd 不是有效的波速测试现场数据文件")));
    EXPECT_EQ(readAll(survey), before);

    r = cli({"record-info", junk + "/ZK1&1A.cwd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(junk + "/ZK1&1A.cwd")) << r.err.toStdString();
    r = cli({"import-record", survey, junk + "/ZK1&2A.cwd", "--point", "1", "--channel", "1", "--as", "positive"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readAll(survey), before);
}

TEST_F(SurveyCli, ShortRecordsAndPointsWithoutRecordsAreSaid)
{
    // A 6 m folder into an 8 m survey, one record cut short.
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "8"}).exitCode, 0);
    const QString cut = QDir(records).filePath("ZK1&3A.cwd");
    QByteArray bytes = readAll(cut);
    writeFile(cut, bytes.left(2000));
    auto r = cli({"import-folder", survey, records});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString said = QString::fromUtf8(r.out + r.err);
    EXPECT_TRUE(said.contains(QString::fromUtf8("数据不完整的文件1个"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8("没有导入任何数据文件的测点：第7～8点（7～8米）")))
        << said.toStdString();

    r = cli({"record-info", cut});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("文件不完整"))) << r.out.toStdString();
    r = cli({"import-record", survey, cut, "--point", "1", "--channel", "1", "--as", "positive"});
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("文件不完整"))) << r.out.toStdString();

    // A whole record longer than the buffer is not short.
    talvex::FieldRecordData longer;
    longer.header.interval = 25;
    longer.channels.assign(2, std::vector<std::int16_t>(5000, 7));
    ASSERT_TRUE(talvex::writeFieldRecordV2(dir.filePath("long.cwd"), longer).ok);
    r = cli({"record-info", dir.filePath("long.cwd"), "--json"});
    EXPECT_FALSE(r.json()["shortFile"].toBool());
    EXPECT_TRUE(r.json()["clipped"].toBool());
}

TEST_F(SurveyCli, GbkFileNamesAreFoundAndOpened)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "2"}).exitCode, 0);
    // "测孔&2A.cwd" in GBK bytes, as copied from the instrument's PC.
    const QString gbk = dir.filePath("gbk");
    QDir().mkpath(gbk);
    const QByteArray name = QFile::encodeName(gbk) + "/\xb2\xe2\xbf\xd7&2A.cwd";
    const QByteArray record = readAll(QDir(records).filePath("ZK1&2A.cwd"));
    FILE *f = std::fopen(name.constData(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(record.constData(), 1, std::size_t(record.size()), f);
    std::fclose(f);

    auto r = cliRaw("record-info", gbk + "/\\262\\342\\277\\327&2A.cwd");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = cli({"import-folder", survey, gbk});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out + r.err).startsWith(QString::fromUtf8("共成功导入数据文件1个")));
    EXPECT_EQ(cli({"info", survey, "--json"}).json()["points"].toArray()[1].toObject()["interval"].toDouble(), 25.0);
}

namespace {

// The environment of a run whose settings store lies in `folder` (not the
// user's own).
QProcessEnvironment settingsIn(const QString &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
    env.insert(QStringLiteral("HOME"), folder);
    return env;
}

} // namespace

TEST_F(SurveyCli, PersonnelLabelIsKeptInTheSettingsStore)
{
    const QProcessEnvironment env = settingsIn(dir.filePath("config"));
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "3", "--personnel", "李工", "--personnel-label", "2"}, env).exitCode,
              0);
    // What hole shows comes from the store the report and figures read.
    auto r = cli({"hole", survey}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QRegularExpression(QString::fromUtf8("测试仪器 +李工"))))
        << r.out.toStdString();
    r = cli({"hole", survey, "--personnel-label", "0"}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("测试人标签 2 → 0"))) << r.out.toStdString();
    r = cli({"hole", survey}, env);
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QRegularExpression(QString::fromUtf8("测试人 +李工"))))
        << r.out.toStdString();
    // Giving the stored label again changes nothing.
    r = cli({"hole", survey, "--personnel-label", "0"}, env);
    EXPECT_TRUE(QString::fromUtf8(r.out).startsWith(QString::fromUtf8("测孔参数没有变化"))) << r.out.toStdString();
}

TEST_F(SurveyCli, ParallelChangesOfOneSurveyAreAllKept)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "3"}).exitCode, 0);
    // Two writers at a time, twenty times: each holds the survey's lock
    // file from loading to saving, so no change is lost.
    for (int round = 0; round < 20; ++round) {
        QProcess a;
        QProcess b;
        a.start(QStringLiteral(TALVEX_CLI), {"log", survey, "add", "--soil", QStringLiteral("a%1").arg(round)});
        b.start(QStringLiteral(TALVEX_CLI), {"log", survey, "add", "--soil", QStringLiteral("b%1").arg(round)});
        ASSERT_TRUE(a.waitForFinished(60000) && b.waitForFinished(60000));
        EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
        EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    }
    const auto info = cli({"info", survey, "--json"});
    EXPECT_EQ(info.json()["logLayers"].toArray().size(), 40);
    // The lock files go with their commands.
    EXPECT_FALSE(QFileInfo::exists(survey + ".lock"));
}

TEST_F(SurveyCli, ChangesSayWhatHappenedAndRefuseTheSameAsTheDialogs)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "6"}).exitCode, 0);
    ASSERT_EQ(cli({"import-folder", survey, records}).exitCode, 0);

    // A new interval keeps the arrival time, so the pick moves to another sample.
    ASSERT_EQ(cli({"point", survey, "--point", "2", "--arrival-ms", "5"}).exitCode, 0);
    auto r = cli({"point", survey, "--point", "2", "--interval", "50"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(
        QString::fromUtf8("S 波初至保持 5 ms，按新的采样间隔落在第 100 个采样点（原为第 200 个）")))
        << r.out.toStdString();

    // One rule for the survey log: an end below the next layer's end is
    // refused by set as an end above the start is by add.
    ASSERT_EQ(cli({"log", survey, "add", "--bottom", "2"}).exitCode, 0);
    ASSERT_EQ(cli({"log", survey, "add", "--bottom", "5"}).exitCode, 0);
    const QByteArray before = readAll(survey);
    r = cli({"log", survey, "set", "--layer", "1", "--bottom", "50"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.out + r.err).contains(QString::fromUtf8("第 2 层土层结束于 5 米")))
        << r.err.toStdString();
    EXPECT_EQ(readAll(survey), before);
    EXPECT_EQ(cli({"log", survey, "add", "--bottom", "1"}).exitCode, 1);
    EXPECT_EQ(readAll(survey), before);

    // The New dialog's rules: a negative spacing (outside the range the help
    // states) and a hole shallower than one spacing are no survey.
    const QString fresh = dir.filePath("fresh.qsw");
    r = cli({"new", fresh, "--spacing", "-1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("测点间隔: 请输入一个大于 0 的数。")));
    EXPECT_FALSE(QFileInfo::exists(fresh));
    r = cli({"new", fresh, "--spacing", "3", "--hole-depth", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("新测试将没有测点"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(fresh));

    // Files that could not be read make the import incomplete: exit 1 with
    // the summary, what was read is kept.
    writeFile(QDir(records).filePath("ZK1&2B.cwd"), QByteArray("not a record"));
    r = cli({"import-folder", survey, records});
    EXPECT_EQ(r.exitCode, 1);
    const QString said = QString::fromUtf8(r.out + r.err);
    EXPECT_TRUE(said.contains(QString::fromUtf8("ZK1&2B.cwd"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8("1 个数据文件不能读取"))) << said.toStdString();
}

TEST_F(SurveyCli, SystemErrorsAreSaidInChinese)
{
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "3"}).exitCode, 0);
    const auto english = QRegularExpression(QStringLiteral("[A-Za-z]{3,}"));
    const auto withoutPaths = [](const QByteArray &text) {
        return QString::fromUtf8(text)
            .remove(QRegularExpression(QString::fromUtf8("^talvex-cli [a-z-]+：")))
            .remove(QRegularExpression(QString::fromUtf8("/[^：，（）\\s]+")));
    };
    // A folder that does not exist: no file was there, so none is "kept".
    const QString nowhere = dir.filePath("missing/s.qsw");
    auto r = cli({"new", nowhere});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("文件或文件夹不存在"))) << r.err.toStdString();
    EXPECT_FALSE(QString::fromUtf8(r.err).contains(QString::fromUtf8("原文件没有改动"))) << r.err.toStdString();
    EXPECT_FALSE(withoutPaths(r.err).contains(english)) << r.err.toStdString();

    r = cli({"export", "points", survey, dir.filePath("missing/p")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("文件或文件夹不存在"))) << r.err.toStdString();
    for (const char *format : {"xlsx", "csv"}) {
        r = cli({"export", "points", survey, dir.filePath("missing/p"), "--format", format});
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_FALSE(withoutPaths(r.err).contains(english)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));

    // A picture too large to draw.
    r = cli({"render", survey, dir.filePath("big.png"), "--mode", "0", "--scale", "10", "--dpi", "1200"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("像素"))) << r.err.toStdString();
    EXPECT_FALSE(withoutPaths(r.err).contains(QRegularExpression(QStringLiteral("[A-Za-z]{4,}"))))
        << r.err.toStdString();
}
