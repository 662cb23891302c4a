// Records taken into a survey: a channel of the import buffer into a
// point's trace, and the folder import that matches record files to points.

#include "common/messenger.h"
#include "records/fieldrecord.h"
#include "records/tests/recordtestdata.h"
#include "records/seg2record.h"
#include "records/tests/seg2writer.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/recordtraces.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <gtest/gtest.h>

using namespace talvex;
using namespace talvex::recordtest;
using namespace talvex::test;

namespace {

QByteArray recordBytes(const FieldRecordData &data)
{
    const auto bytes = encodeFieldRecordV2(data);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

SurveyData surveyAt(std::initializer_list<float> depths)
{
    SurveyData s;
    for (const float depth : depths) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = depth;
        s.points.push_back(p);
    }
    return s;
}

} // namespace

TEST(FieldRecord, SetTraceCopiesTheFirst1024SamplesAndKeepsThePick)
{
    SurveyData s;
    TlvOne p = TlvOne::newPoint(1.5f);
    p.sArrival = 321;
    p.depth = 4.0f;
    p.pointVelocity = 180.0f;
    s.points = {p, p};
    FieldRecord rec;
    parseFieldRecord(encodeFieldRecordV2(ramp(2, 4096)), rec);
    s.setModified(false);
    ASSERT_TRUE(SetPositiveTrace(s, rec, 2, 2));
    const TlvOne &q = s.points[1];
    EXPECT_TRUE(s.isModified());
    EXPECT_EQ(q.positive[1023], 1000 + 1023);
    EXPECT_EQ(q.sArrival, 321);
    EXPECT_EQ(q.depth, 4.0f);
    EXPECT_EQ(q.pointVelocity, 180.0f);
    EXPECT_EQ(q.interval, 50.0f);
    EXPECT_EQ(q.delay, 7.0f);
    EXPECT_EQ(q.gain, 100);
    EXPECT_EQ(s.points[0].positive[5], 0);

    parseFieldRecord(encodeFieldRecordV2(ramp(1, 512)), rec);
    ASSERT_TRUE(SetNegativeTrace(s, rec, 1, 1));
    EXPECT_EQ(s.points[0].negative[511], 511);
    EXPECT_EQ(s.points[0].negative[512], 0);

    EXPECT_FALSE(SetPositiveTrace(s, rec, 3, 1));
    EXPECT_FALSE(SetPositiveTrace(s, rec, 0, 1));
    EXPECT_FALSE(SetPositiveTrace(s, rec, 1, 5));
}

TEST(FolderImport, MatchesNamesByDepthAndBlowIgnoringCase)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, int channels, std::int16_t mark) {
        FieldRecordData d = ramp(channels, 1024);
        d.channels[0][0] = mark;
        if (channels > 1)
            d.channels[1][0] = std::int16_t(mark + 1);
        ASSERT_TRUE(writeFieldRecordV2(dir.filePath(QString::fromUtf8(name)), d).ok);
    };
    write("ZK1&2A.cwd", 2, 10);
    write("other&2A.cwd", 2, 20); // a later name in byte order
    write("zk1&2b.CWD", 2, 30);
    write("x&12A.cwd", 2, 40); // depth 12, not 2
    write("x&02A.cwd", 2, 50); // "02" is not how 2 is written
    write("y&0a.cwd", 2, 60);
    write("y&0B.cwd.bak", 2, 70);
    write("z2A.cwd", 2, 80); // no "&"
    // A pipe with a record's name is not a record: opening it would wait for a writer.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("f&7A.cwd")).constData(), 0600), 0);

    SurveyData s = surveyAt({2.5f, 0.4f, 2.0f, 7.0f});
    FieldRecord rec;
    common::RecordingMessenger m;
    const FolderImportResult r = ImportFolder(s, rec, dir.path(), 2, m);
    // 2.5 m: A and B; 0.4 m: A only; 2.0 m: A and B again.
    EXPECT_EQ(r.filesTaken, 5);
    // The 7 m point's only file is a pipe, so it got nothing.
    EXPECT_EQ(m.last(), QString::fromUtf8("共成功导入数据文件5个\n没有导入任何数据文件的测点：第4点（7米）"));
    EXPECT_EQ(r.currentPoint, 3);
    EXPECT_EQ(r.selectedChannel, 2);
    EXPECT_EQ(s.points[0].positive[0], 11); // ZK1&2A, channel 2
    EXPECT_EQ(s.points[0].negative[0], 31);
    EXPECT_EQ(s.points[1].positive[0], 61);
    EXPECT_EQ(s.points[1].negative[0], 0);
    EXPECT_EQ(s.points[2].positive[0], 11);
    EXPECT_EQ(s.points[3].positive[0], 0);
    EXPECT_TRUE(s.isModified());

    const RecordFolderIndex index(dir.path());
    EXPECT_TRUE(index.find(12, 'A').nativePath.endsWith("/x&12A.cwd"));
    EXPECT_TRUE(index.find(3, 'A').nativePath.isEmpty());
}

TEST(FolderImport, AnUnreadableRecordKeepsThePointsTrace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("h&1A.cwd"), ramp(1, 1024)).ok);
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("h&1B.cwd"), ramp(1, 1024)).ok);
    SurveyData s;
    TlvOne p = TlvOne::newPoint(1.5f);
    p.depth = 1.0f;
    p.positive.fill(5);
    p.interval = 40.0f;
    s.points.push_back(p);

    // The positive record disappears after the folder was listed.
    const RecordFolderIndex index(dir.path());
    ASSERT_TRUE(QFile::remove(dir.filePath("h&1A.cwd")));
    FieldRecord rec;
    common::RecordingMessenger m;
    const FolderImportResult r = ImportFolder(s, rec, index, 1, m);
    EXPECT_EQ(r.filesTaken, 1);
    EXPECT_EQ(r.filesFound, 2);
    // One message: the count, then the file that could not be read.
    ASSERT_EQ(m.messages.size(), 1);
    EXPECT_EQ(m.last(), QString::fromUtf8("共成功导入数据文件1个\n不能读取的文件1个：\n不能打开文件 h&1A.cwd"));
    EXPECT_EQ(s.points[0].positive[100], 5);
    EXPECT_EQ(s.points[0].negative[100], 100);
    EXPECT_EQ(s.points[0].interval, 50.0f);
}

TEST(FolderImport, NothingFoundSaysSo)
{
    QTemporaryDir dir;
    SurveyData s;
    FieldRecord rec;
    common::RecordingMessenger m;
    EXPECT_EQ(ImportFolder(s, rec, dir.path(), 1, m).filesTaken, 0);
    EXPECT_EQ(m.last(), QString::fromUtf8("未找到相应文件！\n请确认该目录下的文件或查看文件命名规范！"));

    s.points.push_back(TlvOne::newPoint(1.5f));
    s.points[0].depth = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ImportFolder(s, rec, dir.path(), 1, m).filesTaken, 0);
}

TEST(FolderImport, GarbageIsNotImportedAndMissingPointsAreNamed)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("ZK1&1A.cwd"), QByteArray("not a record at all"));
    writeBytes(dir.filePath("ZK1&1B.cwd"), QByteArray(300, '\x7f'));
    SurveyData s = surveyAt({1.0f, 2.0f});
    s.points[0].positive.fill(5);
    s.points[0].interval = 40.0f;
    FieldRecord rec;
    common::RecordingMessenger m;
    FolderImportResult r = ImportFolder(s, rec, dir.path(), 1, m);
    EXPECT_EQ(r.filesTaken, 0);
    EXPECT_EQ(r.filesFound, 2);
    EXPECT_EQ(r.unreadable.size(), 2);
    EXPECT_TRUE(m.last().startsWith(
        QString::fromUtf8("找到相应文件2个，但都不能读取！\n不能读取的文件2个：\nZK1&1A.cwd 不是有效的")))
        << m.last().toStdString();
    EXPECT_EQ(s.points[0].positive[3], 5);
    EXPECT_EQ(s.points[0].interval, 40.0f);
    EXPECT_FALSE(s.isModified());

    // A 2 m folder into a 5 m survey: points 3...5 got nothing, point 1 a short record.
    auto cut = recordBytes(ramp(1, 1024));
    writeBytes(dir.filePath("ZK1&1A.cwd"), cut.left(600));
    writeBytes(dir.filePath("ZK1&2B.cwd"), recordBytes(ramp(1, 1024)));
    s = surveyAt({1.0f, 2.0f, 3.0f, 4.5f, 5.0f});
    m.clear();
    r = ImportFolder(s, rec, dir.path(), 1, m);
    EXPECT_EQ(r.filesTaken, 2);
    EXPECT_EQ(r.pointsWithoutRecord, (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(r.shortFiles, QStringList{"ZK1&1A.cwd"});
    EXPECT_TRUE(m.last().endsWith(QString::fromUtf8("没有导入任何数据文件的测点：第3～5点（3～5米）")))
        << m.last().toStdString();
    EXPECT_TRUE(m.last().contains(QString::fromUtf8("数据不完整的文件1个")));
    EXPECT_EQ(m.kinds.last(), common::MessageKind::Warning);
}

TEST(FolderImport, CancellingLeavesNoHalfImportedPoint)
{
    QTemporaryDir dir;
    for (const char *name : {"k&1A.cwd", "k&1B.cwd", "k&2A.cwd", "k&2B.cwd"})
        ASSERT_TRUE(writeFieldRecordV2(dir.filePath(QString::fromUtf8(name)), ramp(1, 1024)).ok);
    SurveyData s = surveyAt({1.0f, 2.0f});
    FieldRecord rec;
    common::RecordingMessenger m;
    std::vector<std::pair<int, int>> calls;
    // Stop before the fourth file: point 2 has its positive record read but
    // must not get it without the negative one.
    const auto progress = [&calls](int done, int total) {
        calls.emplace_back(done, total);
        return done < 3;
    };
    const FolderImportResult r = ImportFolder(s, rec, dir.path(), 1, m, progress);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 4}, {1, 4}, {2, 4}, {3, 4}}));
    EXPECT_EQ(r.filesTaken, 2);
    EXPECT_EQ(s.points[0].positive[7], 7);
    EXPECT_EQ(s.points[0].negative[7], 7);
    EXPECT_EQ(s.points[1].positive[7], 0);
    EXPECT_EQ(s.points[1].interval, 0.0f);
    EXPECT_EQ(m.last(), QString::fromUtf8("导入已取消，已成功导入数据文件2个"));

    // Run to the end, the last call says so.
    calls.clear();
    ImportFolder(s, rec, dir.path(), 1, m, [&calls](int done, int total) {
        calls.emplace_back(done, total);
        return true;
    });
    EXPECT_EQ(calls.back(), std::make_pair(4, 4));
    EXPECT_EQ(s.points[1].positive[7], 7);
}

TEST(FolderImport, GbkFileNamesAreListedMatchedAndOpenedByTheirBytes)
{
    QTemporaryDir dir;
    // "测孔&3A.cwd" in GBK: not valid UTF-8, so the system's decoding would lose it.
    const QByteArray gbkName = QByteArray("\xb2\xe2\xbf\xd7&3A.cwd");
    const QByteArray utf8Name = QString::fromUtf8("测孔&3B.cwd").toUtf8();
    const auto bytes = encodeFieldRecordV2(ramp(1, 1024));
    for (const QByteArray &name : {gbkName, utf8Name}) {
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + name;
        FILE *f = std::fopen(path.constData(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const RecordFolderIndex index(dir.path());
    EXPECT_EQ(index.find(3, 'A').shownName, QString::fromUtf8("测孔&3A.cwd"));
    EXPECT_EQ(index.find(3, 'b').shownName, QString::fromUtf8("测孔&3B.cwd"));

    SurveyData s = surveyAt({3.2f});
    FieldRecord rec;
    common::RecordingMessenger m;
    EXPECT_EQ(ImportFolder(s, rec, index, 1, m).filesTaken, 2);
    EXPECT_EQ(s.points[0].positive[9], 9);
    EXPECT_EQ(s.points[0].negative[9], 9);

    // A folder named in GBK is listed by its bytes too.
    const QByteArray gbkFolder = QFile::encodeName(dir.path()) + "/\xca\xfd\xbe\xdd"; // "数据"
    ASSERT_EQ(::mkdir(gbkFolder.constData(), 0700), 0);
    ASSERT_EQ(
        ::rename((QFile::encodeName(dir.path()) + '/' + gbkName).constData(), (gbkFolder + '/' + gbkName).constData()),
        0);
    EXPECT_EQ(RecordFolderIndex(gbkFolder).size(), 1);
    QString error;
    EXPECT_TRUE(LoadFieldRecord(RecordFolderIndex(gbkFolder).find(3, 'A').nativePath, "x", rec, &error))
        << error.toStdString();
}

TEST(Seg2Record, ANegativeDelayReachesThePoint)
{
    // Samples before the trigger: the point gets the delay as it is.
    Seg2File file;
    file.traces = {seg2Trace(1, {1, 2, 3})};
    file.traces[0].strings = {"SAMPLE_INTERVAL 0.0005", "DELAY -0.01"};
    FieldRecord rec;
    ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
    SurveyData survey;
    survey.points.push_back(TlvOne::newPoint(1.5f));
    ASSERT_TRUE(SetNegativeTrace(survey, rec, 1, 1));
    EXPECT_FLOAT_EQ(survey.points[0].delay, -10.0f);
    EXPECT_FLOAT_EQ(survey.points[0].interval, 500.0f);
    EXPECT_EQ(survey.points[0].negative[2], 3);
}

TEST(FolderImport, SeismographFilesNamedLikeRecordsAreImportedBesideCwdRecords)
{
    QTemporaryDir dir;
    FieldRecordData cwd;
    cwd.header.interval = 40;
    cwd.header.gain = 10;
    cwd.channels = {{1, 2, 3}, {4, 5, 6}};
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("ZK1&1A.cwd"), cwd).ok);
    Seg2File file;
    file.traces = {seg2Trace(4, {0.0, 0.001}), seg2Trace(4, {0.0, -0.002})};
    writeBytes(dir.filePath("ZK1&1B.sg2"), seg2Bytes(file));
    writeBytes(dir.filePath("ZK1&2A.DAT"), seg2Bytes(file));
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("ZK1&2B.dat"), cwd).ok);
    // Not named like a record: left alone.
    writeBytes(dir.filePath("ZK1&3A.sgy"), seg2Bytes(file));

    SurveyData s = surveyAt({1.0f, 2.0f, 3.0f});
    FieldRecord rec;
    common::RecordingMessenger m;
    const FolderImportResult r = ImportFolder(s, rec, dir.path(), 2, m);
    EXPECT_EQ(r.filesTaken, 4);
    EXPECT_TRUE(r.unreadable.isEmpty());
    EXPECT_EQ(r.pointsWithoutRecord, std::vector<int>{3});
    EXPECT_EQ(s.points[0].positive[2], 6);
    EXPECT_EQ(s.points[0].negative[1], -32767);
    EXPECT_FLOAT_EQ(s.points[0].interval, 125.0f);
    EXPECT_FLOAT_EQ(s.points[0].delay, 2.0f);
    EXPECT_EQ(s.points[0].gain, 1);
    EXPECT_EQ(s.points[1].positive[1], -32767);
    EXPECT_EQ(s.points[1].negative[0], 4);
    EXPECT_EQ(s.points[1].gain, 10);
}
