#include "talvex/report/figureexport.h"
#include "talvex/report/reportpages.h"
#include "talvex/settings/talvexsettings.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvex;
using namespace talvex::report;

namespace {

std::vector<PageKind> kinds(const std::vector<ReportPage> &pages)
{
    std::vector<PageKind> out;
    for (const ReportPage &p : pages)
        out.push_back(p.kind);
    return out;
}

} // namespace

TEST(ReportPages, CountsAndOrder)
{
    PrintSettings s;
    const auto pages = reportPages(s, 45);
    using K = PageKind;
    EXPECT_EQ(kinds(pages),
              (std::vector<K>{K::VelocityHistogram, K::TimeDistance, K::TimeDepthTable, K::Waveforms, K::Waveforms,
                              K::Waveforms}));
    EXPECT_EQ(pages[5].waveformPage, 2);
    EXPECT_EQ(reportPages(s, 40).size(), 5u); // exactly two grids
    EXPECT_EQ(reportPages(s, 0).size(), 3u); // no points: no waveform page

    s.printVelocity = 0;
    EXPECT_EQ(kinds(reportPages(s, 45)), (std::vector<K>{K::TimeDepthTable, K::Waveforms, K::Waveforms, K::Waveforms}));
    s.printTable = 0;
    s.printWaveforms = 0;
    EXPECT_TRUE(reportPages(s, 45).empty());

    // A grid of 0 rows from a damaged store is limited to 1 row, never divides by zero.
    PrintSettings damaged;
    damaged.rowsPerPage = 0;
    damaged.columnsPerPage = 7;
    EXPECT_EQ(waveformPageCount(damaged, 45), 15); // 1 row x 3 columns
}

TEST(ReportPages, WaveformCellsFillColumnByColumn)
{
    PrintSettings s; // 10 rows x 2 columns
    EXPECT_EQ(waveformCellPoint(s, 0, 0, 9), 9);
    EXPECT_EQ(waveformCellPoint(s, 0, 1, 0), 10);
    EXPECT_EQ(waveformCellPoint(s, 2, 1, 3), 53);
}

TEST(ReportPages, FooterOfEveryStyle)
{
    EXPECT_EQ(footerText(0, 1, 1), QStringLiteral("1."));
    EXPECT_EQ(footerText(1, 1, 3), QStringLiteral(".3."));
    EXPECT_EQ(footerText(2, 10, 2), QStringLiteral("-11-"));
    EXPECT_EQ(footerText(3, 5, 1), QStringLiteral("第5页"));
    EXPECT_EQ(footerText(3, 0, 1), QStringLiteral("第0页"));
    const QString signature = footerText(4, 5, 3);
    EXPECT_TRUE(signature.startsWith(QStringLiteral("试验人："))) << signature.toStdString();
    EXPECT_TRUE(signature.endsWith(QStringLiteral("审核人：")));
    EXPECT_FALSE(signature.contains(QLatin1Char('7')));
    EXPECT_EQ(signature, footerText(4, 1, 1));
    EXPECT_EQ(pageHeading(PrintSettings(), PageKind::TimeDepthTable),
              QStringLiteral("剪切波分析成果附图（标题可修改）时距深度表"));
}

TEST(FigureList, NamesAndNumbers)
{
    const QString base = QStringLiteral("/out/site1");
    PrintSettings s;
    const auto figures = figureList(base, s, 45);
    ASSERT_EQ(figures.size(), 7u);
    const QStringList expected = {"-波速直方图.bmp",  "-时距曲线图.bmp",  "-时距波速综合曲线图.bmp", "-时距深度表.bmp",
                                  "-原始波形图0.bmp", "-原始波形图1.bmp", "-原始波形图2.bmp"};
    for (std::size_t i = 0; i < figures.size(); ++i) {
        EXPECT_EQ(figures[i].path, base + expected[int(i)]);
        EXPECT_EQ(figures[i].pageNumber, int(i) + 1);
    }
    EXPECT_EQ(figures[6].waveformPage, 2);

    s.printVelocity = 0;
    const auto table = figureList(QStringLiteral("a.BMP"), s, 45);
    EXPECT_EQ(table.front().path, QStringLiteral("a.BMP-时距深度表.bmp"));
    EXPECT_EQ(table.front().pageNumber, 1);
    EXPECT_EQ(figureList(base, s, 0).size(), 1u);
}

TEST(PrintSettingsStore, RoundTripDefaultsAndClamping)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("t.ini"));
    {
        TalvexSettings store(ini);
        EXPECT_EQ(store.printSettings(), PrintSettings()); // all missing: the defaults
        PrintSettings s;
        s.headerText = QStringLiteral("某工程附图");
        s.footerStyle = 3;
        s.firstPageNumber = 7;
        s.marginLeft = 20;
        s.rowsPerPage = 12;
        s.columnsPerPage = 3;
        s.printTable = 0;
        s.curveName = 1;
        s.printSiteClass = 0;
        store.setPrintSettings(s);
        EXPECT_EQ(store.printSettings(), s);
        EXPECT_EQ(store.store().readInt(QStringLiteral("打印设置"), QStringLiteral("场地类别"), -1), 0);
        EXPECT_EQ(store.pageHeaderTitle(), s.headerText); // one value for the heading
        store.store().writeInt(QStringLiteral("打印设置"), QStringLiteral("每行个数"), 0);
        store.store().writeInt(QStringLiteral("打印设置"), QStringLiteral("每列个数"), 5);
        store.store().writeInt(QStringLiteral("打印设置"), QStringLiteral("原始图"), 9);
        store.store().writeInt(QStringLiteral("打印设置"), QStringLiteral("上边距"), -4);
        store.store().writeInt(QStringLiteral("打印设置"), QStringLiteral("场地类别"), 7);
        store.store().sync();
    }
    TalvexSettings again(ini);
    const PrintSettings s = again.printSettings();
    EXPECT_EQ(s.rowsPerPage, 1);
    EXPECT_EQ(s.columnsPerPage, 3);
    EXPECT_EQ(s.printWaveforms, 1);
    EXPECT_EQ(s.printSiteClass, 1);
    EXPECT_EQ(s.marginTop, 5);
    EXPECT_EQ(s.firstPageNumber, 7);
}
