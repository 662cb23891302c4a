// talvex-cli autopick: the listing carries each suggestion's uncertainty and
// says which points their neighbours timed, and --apply fills only points
// without a pick unless --replace is given.

#include "clirunner.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using clitest::cli;

namespace {

class AutoPickCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        survey = dir.filePath("s.qsw");
        const QString records = dir.filePath("rec");
        ASSERT_EQ(clitest::makeImportedSurvey(survey, records, 4, {"--source-distance", "0"}).toStdString(), "");
    }

    std::vector<int> arrivals()
    {
        const auto r = cli({"info", survey, "--json"});
        std::vector<int> out;
        for (const auto &p : r.json()["points"].toArray())
            out.push_back(p.toObject()["sArrival"].toInt());
        return out;
    }

    QByteArray bytes()
    {
        QFile f(survey);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString survey;
};

} // namespace

TEST_F(AutoPickCli, ListsEachSuggestionsUncertaintyInSamplesAndMs)
{
    const auto table = cli({"autopick", survey});
    ASSERT_EQ(table.exitCode, 0) << table.err.toStdString();
    const QString text = QString::fromUtf8(table.out);
    EXPECT_TRUE(text.contains(QStringLiteral("不确定度(±采样点)"))) << table.out.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("不确定度(±ms)")));

    const auto json = cli({"autopick", survey, "--json"});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonArray all = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(all.size(), 4);
    for (const auto &v : all) {
        const QJsonObject s = v.toObject();
        ASSERT_TRUE(s["found"].toBool());
        const double samples = s["uncertainty"].toDouble();
        EXPECT_GT(samples, 0.0);
        EXPECT_LT(samples, 10.0); // the bundled sample is clean
        // The records are sampled every 25 µs.
        EXPECT_NEAR(s["uncertaintyMs"].toDouble(), samples * 0.025, 1.0e-3);
        // The table shows the same figure.
        EXPECT_TRUE(text.contains(QString::number(samples, 'f', 1)));
    }
}

TEST_F(AutoPickCli, ApplyKeepsHandPicksAndReplaceReplacesThem)
{
    ASSERT_EQ(cli({"pick", survey, "--point", "2", "--sample", "300"}).exitCode, 0);
    const QByteArray before = bytes();

    // --replace alone is a usage error and changes nothing.
    const auto alone = cli({"autopick", survey, "--replace"});
    EXPECT_EQ(alone.exitCode, 2);
    EXPECT_EQ(bytes(), before);

    const auto fill = cli({"autopick", survey, "--apply"});
    ASSERT_EQ(fill.exitCode, 0) << fill.err.toStdString();
    EXPECT_TRUE(
        QString::fromUtf8(fill.out).contains(QStringLiteral("填入 3 个未拾取的测点，保留 1 个已有拾取，替换 0 个")))
        << fill.out.toStdString();
    std::vector<int> picks = arrivals();
    ASSERT_EQ(picks.size(), 4u);
    EXPECT_EQ(picks[1], 300);
    EXPECT_GT(picks[0], 300);
    EXPECT_GT(picks[3], 300);

    const auto json = cli({"autopick", survey, "--apply", "--replace", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray all = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[1].toObject()["action"].toString(), QStringLiteral("replaced"));
    EXPECT_EQ(all[0].toObject()["action"].toString(), QStringLiteral("none")); // already the suggestion
    picks = arrivals();
    EXPECT_EQ(picks[1], all[1].toObject()["sample"].toInt());

    // Nothing left to do: the file is not rewritten.
    const QByteArray done = bytes();
    const auto again = cli({"autopick", survey, "--apply", "--replace"});
    EXPECT_TRUE(
        QString::fromUtf8(again.out).contains(QStringLiteral("填入 0 个未拾取的测点，保留 0 个已有拾取，替换 0 个")));
    EXPECT_TRUE(QString::fromUtf8(again.out).contains(QStringLiteral("文件未改动")));
    EXPECT_EQ(bytes(), done);
}

// A noisy hole of the independent generator: where the neighbours' line
// timed a point, the table says so and names the point's own sample, and the
// JSON gives both.
TEST(AutoPickCliAlongHole, SaysWhichPointsTheirNeighboursTimed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString records = dir.filePath("rec");
    const QString survey = dir.filePath("h.qsw");
    ASSERT_EQ(clitest::run(QStringLiteral(HOLEGEN), {"--out", records, "--seed", "42", "--snr", "8", "--points", "20"})
                  .exitCode,
              0);
    ASSERT_EQ(cli({"new", survey, "--hole-depth", "20"}).exitCode, 0);
    ASSERT_EQ(cli({"import-folder", survey, records, "--channel", "auto"}).exitCode, 0);

    const auto json = cli({"autopick", survey, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QString table = QString::fromUtf8(cli({"autopick", survey}).out);
    int moved = 0, along = 0;
    for (const auto &v : QJsonDocument::fromJson(json.out).array()) {
        const QJsonObject s = v.toObject();
        if (!s["found"].toBool())
            continue;
        const int runPoints = s["alongHolePoints"].toInt();
        const int own = s["ownSample"].toInt();
        const int sample = s["sample"].toInt();
        if (runPoints == 0) {
            EXPECT_EQ(own, sample); // timed alone
            continue;
        }
        EXPECT_GE(runPoints, 4);
        ++along;
        if (own != sample) {
            ++moved;
            EXPECT_TRUE(table.contains(
                QStringLiteral("按同一直线段上 %1 个测点的走时（本测点波形单独给 %2）").arg(runPoints).arg(own)))
                << "point " << s["point"].toInt();
        }
    }
    EXPECT_GT(along, 5);
    EXPECT_GT(moved, 0);
}
