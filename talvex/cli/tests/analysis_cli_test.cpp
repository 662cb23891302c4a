#include "clirunner.h"

#include <QFile>
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
        ASSERT_EQ(clitest::makeImportedSurvey(survey, records, 6, {"--source-distance", "0"}).toStdString(), "");
    }

    QJsonArray points()
    {
        const auto r = cli({"info", survey, "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.json()["points"].toArray();
    }
    QJsonArray layers() { return cli({"info", survey, "--json"}).json()["layers"].toArray(); }

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
        // One line of what was set, the heading, the point and the next one.
        EXPECT_EQ(QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), k < 6 ? 4 : 3)
            << r.out.toStdString();
    }
    // The picks computed every point already: recalc changes nothing and says so.
    const QByteArray unchanged = cli({"info", survey, "--json"}).out;
    auto r = cli({"recalc", survey});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("都没有变化"))) << r.out.toStdString();
    r = cli({"pick", survey, "--point", "2", "--sample", "280"});
    EXPECT_EQ(QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 1) << r.out.toStdString();
    EXPECT_EQ(cli({"info", survey, "--json"}).out, unchanged);
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
    EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8("孔深（米）"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[2].trimmed().startsWith(QString::fromUtf8("2.0(米)"))) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QString::fromUtf8("(秒)")));
    // Right-aligned columns: every row ends its cells at the same places, so
    // rows of the same characters have the same length whatever the numbers.
    for (int i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].size(), lines[1].size()) << lines[i].toStdString();
    EXPECT_EQ(lines[1].indexOf(QString::fromUtf8("(m/s)")), lines[6].indexOf(QString::fromUtf8("(m/s)")));

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

    // Below the hole depth there is nothing to layer.
    const QByteArray kept = cli({"info", survey, "--json"}).out;
    r = cli({"layers", survey, "insert", "--depth", "7"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("在测孔深度 6 米以下"))) << r.err.toStdString();
    EXPECT_EQ(cli({"info", survey, "--json"}).out, kept);

    // Dragging stops 0.2 m above the next bottom, and says so.
    r = cli({"layers", survey, "move", "--layer", "1", "--bottom", "9"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(
        QString::fromUtf8(r.out).startsWith(QString::fromUtf8("第 1 层的底已移到 3.30 米（要求 9 米超出了可移动范围")))
        << r.out.toStdString();
    l = layers();
    EXPECT_FLOAT_EQ(float(field(l, 0, "bottom")), 3.3f);
    EXPECT_FLOAT_EQ(float(field(l, 1, "top")), 3.3f);

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
        ASSERT_EQ(
            cli({"pick", survey, "--point", QString::number(k), "--sample", QString::number(200 + 40 * k)}).exitCode,
            0);
    ASSERT_EQ(cli({"recalc", survey}).exitCode, 0);
    auto r = cli({"site-velocity", survey});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The hole is 6 m deep, the computation depth 20 m: no point reaches it, and that is said.
    EXPECT_EQ(
        QString::fromUtf8(r.out).trimmed(),
        QString::fromUtf8("场地等效剪切波速 0.00 m/s（计算深度 20 米）：覆盖层计算厚度 20 米超过最深测点的深度 6 米"));
    ASSERT_EQ(cli({"hole", survey, "--overburden", "0"}).exitCode, 0);
    r = cli({"site-velocity", survey});
    EXPECT_TRUE(QString::fromUtf8(r.out).startsWith(QString::fromUtf8("覆盖层厚度为 0，不计算")))
        << r.out.toStdString();

    // Over the top 4 m: 4 m divided by the time through the first four intervals.
    const QJsonArray p = points();
    double t = 0.0;
    for (int i = 0; i < 4; ++i)
        t += 1.0 / field(p, i, "pointVelocity");
    ASSERT_EQ(cli({"hole", survey, "--computation-depth", "4", "--overburden", "20"}).exitCode, 0);
    r = cli({"site-velocity", survey});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString line = QString::fromUtf8(r.out).trimmed();
    EXPECT_NEAR(line.section(QLatin1Char(' '), 1, 1).toDouble(), 4.0 / t, 0.01) << line.toStdString();
    EXPECT_NEAR(cli({"info", survey, "--json"}).json()["header"].toObject()["siteVelocity"].toDouble(), 4.0 / t, 0.01);

    r = cli({"soil-indices", "--vs", "200", "--vp", "400", "--rho", "1.9"});
    ASSERT_EQ(r.exitCode, 0);
    const QString out = QString::fromUtf8(r.out);
    EXPECT_TRUE(out.contains(QString::fromUtf8("动剪切模量 Gd (kPa)：76000.000000")));
    EXPECT_TRUE(out.contains(QString::fromUtf8("动泊松比 μd：0.333333")));
    r = cli({"soil-indices", "--vs", "300", "--vp", "300", "--rho", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("剪切波速不能等于压缩波速")));
    // All three values are needed, and Vp must lie above Vs.
    EXPECT_EQ(cli({"soil-indices", "--vs", "300", "--rho", "2"}).exitCode, 2);
    r = cli({"soil-indices", "--vs", "300", "--vp", "200", "--rho", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(cli({"soil-indices", "--help"}).out.contains("g/cm"));
}

TEST_F(AnalysisCli, DialogRulesServeTheCommandLine)
{
    const auto kept = [this] { return cli({"info", survey, "--json"}).out; };
    QByteArray before = kept();

    // new: an existing survey is only replaced on request; the hole dialog's rules apply.
    auto r = cli({"new", survey, "--hole-depth", "3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("--force")) << r.err.toStdString();
    EXPECT_EQ(kept(), before);
    const QString fresh = dir.filePath("fresh.qsw");
    for (const QStringList &bad : QList<QStringList>{{"--spacing", "0"},
                                                     {"--spacing", "-1"},
                                                     {"--hole-depth", "-5"},
                                                     {"--overburden", "500"},
                                                     {"--method", "2"}}) {
        r = cli(QStringList{"new", fresh} + bad);
        EXPECT_NE(r.exitCode, 0) << bad.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(fresh)) << bad.join(' ').toStdString();
    }
    // A 41-byte hole number is cut at a character boundary, not inside "孔".
    r = cli({"new", fresh, "--hole-depth", "3", "--hole", "X" + QString::fromUtf8("孔").repeated(20)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject header = cli({"info", fresh, "--json"}).json()["header"].toObject();
    EXPECT_EQ(header["holeNumber"].toString(), "X" + QString::fromUtf8("孔").repeated(19));

    // hole: the dialog's range and message; one line of what changed.
    r = cli({"hole", survey, "--overburden", "500"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("覆盖层厚度: 请输入一个介于 0 和 200 之间的数。")));
    EXPECT_EQ(kept(), before);
    r = cli({"hole", survey, "--project", "示例", "--hole-depth=8"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.out).trimmed(),
              QString::fromUtf8("测孔参数已修改：工程名 （空） → 示例；测孔深度 6 → 8 米"));

    // point: arrivals in ms through the dialog's conversion; a fresh point
    // (interval 0) still takes a new depth.
    r = cli({"point", survey, "--point", "2", "--depth", "2.5", "--arrival-ms", "7.5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonArray p = points();
    EXPECT_EQ(field(p, 1, "depth"), 2.5);
    EXPECT_EQ(field(p, 1, "sArrival"), 300.0); // 7.5 ms at 25 us
    before = kept();
    r = cli({"point", survey, "--point", "2", "--interval", "-5"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(kept(), before);
    EXPECT_EQ(cli({"point", fresh, "--point", "1", "--depth", "0.5"}).exitCode, 0);

    // log: the survey log is built on the command line, so import-log can succeed.
    ASSERT_EQ(cli({"log", survey, "add", "--bottom", "2.5", "--soil", "粉质黏土", "--pattern", "3"}).exitCode, 0);
    ASSERT_EQ(cli({"log", survey, "add", "--bottom", "6", "--soil", "细砂"}).exitCode, 0);
    r = cli({"log", survey, "set", "--layer", "1", "--bottom", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray log = cli({"info", survey, "--json"}).json()["logLayers"].toArray();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(field(log, 1, "top"), 3.0);
    EXPECT_EQ(log[0].toObject()["description"].toString(), QString::fromUtf8("粉质黏土"));
    EXPECT_EQ(log[0].toObject()["pattern"].toInt(), 3);
    EXPECT_EQ(cli({"log", survey, "set", "--layer", "1", "--bottom", "-1"}).exitCode, 1);
    EXPECT_EQ(cli({"log", survey, "delete", "--layer", "3"}).exitCode, 1);
    EXPECT_EQ(cli({"log", survey, "list", "--layer", "1"}).exitCode, 2);
    r = cli({"layers", survey, "import-log", "--yes"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(layers().size(), 2);
    ASSERT_EQ(cli({"log", survey, "delete", "--layer", "1"}).exitCode, 0);
    EXPECT_EQ(cli({"info", survey, "--json"}).json()["logLayers"].toArray().size(), 1);
}
