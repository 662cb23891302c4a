#include "common/datatable.h"

#include "workbookreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace common;

namespace {

DataTable sampleTable()
{
    DataTable table;
    table.sheetName = QStringLiteral("测点/波速"); // "/" cannot name a sheet
    table.headings = {QStringLiteral("深度(米)"), QStringLiteral("说明"), QStringLiteral("波速(米/秒)")};
    table.rows.push_back({TableCell::ofNumber(2.5f, 1), TableCell::ofText(QStringLiteral("粉质黏土, \"软\"")),
                          TableCell::ofNumber(163.6f, 2)});
    table.rows.push_back({TableCell::ofNumber(-0.04, 1), TableCell::empty(),
                          TableCell::ofNumber(std::numeric_limits<double>::quiet_NaN(), 2)});
    table.headerLeft = QStringLiteral("工程名称：A&B");
    table.headerCenter = QStringLiteral("孔号：ZK1");
    table.headerRight = QStringLiteral("测试日期：2026-12-7");
    return table;
}

} // namespace

TEST(DataTable, CellsHoldWhatTheTextShows)
{
    const TableCell c = TableCell::ofNumber(163.6f, 2);
    EXPECT_EQ(c.kind, TableCell::Kind::Number);
    EXPECT_EQ(c.text, QStringLiteral("163.60"));
    EXPECT_EQ(c.number, 163.6); // the rounded value, not the float's 163.600006...
    EXPECT_EQ(TableCell::ofNumber(std::numeric_limits<double>::infinity(), 1).kind, TableCell::Kind::Text);

    EXPECT_EQ(TableCell::fromText(QStringLiteral("-12.50")).decimals, 2);
    EXPECT_EQ(TableCell::fromText(QStringLiteral("7")).kind, TableCell::Kind::Number);
    // Names made of digits, and anything else, stay texts.
    for (const char *text : {"007", "1e5", "12.", "3/4", "ZK1", " 5"})
        EXPECT_EQ(TableCell::fromText(QString::fromLatin1(text)).kind, TableCell::Kind::Text) << text;
}

TEST(DataTable, CsvIsUtf8WithBomAndQuotesWhereNeeded)
{
    const QByteArray csv = csvText(sampleTable());
    const QByteArray expected = QByteArray("\xEF\xBB\xBF")
        + QStringLiteral("深度(米),说明,波速(米/秒)\r\n2.5,\"粉质黏土, \"\"软\"\"\",163.60\r\n-0.0,,nan\r\n").toUtf8();
    EXPECT_EQ(csv, expected);
    EXPECT_EQ(csvField(QStringLiteral("a\nb")), QStringLiteral("\"a\nb\""));
}

TEST(DataTable, WorkbookReadsBackWithFormatsAndHeader)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.xlsx");
    DataTable second;
    second.sheetName = QStringLiteral("第二");
    second.headings = {QStringLiteral("n")};
    second.rows.push_back({TableCell::ofInteger(42)});
    const FileError e = writeWorkbook(path, {sampleTable(), second});
    ASSERT_TRUE(e.ok) << e.message.toStdString();

    const QByteArray book = workbooktest::zipPart(path, QStringLiteral("xl/workbook.xml"));
    ASSERT_FALSE(book.isEmpty()) << "unzip could not read the workbook";
    EXPECT_TRUE(QString::fromUtf8(book).contains(QStringLiteral("name=\"测点_波速\"")));
    EXPECT_TRUE(QString::fromUtf8(book).contains(QStringLiteral("name=\"第二\"")));

    const workbooktest::Sheet sheet = workbooktest::readSheet(path, 1);
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.cells.at("A1").text, QStringLiteral("深度(米)"));
    EXPECT_TRUE(sheet.cells.at("A1").bold);
    EXPECT_TRUE(sheet.cells.at("C1").bold);
    EXPECT_EQ(sheet.frozenRows, 1);

    const workbooktest::Cell depth = sheet.cells.at("A2");
    EXPECT_TRUE(depth.isNumber);
    EXPECT_EQ(depth.number, 2.5);
    EXPECT_EQ(depth.numberFormat, QStringLiteral("0.0"));
    EXPECT_FALSE(depth.bold);
    EXPECT_EQ(sheet.cells.at("B2").text, QStringLiteral("粉质黏土, \"软\""));
    EXPECT_EQ(sheet.cells.at("C2").number, 163.6);
    EXPECT_EQ(sheet.cells.at("C2").numberFormat, QStringLiteral("0.00"));
    EXPECT_EQ(sheet.cells.count("B3"), 0u); // empty cells are not written
    EXPECT_EQ(sheet.cells.at("C3").text, QStringLiteral("nan"));

    // "&" of a text is doubled in the header code.
    EXPECT_EQ(sheet.header, QStringLiteral("&L工程名称：A&&B&C孔号：ZK1&R测试日期：2026-12-7"));
    // Widths follow the content: the Chinese heading is wider than "n".
    ASSERT_EQ(sheet.columnWidths.size(), 3u);
    EXPECT_GT(sheet.columnWidths[1], sheet.columnWidths[0]);

    const workbooktest::Sheet other = workbooktest::readSheet(path, 2);
    EXPECT_EQ(other.cells.at("A2").number, 42.0);
    EXPECT_EQ(other.cells.at("A2").numberFormat, QStringLiteral("0"));
}

TEST(DataTable, WorkbookFailureLeavesNothing)
{
    QTemporaryDir dir;
    const FileError e = writeWorkbook(dir.filePath("missing/t.xlsx"), {sampleTable()});
    EXPECT_FALSE(e.ok);
    EXPECT_FALSE(e.message.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    // A page header longer than a workbook allows is shortened, not refused.
    DataTable table = sampleTable();
    table.headerLeft = QString(200, QChar(0x5DE5));
    const QString path = dir.filePath("long.xlsx");
    ASSERT_TRUE(writeWorkbook(path, {table}).ok);
    EXPECT_LE(workbooktest::readSheet(path).header.toUtf8().size(), 255);
}

TEST(DataTable, GeneratedRowsAreWrittenLikeHeldOnes)
{
    DataTable made;
    made.sheetName = QStringLiteral("n");
    made.headings = {QStringLiteral("i"), QStringLiteral("i²")};
    made.generatedRows = 3;
    made.makeRow = [](std::size_t i) {
        return std::vector<TableCell>{TableCell::ofInteger(qint64(i)), TableCell::ofNumber(double(i * i) / 2, 1)};
    };
    DataTable held = made;
    held.makeRow = nullptr;
    for (std::size_t i = 0; i < made.generatedRows; ++i)
        held.rows.push_back(made.row(i));
    EXPECT_EQ(csvText(made), csvText(held));
    EXPECT_TRUE(csvText(made).endsWith("2,2.0\r\n"));

    QTemporaryDir dir;
    ASSERT_TRUE(writeWorkbook(dir.filePath("m.xlsx"), {made}).ok);
    const workbooktest::Sheet sheet = workbooktest::readSheet(dir.filePath("m.xlsx"));
    EXPECT_EQ(sheet.cells.at("B4").number, 2.0);
    EXPECT_EQ(sheet.cells.at("B4").numberFormat, QStringLiteral("0.0"));
}
