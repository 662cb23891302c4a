#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/survey/exports.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/survey/surveydata.h"
#include "common/tests/workbookreader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

using namespace talvex;

namespace {

QByteArray gbk(const char *utf8)
{
    return *common::encodeGbk(QString::fromUtf8(utf8));
}

} // namespace

TEST(Exports, WaveformTextHasHeaderAndTwoLinesPerPoint)
{
    SurveyData s;
    const QByteArray empty = waveformText(s);
    EXPECT_EQ(empty.size(), 88);
    EXPECT_TRUE(empty.endsWith("\r\n"));

    TlvOne p = TlvOne::newPoint(1.5f);
    p.positive[0] = -32768;
    p.positive[1023] = 32767;
    p.negative[1] = 5;
    s.points = {p, TlvOne::newPoint(1.5f)};
    const QByteArray text = waveformText(s);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), 1 + 2 * 2 + 1); // the last CR LF ends the last line
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_TRUE(lines[1].startsWith("-32768,0,0,"));
    EXPECT_TRUE(lines[1].endsWith(",32767,\r"));
    EXPECT_TRUE(lines[2].startsWith("0,5,0,"));
    EXPECT_EQ(lines[3].count(','), 1024);
}

TEST(Exports, PointTableByteForByte)
{
    // A locale with a decimal comma must not change the files.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    SurveyData s;
    TlvOne a = TlvOne::newPoint(1.5f);
    a.depth = 2.5f;
    a.sArrival = 410;
    a.interval = 25.0f;
    a.delay = 0.0f;
    a.equivVelocity = 163.6f;
    a.pointVelocity = 150.0f;
    TlvOne b = TlvOne::newPoint(1.5f);
    b.depth = 3.0f;
    b.delay = 12.5f; // no pick: the travel time is the delay
    s.points = {a, b};
    const QByteArray expected = gbk("测点深度(米)\t留空\t留空\t波初至时(毫秒)\t等效波速(米/秒)\t测点波速(米/秒)\r\n")
        + "2.5\t\t\t10.25\t163.60\t150.00\r\n" + "3.0\t\t\t12.50\t0.00\t0.00\r\n";
    EXPECT_EQ(pointVelocityTable(s), expected);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Exports, LayerTableWritesWholeDescriptions)
{
    SurveyData s;
    EXPECT_EQ(layerVelocityTable(s), gbk("土层\t分层开始(米)\t分层结束(米)\t层波速(米/秒)\t层描述\r\n"));
    DiChengOne l;
    l.top = 0.0f;
    l.bottom = 3.456f;
    l.velocity = 163.55f;
    const std::string text159(159, 'd');
    common::storeFixedText(l.description, text159);
    DiChengOne m;
    m.top = 3.456f;
    m.bottom = 10.0f;
    m.velocity = 250.0f;
    common::storeFixedText(m.description, gbk("粉质黏土").toStdString());
    s.layers = {l, m};
    s.logLayers = {l}; // not exported
    const QByteArray expected = gbk("土层\t分层开始(米)\t分层结束(米)\t层波速(米/秒)\t层描述\r\n")
        + "1\t0.00\t3.46\t163.6\t" + QByteArray::fromStdString(text159) + "\r\n" + "2\t3.46\t10.00\t250.0\t"
        + gbk("粉质黏土") + "\r\n";
    EXPECT_EQ(layerVelocityTable(s), expected);
}

TEST(Exports, ExtensionIsAlwaysAppended)
{
    QTemporaryDir dir;
    SurveyData s;
    QString written;
    ASSERT_TRUE(ExportWaveforms(s, dir.filePath("w.txt"), &written).ok);
    EXPECT_TRUE(written.endsWith("w.txt.txt"));
    EXPECT_TRUE(QFile::exists(written));
    ASSERT_TRUE(ExportPointTable(s, dir.filePath("p"), &written).ok);
    EXPECT_TRUE(written.endsWith("p.xls"));
    ASSERT_TRUE(ExportLayerTable(s, dir.filePath("l.xls"), &written).ok);
    EXPECT_TRUE(written.endsWith("l.xls.xls"));
    EXPECT_FALSE(ExportLayerTable(s, dir.filePath("none/x"), &written).ok);
}

TEST(NewSurvey, OnePointPerSpacingDownToTheHoleDepth)
{
    SurveyData s;
    HoleParameters p = newSurveyDefaults(s, QDate(2026, 3, 4));
    EXPECT_EQ(common::readFixedText(p.testDate), "2026-3-4");
    EXPECT_EQ(p.holeDepth, 50.0f);
    EXPECT_EQ(p.overburden, 20.0f);
    NewSurvey(s, p);
    ASSERT_EQ(s.points.size(), 50u);
    EXPECT_EQ(s.points[49].depth, 50.0f);
    EXPECT_EQ(s.points[0].gain, 1);
    EXPECT_EQ(s.points[0].crossDistance, 1.5f);
    EXPECT_TRUE(s.isModified());

    p.holeDepth = 10.0f;
    p.pointSpacing = 3.0f;
    common::storeFixedText(p.holeNumber, std::string(45, 'h'));
    s.layers.push_back(DiChengOne{});
    NewSurvey(s, p);
    ASSERT_EQ(s.points.size(), 3u);
    EXPECT_EQ(s.points[2].depth, 9.0f);
    EXPECT_TRUE(s.layers.empty());
    EXPECT_EQ(common::readFixedText(s.header.holeNumber), std::string(40, 'h'));

    for (auto [depth, spacing] : {std::pair{10.0f, 0.0f}, {0.0f, 1.0f}, {-5.0f, 1.0f}}) {
        p.holeDepth = depth;
        p.pointSpacing = spacing;
        NewSurvey(s, p);
        EXPECT_TRUE(s.points.empty());
    }
    // Never more points than the document can count.
    p.holeDepth = 1e9f;
    p.pointSpacing = 1.0f;
    NewSurvey(s, p);
    EXPECT_EQ(s.points.size(), std::size_t(kMaxRecordCount));

    // The next New offers what this one set, with the new date.
    const HoleParameters again = newSurveyDefaults(s, QDate(2026, 12, 7));
    EXPECT_EQ(common::readFixedText(again.holeNumber), std::string(40, 'h'));
    EXPECT_EQ(common::readFixedText(again.testDate), "2026-12-7");
    EXPECT_EQ(testDateText(QDate()), "-1--1--1");
}

TEST(Exports, SpreadsheetFormsShareTheTableAndKeepTheChosenName)
{
    SurveyData s;
    common::storeFixedText(s.header.projectName, common::encodeGbk(QStringLiteral("示例工程"))->toStdString());
    common::storeFixedText(s.header.holeNumber, "ZK1");
    common::storeFixedText(s.header.testDate, "2026-12-7");
    TlvOne a = TlvOne::newPoint(1.5f);
    a.depth = 2.5f;
    a.sArrival = 410;
    a.interval = 25.0f;
    a.equivVelocity = 163.6f;
    a.pointVelocity = 150.0f;
    a.positive[0] = -7;
    s.points = {a};
    DiChengOne l;
    l.bottom = 3.456f;
    l.velocity = 163.55f;
    common::storeFixedText(l.description, common::encodeGbk(QStringLiteral("粉质黏土,可塑"))->toStdString());
    s.layers = {l};

    // The names: xls always appends, the others only when missing.
    EXPECT_EQ(exportPath(ExportKind::Points, ExportFormat::Xls, "a.xls"), QStringLiteral("a.xls.xls"));
    EXPECT_EQ(exportPath(ExportKind::Waveforms, ExportFormat::Xls, "a"), QStringLiteral("a.txt"));
    EXPECT_EQ(exportPath(ExportKind::Points, ExportFormat::Xlsx, "a.XLSX"), QStringLiteral("a.XLSX"));
    EXPECT_EQ(exportPath(ExportKind::Points, ExportFormat::Xlsx, "a.xls"), QStringLiteral("a.xls.xlsx"));
    EXPECT_EQ(exportPath(ExportKind::Layers, ExportFormat::Csv, "a.csv"), QStringLiteral("a.csv"));
    EXPECT_EQ(exportFormatOfName("d/x.Csv"), ExportFormat::Csv);
    EXPECT_EQ(exportFormatOfName("d/x.xls"), ExportFormat::Xls);

    QTemporaryDir dir;
    QString written;
    ASSERT_TRUE(writeExport(ExportKind::Layers, ExportFormat::Csv, s, dir.filePath("layers"), &written).ok);
    EXPECT_EQ(written, dir.filePath("layers.csv"));
    QFile csv(written);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(),
              QByteArray("\xEF\xBB\xBF")
                  + QStringLiteral("土层,分层开始(米),分层结束(米),层波速(米/秒),层描述\r\n"
                                   "1,0.00,3.46,163.6,\"粉质黏土,可塑\"\r\n")
                        .toUtf8());

    const QString book = dir.filePath("points.xlsx");
    ASSERT_TRUE(writeExport(ExportKind::Points, ExportFormat::Xlsx, s, book, &written).ok);
    EXPECT_EQ(written, book);
    const workbooktest::Sheet sheet = workbooktest::readSheet(book);
    ASSERT_TRUE(sheet.ok) << "unzip could not read the workbook";
    EXPECT_EQ(sheet.cells.at("D1").text, QStringLiteral("波初至时(毫秒)"));
    EXPECT_EQ(sheet.cells.at("A2").number, 2.5);
    EXPECT_EQ(sheet.cells.at("A2").numberFormat, QStringLiteral("0.0"));
    EXPECT_EQ(sheet.cells.at("D2").number, 10.25);
    EXPECT_EQ(sheet.cells.at("E2").number, 163.6);
    EXPECT_EQ(sheet.cells.at("E2").numberFormat, QStringLiteral("0.00"));
    EXPECT_EQ(sheet.header, QStringLiteral("&L工程名称：示例工程&C孔号：ZK1&R测试日期：2026-12-7"));

    // Waveforms: a row per trace, depth and direction before the samples.
    const common::DataTable waves = exportTable(ExportKind::Waveforms, s);
    ASSERT_EQ(waves.rowCount(), 2u);
    EXPECT_EQ(waves.headings.size(), 2 + kTraceLength);
    EXPECT_EQ(waves.row(1)[1].text, QStringLiteral("反向"));
    EXPECT_EQ(waves.row(0)[2].number, -7.0);
    EXPECT_TRUE(waveformText(s).contains("\r\n-7,0,"));

    // A folder that does not exist: refused, nothing written anywhere.
    for (const ExportFormat format : {ExportFormat::Xls, ExportFormat::Xlsx, ExportFormat::Csv}) {
        const common::FileError e = writeExport(ExportKind::Points, format, s, dir.filePath("missing/p"));
        EXPECT_FALSE(e.ok);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}
