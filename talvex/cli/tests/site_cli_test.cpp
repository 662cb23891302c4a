// talvex-cli suggest-layers and site-class, run as a user would run them.

#include "clirunner.h"

#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
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
        records = dir.filePath("rec");
        // Two layers, 150 m/s down to 5 m and 400 m/s below; the arrivals
        // the generator reports are picked as they are.
        auto r = clitest::run(QStringLiteral(SAMPLEGEN),
                              {"--out", records, "--depth", "12", "--model", "0:5:150:400,5:12:400:900", "--arrivals"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        arrivals = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
        survey = dir.filePath("s.qsw");
        makeSurvey(survey, {});
    }

    // A survey of the records with every point picked but those in `unpicked` (1-based).
    void makeSurvey(const QString &path, const QStringList &unpicked)
    {
        ASSERT_EQ(cli({"new", path, "--hole-depth", "12"}).exitCode, 0);
        ASSERT_EQ(cli({"import-folder", path, records}).exitCode, 0);
        for (const QString &line : arrivals) {
            const QStringList pair = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            ASSERT_EQ(pair.size(), 2) << line.toStdString();
            if (unpicked.contains(pair[0]))
                continue;
            const auto r = cli({"pick", path, "--point", pair[0], "--sample", pair[1]});
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        }
    }

    QTemporaryDir dir;
    QString records;
    QStringList arrivals;
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

TEST_F(SiteCli, UnpickedPointsAreLeftOutOfEveryFigureAndCounted)
{
    const QJsonObject full = cli({"site-class", survey, "--json"}).json();
    ASSERT_FALSE(full.isEmpty());
    EXPECT_EQ(full["unpickedPoints"].toInt(), 0);

    // Points 3, 7 and 8 not picked: their stored velocities (from the delay
    // alone, and the next points' against them) must not move the figures.
    const QString some = dir.filePath("some.qsw");
    makeSurvey(some, {"3", "7", "8"});
    auto r = cli({"site-class", some});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QString text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QStringLiteral("3 个测点未拾取初至，未计入"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("误差范围"))) << text.toStdString();
    const QJsonObject site = cli({"site-class", some, "--json"}).json();
    EXPECT_EQ(site["unpickedPoints"].toInt(), 3);
    EXPECT_EQ(site["usedPoints"].toInt(), 9);
    EXPECT_NEAR(site["vse"].toDouble(), full["vse"].toDouble(), 0.01 * full["vse"].toDouble());
    EXPECT_NEAR(site["vs30"].toDouble(), full["vs30"].toDouble(), 0.01 * full["vs30"].toDouble());
    EXPECT_EQ(site["category"].toString(), full["category"].toString());
    for (const char *figure : {"vse", "vs30"}) {
        const QJsonObject b = site[QString::fromLatin1(figure) + "Bounds"].toObject();
        EXPECT_LE(b["low"].toDouble(), site[figure].toDouble()) << figure;
        EXPECT_GE(b["high"].toDouble(), site[figure].toDouble()) << figure;
        EXPECT_GT(b["high"].toDouble(), b["low"].toDouble()) << figure;
    }
    EXPECT_TRUE(site["categoriesWithinBounds"].isArray());

    r = cli({"suggest-layers", some});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QStringLiteral("由 9 个测点"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("3 个测点未拾取初至，未计入"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("误差范围(m/s)"))) << text.toStdString();

    ASSERT_EQ(cli({"layers", some, "insert", "--depth", "5"}).exitCode, 0);
    r = cli({"layers", some, "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QStringLiteral("拾取测点波速(m/s)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("3 个测点未拾取初至，未计入拾取测点波速"))) << text.toStdString();
    // The first layer (0-5 m at 150 m/s) from its picks, inside its range.
    const QRegularExpressionMatch m
        = QRegularExpression(
              QStringLiteral("\\n\\s+1\\s+0\\.00\\s+5\\.00\\s+[0-9.]+\\s+([0-9.]+)\\s+([0-9.]+)～([0-9.]+)"))
              .match(text);
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    EXPECT_NEAR(m.captured(1).toDouble(), 150.0, 3.0);
    EXPECT_LE(m.captured(2).toDouble(), m.captured(1).toDouble());
    EXPECT_GE(m.captured(3).toDouble(), m.captured(1).toDouble());

    // Nothing picked: said instead of a number, exit 1, nothing on stdout.
    const QString none = dir.filePath("none.qsw");
    makeSurvey(none, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
    for (const QStringList &args : {QStringList{"site-class", none}, QStringList{"site-class", none, "--json"}}) {
        r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("测点都未拾取初至（12 个测点）")))
            << r.err.toStdString();
    }
    r = cli({"suggest-layers", none});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("12 个测点未拾取初至"))) << r.err.toStdString();

    // As a new user gets it wrong: no file, a missing file, a stray word.
    EXPECT_EQ(cli({"site-class"}).exitCode, 2);
    r = cli({"site-class", dir.filePath("missing.qsw")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(cli({"site-class", survey, "extra"}).exitCode, 2);
    EXPECT_EQ(cli({"site-class", survey, "--jsn"}).exitCode, 2);
}
