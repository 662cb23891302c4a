// talvex-cli intervals, run as a user would run it.

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

} // namespace

TEST(IntervalsCli, ListsPairsFlagsAMovedPickAndRefusesBadFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString survey = dir.filePath("s.qsw");
    const QString records = dir.filePath("rec");
    auto r = clitest::run(QStringLiteral(SAMPLEGEN),
                          {"--out", records, "--depth", "8", "--model", "0:4:150:400,4:8:300:900", "--arrivals"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList arrivals = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
    ASSERT_EQ(arrivals.size(), 8);
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "8"}).exitCode, 0);
    ASSERT_EQ(cli({"import-folder", survey, records}).exitCode, 0);
    // Every point but the last picked where the generator put the arrival.
    QString fifth;
    for (const QString &line : arrivals.mid(0, 7)) {
        const QStringList pair = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_EQ(cli({"pick", survey, "--point", pair[0], "--sample", pair[1]}).exitCode, 0);
        if (pair[0] == "5")
            fifth = pair[1];
    }

    r = cli({"intervals", survey});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QString text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QString::fromUtf8("7 对相邻测点，没有拾取与波形相关不一致的测点")))
        << r.out.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("测点 8 未拾取初至，不作比较"))) << r.out.toStdString();

    // Point 5 picked 40 samples (1 ms) late.
    const QByteArray before = readAll(survey);
    ASSERT_EQ(cli({"pick", survey, "--point", "5", "--sample", QString::number(fifth.toInt() + 40)}).exitCode, 0);
    const QByteArray moved = readAll(survey);
    r = cli({"intervals", survey});
    ASSERT_EQ(r.exitCode, 0);
    text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QString::fromUtf8("7 对相邻测点中 2 对不一致；请复核测点 5"))) << r.out.toStdString();
    EXPECT_EQ(text.count(QString::fromUtf8("不一致")), 3); // two rows and the summary

    const QJsonObject json = cli({"intervals", survey, "--json"}).json();
    EXPECT_EQ(json["points"].toInt(), 8);
    EXPECT_EQ(json["flaggedPoints"].toArray(), QJsonArray({5}));
    const QJsonArray pairs = json["pairs"].toArray();
    ASSERT_EQ(pairs.size(), 7);
    const QJsonObject fourFive = pairs[3].toObject();
    EXPECT_EQ(fourFive["upper"].toInt(), 4);
    EXPECT_DOUBLE_EQ(fourFive["lowerDepth"].toDouble(), 5.0);
    EXPECT_TRUE(fourFive["flagged"].toBool());
    // 40 samples of 25 µs: the picked interval is 1 ms too long (made vertical).
    EXPECT_NEAR(fourFive["differenceMs"].toDouble(), -1.0, 0.15);
    EXPECT_NEAR(fourFive["pickedMs"].toDouble() + fourFive["differenceMs"].toDouble(),
                fourFive["correlatedMs"].toDouble(), 1e-3);
    EXPECT_GT(fourFive["coefficient"].toDouble(), 0.9);
    const QJsonObject last = pairs[6].toObject();
    EXPECT_TRUE(last["pickedMs"].isNull());
    EXPECT_TRUE(last["differenceMs"].isNull());
    EXPECT_FALSE(last["flagged"].toBool());
    EXPECT_TRUE(last["correlatedMs"].isDouble());
    EXPECT_EQ(readAll(survey), moved); // nothing written
    EXPECT_NE(moved, before);

    // A missing or unreadable file: a message and 1; no file given: 2.
    r = cli({"intervals", dir.filePath("none.qsw")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("不能打开"))) << r.err.toStdString();
    QFile junk(dir.filePath("junk.qsw"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a survey");
    junk.close();
    r = cli({"intervals", junk.fileName(), "--json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(cli({"intervals"}).exitCode, 2);
}
