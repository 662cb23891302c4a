// talvex-cli suggest-layers and site-class, run as a user would run them.

#include "clirunner.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using clitest::cli;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SiteCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        survey = dir.filePath("s.qsw");
        const QString records = dir.filePath("rec");
        // Two layers, 150 m/s down to 5 m and 400 m/s below; the arrivals
        // the generator reports are picked as they are.
        auto r = clitest::run(QStringLiteral(SAMPLEGEN),
                              {"--out", records, "--depth", "12", "--model", "0:5:150:400,5:12:400:900", "--arrivals"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QStringList arrivals = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
        ASSERT_EQ(cli({"new", survey, "--hole-depth", "12"}).exitCode, 0);
        ASSERT_EQ(cli({"import-folder", survey, records}).exitCode, 0);
        for (const QString &line : arrivals) {
            const QStringList pair = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            ASSERT_EQ(pair.size(), 2) << line.toStdString();
            r = cli({"pick", survey, "--point", pair[0], "--sample", pair[1]});
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        }
    }

    QTemporaryDir dir;
    QString survey;
};

} // namespace

TEST_F(SiteCli, SuggestLayersWritesOnlyWhenAcceptedAndSiteClassReports)
{
    auto r = cli({"layers", survey, "insert", "--depth", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray before = readAll(survey);

    r = cli({"suggest-layers", survey});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("建议分层（2 层"))) << r.out.toStdString();
    // Layers exist: without --yes the question is answered No.
    EXPECT_EQ(cli({"suggest-layers", survey, "--apply"}).exitCode, 1);
    EXPECT_EQ(cli({"suggest-layers", survey, "--yes"}).exitCode, 2);
    EXPECT_EQ(readAll(survey), before);

    r = cli({"suggest-layers", survey, "--apply", "--yes"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray layers = cli({"info", survey, "--json"}).json()["layers"].toArray();
    ASSERT_EQ(layers.size(), 2);
    EXPECT_NEAR(layers[0].toObject()["bottom"].toDouble(), 5.0, 1.0);
    EXPECT_NEAR(layers[1].toObject()["velocity"].toDouble(), 400.0, 40.0);

    // The hole stops at 12 m in soil: vse over d0 = 20 m and Vs30 are extrapolated.
    r = cli({"site-class", survey});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("外推：测孔只测到 12.0 米")))
        << r.out.toStdString();
    const QJsonObject site = cli({"site-class", survey, "--json"}).json();
    EXPECT_EQ(site["overburdenSource"].toString(), QStringLiteral("holeParameters"));
    EXPECT_DOUBLE_EQ(site["d0"].toDouble(), 20.0);
    EXPECT_TRUE(site["vs30Extrapolated"].toBool());
    // 5 m at 150 and the rest at 400 m/s: 20 / (5/150 + 15/400) s.
    EXPECT_NEAR(site["vse"].toDouble(), 20.0 / (5.0 / 150.0 + 15.0 / 400.0), 15.0);
    EXPECT_EQ(site["category"].toString(), QStringLiteral("II"));
    EXPECT_EQ(site["nehrp"].toString(), QStringLiteral("D"));

    // No velocities: refused with the reason, nothing on standard output.
    const QString empty = dir.filePath("e.qsw");
    ASSERT_EQ(cli({"new", empty, "--hole-depth", "5"}).exitCode, 0);
    for (const char *command : {"site-class", "suggest-layers"}) {
        r = cli({command, empty});
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_TRUE(r.out.isEmpty()) << command;
        EXPECT_FALSE(r.err.isEmpty()) << command;
    }
}
