#include "clirunner.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using clitest::cli;

namespace {

class AnalysisCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        survey = dir.filePath("s.qsw");
        const QString records = dir.filePath("rec");
        auto r = clitest::run(QStringLiteral(SAMPLEGEN), {"--out", records, "--depth", "6"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        r = cli({"new", survey, "--hole-depth", "6", "--source-distance", "0"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        r = cli({"import-folder", survey, records});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }

    QJsonArray points()
    {
        const auto r = cli({"info", survey, "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.json()["points"].toArray();
    }
    QJsonArray layers()
    {
        return cli({"info", survey, "--json"}).json()["layers"].toArray();
    }

    QTemporaryDir dir;
    QString survey;
};

double field(const QJsonArray &list, int i, const char *name)
{
    return list[i].toObject()[QLatin1String(name)].toDouble();
}

} // namespace

TEST_F(AnalysisCli, PickRecalcAndResults)
{
    // Picks at 20 and 30 ms after the delay of each record.
    QJsonArray p = points();
    ASSERT_EQ(p.size(), 6);
    for (int k = 1; k <= 6; ++k) {
        const auto r = cli({"pick", survey, "--point", QString::number(k), "--sample", QString::number(200 + 40 * k)});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    ASSERT_EQ(cli({"recalc", survey}).exitCode, 0);
    p = points();
    EXPECT_EQ(field(p, 1, "sArrival"), 280.0);
    // No source offset: point velocity = depth step / time step.
    const double t1 = 240 * field(p, 0, "interval") / 1000.0 + field(p, 0, "delay");
    const double t2 = 280 * field(p, 1, "interval") / 1000.0 + field(p, 1, "delay");
    EXPECT_NEAR(field(p, 1, "pointVelocity"), 1.0 / (t2 - t1) * 1000.0, 0.05);
    EXPECT_NEAR(field(p, 1, "equivVelocity"), 2.0 / t2 * 1000.0, 0.05);

    const auto results = cli({"results", survey});
    ASSERT_EQ(results.exitCode, 0);
    const QStringList lines = QString::fromUtf8(results.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QString::fromUtf8("孔深（米）    等效剪切波速（m/s）    卓越周期（秒）"));
    EXPECT_TRUE(lines[2].startsWith(QString::fromUtf8("2.0(米)") + QString(16, u' '))) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QString::fromUtf8("(秒)")));

    // The cursor never stands on sample 0 or past 1023; a missing point is refused.
    const QByteArray before = cli({"info", survey, "--json"}).out;
    EXPECT_NE(cli({"pick", survey, "--point", "1", "--sample", "0"}).exitCode, 0);
    EXPECT_NE(cli({"pick", survey, "--point", "1", "--sample", "1024"}).exitCode, 0);
    EXPECT_NE(cli({"pick", survey, "--point", "7", "--sample", "10"}).exitCode, 0);
    EXPECT_EQ(cli({"info", survey, "--json"}).out, before);
}

TEST_F(AnalysisCli, InsertDeleteAndSortPoints)
{
    ASSERT_EQ(cli({"insert-point", survey, "--point", "3"}).exitCode, 0);
    QJsonArray p = points();
    ASSERT_EQ(p.size(), 7);
    EXPECT_EQ(field(p, 2, "depth"), 0.0);
    EXPECT_EQ(field(p, 2, "gain"), 1.0);
    EXPECT_EQ(field(p, 3, "depth"), 3.0);

    ASSERT_EQ(cli({"sort", survey}).exitCode, 0);
    p = points();
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(field(p, i, "depth"), double(i)) << i;

    ASSERT_EQ(cli({"delete-point", survey, "--point", "1"}).exitCode, 0);
    EXPECT_EQ(points().size(), 6);
    EXPECT_NE(cli({"delete-point", survey, "--point", "7"}).exitCode, 0);
    EXPECT_NE(cli({"insert-point", survey, "--point", "8"}).exitCode, 0);
    EXPECT_EQ(points().size(), 6);
}

TEST_F(AnalysisCli, LayersAtTheDepthCursor)
{
    auto r = cli({"layers", survey, "insert", "--depth", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // 0.48 m from the boundary: refused with the program's message.
    r = cli({"layers", survey, "insert", "--depth", "3.48"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("两次分层离得太近了，小于了0.5m")));
    ASSERT_EQ(cli({"layers", survey, "insert", "--depth", "3.5"}).exitCode, 0);
    ASSERT_EQ(cli({"layers", survey, "insert", "--depth", "5"}).exitCode, 0);
    QJsonArray l = layers();
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(field(l, 1, "top"), 3.0);
    EXPECT_EQ(field(l, 2, "top"), 3.5);
    EXPECT_EQ(field(l, 2, "bottom"), 5.0);

    // Dragging stops 0.2 m above the next bottom.
    ASSERT_EQ(cli({"layers", survey, "move", "--layer", "1", "--bottom", "9"}).exitCode, 0);
    l = layers();
    EXPECT_FLOAT_EQ(field(l, 0, "bottom"), 3.3f);
    EXPECT_FLOAT_EQ(field(l, 1, "top"), 3.3f);

    ASSERT_EQ(cli({"layers", survey, "delete", "--depth", "1"}).exitCode, 0);
    l = layers();
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(field(l, 0, "top"), 0.0);
    r = cli({"layers", survey, "delete", "--depth", "9"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("没有层被选中")));
    EXPECT_EQ(cli({"layers", survey, "refresh"}).exitCode, 0);

    r = cli({"layers", survey, "import-log", "--yes"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("工勘资料中没有可导入层！")));
    EXPECT_EQ(layers().size(), 2);
}

TEST_F(AnalysisCli, SiteVelocityAndSoilIndices)
{
    for (int k = 1; k <= 6; ++k)
        ASSERT_EQ(cli({"pick", survey, "--point", QString::number(k), "--sample", QString::number(200 + 40 * k)}).exitCode, 0);
    ASSERT_EQ(cli({"recalc", survey}).exitCode, 0);
    auto r = cli({"site-velocity", survey});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The hole is 6 m deep, the computation depth 20 m: no point reaches it.
    EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), QStringLiteral("0.00m/s"));

    // Over the top 4 m: 4 m divided by the time through the first four intervals.
    const QJsonArray p = points();
    double t = 0.0;
    for (int i = 0; i < 4; ++i)
        t += 1.0 / field(p, i, "pointVelocity");
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "6", "--source-distance", "0", "--computation-depth", "4"}).exitCode, 0);
    ASSERT_EQ(cli({"import-folder", survey, dir.filePath("rec")}).exitCode, 0);
    for (int k = 1; k <= 6; ++k)
        ASSERT_EQ(cli({"pick", survey, "--point", QString::number(k), "--sample", QString::number(200 + 40 * k)}).exitCode, 0);
    ASSERT_EQ(cli({"recalc", survey}).exitCode, 0);
    r = cli({"site-velocity", survey});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_NEAR(QString::fromUtf8(r.out).trimmed().chopped(3).toDouble(), 4.0 / t, 0.01);
    EXPECT_NEAR(cli({"info", survey, "--json"}).json()["header"].toObject()["siteVelocity"].toDouble(), 4.0 / t, 0.01);

    r = cli({"soil-indices", "--vs", "200", "--vp", "400", "--rho", "1.9"});
    ASSERT_EQ(r.exitCode, 0);
    const QString out = QString::fromUtf8(r.out);
    EXPECT_TRUE(out.contains(QString::fromUtf8("动剪切模量 Gd (kPa)：76000.000000")));
    EXPECT_TRUE(out.contains(QString::fromUtf8("动泊松比 μd：0.333333")));
    r = cli({"soil-indices", "--vs", "300", "--vp", "300", "--rho", "2"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("剪切波速不能等于压缩波速")));
}
