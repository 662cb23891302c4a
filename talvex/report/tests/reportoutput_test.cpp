#include "../../charts/tests/chartsurvey.h"
#include "common/fileio.h"
#include "common/fixedtext.h"
#include "talvex/analysis/sitevelocity.h"
#include "talvex/report/figureexport.h"
#include "talvex/report/pdfreport.h"
#include "talvex/report/reportpainter.h"
#include "talvex/survey/surveydata.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvex;
using namespace talvex::report;

namespace {

std::uint32_t le32(const QByteArray &b, int at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8
        | std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

// The 5-5-5 pixel (x, y) of a figure file, y from the top.
std::uint16_t filePixel(const QByteArray &b, int x, int y)
{
    const int at = 54 + (kFigureHeight - 1 - y) * 1292 + 2 * x;
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ReportOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sample = new SurveyData(chartsurvey::longSurvey(45)); }
    static void TearDownTestSuite() { delete sample; }

    SurveyData survey = *sample;
    ReportContext context{survey, PrintSettings(), 1, nullptr, {}};
    QTemporaryDir dir;
    static SurveyData *sample;
};
SurveyData *ReportOutput::sample = nullptr;

// The y of every dark pixel at column `x` between `from` and `to`.
std::vector<int> darkRows(const QImage &image, int x, int from, int to, int threshold = 100)
{
    std::vector<int> rows;
    for (int y = from; y <= to; ++y)
        if (qGray(image.pixel(x, y)) < threshold)
            rows.push_back(y);
    return rows;
}

} // namespace

TEST_F(ReportOutput, FiguresAreSixteenBitBitmapsOfTheFixedSize)
{
    const QString base = dir.filePath(QStringLiteral("site1"));
    const FigureExportResult result = ExportFigures(base, context);
    ASSERT_EQ(result.written.size(), 7) << result.reasons.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(result.failed.isEmpty());
    for (const QString &path : result.written) {
        const QByteArray b = readAll(path);
        ASSERT_EQ(b.size(), 1195154) << path.toStdString();
        EXPECT_EQ(b.left(2), QByteArray("BM"));
        EXPECT_EQ(le32(b, 2), 1195154u);
        EXPECT_EQ(le32(b, 10), 54u);
        EXPECT_EQ(le32(b, 14), 40u);
        EXPECT_EQ(le32(b, 18), 646u);
        EXPECT_EQ(le32(b, 22), 925u);
        EXPECT_EQ(std::uint8_t(b[26]) | std::uint8_t(b[27]) << 8, 1);
        EXPECT_EQ(std::uint8_t(b[28]) | std::uint8_t(b[29]) << 8, 16);
        // White background above the heading, a black rule across y = 30.
        EXPECT_EQ(filePixel(b, 3, 3), 0x7fff);
        EXPECT_EQ(filePixel(b, 640, 20), 0x7fff);
        for (int x : {0, 200, 645})
            EXPECT_EQ(filePixel(b, x, 30), 0) << x;
    }
    // The site velocity computed for the heading table stays in the survey.
    EXPECT_GT(survey.header.siteVelocity, 0.0f);
}

TEST_F(ReportOutput, OnlyAPageWithTheOverburdenRowStoresTheSiteVelocity)
{
    survey.header.overburden = 12.0f;
    survey.header.siteVelocity = 1.0f;
    const float computed = ComputeSiteVelocity(survey);
    ASSERT_NE(computed, 1.0f);
    QImage image(64, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    const auto pageOf = [&](PageKind kind) {
        const std::vector<ReportPage> pages = reportPages(context.settings, int(survey.points.size()));
        for (std::size_t i = 0; i < pages.size(); ++i)
            if (pages[i].kind == kind)
                return int(i) + 1;
        return 0;
    };
    // Table and waveform pages have no overburden row: the stored value stays.
    ASSERT_TRUE(paintReportPage(painter, context, pageOf(PageKind::TimeDepthTable), QSizeF(210, 297)));
    ASSERT_TRUE(paintReportPage(painter, context, pageOf(PageKind::Waveforms), QSizeF(210, 297)));
    EXPECT_EQ(survey.header.siteVelocity, 1.0f);
    // Nor has a chart page when the row is not printed.
    context.settings.printOverburden = 0;
    ASSERT_TRUE(paintReportPage(painter, context, pageOf(PageKind::VelocityHistogram), QSizeF(210, 297)));
    EXPECT_EQ(survey.header.siteVelocity, 1.0f);
    // A chart page that shows it stores the velocity before painting.
    context.settings.printOverburden = 1;
    ASSERT_TRUE(paintReportPage(painter, context, pageOf(PageKind::TimeDistance), QSizeF(210, 297)));
    EXPECT_EQ(survey.header.siteVelocity, computed);
}

TEST_F(ReportOutput, AFigureThatCannotBeWrittenIsReportedAndTheRestWritten)
{
    const QString base = dir.filePath(QStringLiteral("s"));
    // A folder where the table figure should go.
    ASSERT_TRUE(QDir().mkpath(base + QStringLiteral("-时距深度表.bmp")));
    const FigureExportResult result = ExportFigures(base, context);
    EXPECT_EQ(result.written.size(), 6);
    ASSERT_EQ(result.failed, QStringList{base + QStringLiteral("-时距深度表.bmp")});
    EXPECT_FALSE(result.reasons.front().isEmpty());
    EXPECT_TRUE(QFileInfo(base + QStringLiteral("-原始波形图2.bmp")).isFile());

    const FigureExportResult nowhere = ExportFigures(dir.filePath(QStringLiteral("no/such/folder/s")), context);
    EXPECT_TRUE(nowhere.written.isEmpty());
    EXPECT_EQ(nowhere.failed.size(), 7);
}

TEST_F(ReportOutput, LongBaseNamesAreWritten)
{
    const QString base = dir.filePath(QString(60, QChar(0x5de5))); // 180 bytes of UTF-8 in the name
    context.settings.printVelocity = 0;
    context.settings.printWaveforms = 0;
    const FigureExportResult result = ExportFigures(base, context);
    ASSERT_EQ(result.written.size(), 1) << result.reasons.join(QString()).toStdString();
    EXPECT_EQ(QFileInfo(result.written.front()).size(), 1195154);
}

TEST_F(ReportOutput, WaveformCellScalesTracesAndMarksTheArrival)
{
    TlvOne point;
    point.depth = 12.5f;
    point.positive[100] = 1000;
    point.positive[101] = -400;
    point.sArrival = 300;
    QImage image(1064, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        WaveformCellStyle style;
        style.inset = 40;
        style.positivePen = 1;
        style.negativePen = 1;
        style.linePen = 1;
        style.labelOffset = 6;
        style.labelHeight = 10;
        drawWaveformCell(painter, QRect(0, 0, 1064, 200), point, style);
    }
    // The positive peak reaches 0.95 of the half height above the centre.
    int top = 200;
    for (int y = 0; y < 200; ++y)
        if (image.pixel(140, y) != qRgb(255, 255, 255) || image.pixel(141, y) != qRgb(255, 255, 255)) {
            top = y;
            break;
        }
    EXPECT_NEAR(top, 100 - 95, 2);
    // The arrival marker spans 20 % ... 80 % of the height at sample 300.
    EXPECT_EQ(qGray(image.pixel(340, 45)), 0);
    EXPECT_EQ(qGray(image.pixel(340, 155)), 0);
    EXPECT_EQ(image.pixel(340, 30), qRgb(255, 255, 255));
    // The negative trace is all zero and not drawn: no blue anywhere.
    int blue = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 1064; ++x)
            blue += qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 100;
    EXPECT_EQ(blue, 0);
    // Nothing left of the inset but the depth label.
    EXPECT_EQ(image.pixel(20, 150), qRgb(255, 255, 255));
}

TEST_F(ReportOutput, PdfHasThePagesAndTheSurveysNames)
{
    common::storeFixedText(survey.header.personnel, std::string("QA-team"));
    common::storeFixedText(survey.header.projectName, std::string("Bridge"));
    common::storeFixedText(survey.header.holeNumber, std::string("ZK7"));
    const QString path = dir.filePath(QStringLiteral("r.pdf"));
    QString error;
    ASSERT_TRUE(WritePdfReport(path, context, &error)) << error.toStdString();
    const QByteArray pdf = readAll(path);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    int pages = 0;
    auto it = QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")).globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        it.next();
        ++pages;
    }
    EXPECT_EQ(pages, 6);
    EXPECT_TRUE(pdf.contains("QA-team"));
    EXPECT_TRUE(pdf.contains("Bridge ZK7"));
    EXPECT_EQ(pdfTitle(context), QStringLiteral("Bridge ZK7"));
}

TEST_F(ReportOutput, APdfThatCannotBeMadeLeavesTheOldFile)
{
    const QString path = dir.filePath(QStringLiteral("old.pdf"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("previous report");
    f.close();
    context.settings.printVelocity = 0;
    context.settings.printTable = 0;
    context.settings.printWaveforms = 0;
    QString error;
    EXPECT_FALSE(WritePdfReport(path, context, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), QByteArray("previous report"));

    context.settings = PrintSettings();
    EXPECT_FALSE(WritePdfReport(dir.filePath(QStringLiteral("missing/r.pdf")), context, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing")));
}

TEST_F(ReportOutput, SiteClassRowMovesTheChartsDownOneRow)
{
    // The rules crossed at column `x`, with the site class row off and on:
    // the same down to the overburden row's bottom line `rowEnd`, then one
    // more row line a row lower, and everything below one row lower.
    const auto expectOneRowLower = [](const QImage &off, const QImage &on, int x, int rowEnd, int row, int threshold) {
        std::vector<int> expected;
        const std::vector<int> before = darkRows(off, x, 70, 240, threshold);
        EXPECT_GE(before.size(), 3u) << x; // the table's rules and the chart's heading rule
        for (int y : before)
            if (y <= rowEnd)
                expected.push_back(y);
        for (int y : before)
            if (y > rowEnd - 2 && y <= rowEnd)
                expected.push_back(y + row);
        for (int y : before)
            if (y > rowEnd)
                expected.push_back(y + row);
        EXPECT_EQ(darkRows(on, x, 70, 240, threshold), expected) << x;
    };

    const std::vector<Figure> figures = figureList(QStringLiteral("x"), context.settings, 45);
    const auto pagePicture = [&] {
        QImage image(840, 1188, QImage::Format_RGB32); // A4 at 4 pixels per mm: a row of 6 mm is 24 pixels
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.04, 0.04);
        paintReportPage(painter, context, 1, QSizeF(210, 297));
        return image;
    };
    context.settings.printSiteClass = 0;
    const QImage velocityOff = renderFigure(context, figures[0]);
    const QImage combinedOff = renderFigure(context, figures[2]);
    const QImage pageOff = pagePicture();
    context.settings.printSiteClass = 1;
    const QImage velocityOn = renderFigure(context, figures[0]);
    const QImage combinedOn = renderFigure(context, figures[2]);
    const QImage pageOn = pagePicture();

    // x = 300 crosses no text of the table or of the charts' headings.
    expectOneRowLower(velocityOff, velocityOn, 300, 112, 24, 100);
    expectOneRowLower(combinedOff, combinedOn, 300, 112, 24, 100);
    // The page's rules are antialiased; the overburden row ends 38 mm down
    // (12 mm margin, 8 mm to the table, three rows of 6 mm).
    expectOneRowLower(pageOff, pageOn, 300, 4 * 38, 24, 200);
}
