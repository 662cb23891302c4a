// The H/V result as JSON, text and CSV: the fields the command line
// promises with their values, what cannot be a number written as null, and
// the curve columns as their header names them.

#include "sedra/core/hvexport.h"
#include "sedra/tests/hvtestrecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>

using sedra::HvOptions;

TEST(HvExport, JsonTextAndCsvCarryTheResult)
{
    hvtest::RecordSpec s;
    s.seconds = 600;
    s.burstWindows = {4};
    const auto record = hvtest::makeRecord(s);
    HvOptions o;
    o.vs = 200;
    o.vsSigmaLn = 0.1;
    o.powerLaw = 0;
    sedra::HvResult r = sedra::analyseHv(record, o);
    ASSERT_TRUE(r.ok());
    ASSERT_TRUE(sedra::setManualMark(r, 1, sedra::ManualMark::Reject));

    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(sedra::hvJson(r, {QStringLiteral("a.txt")})));
    ASSERT_TRUE(json.isObject());
    const QJsonObject j = json.object();
    EXPECT_DOUBLE_EQ(j["f0"].toDouble(), r.f0);
    EXPECT_DOUBLE_EQ(j["a0"].toDouble(), r.a0);
    EXPECT_DOUBLE_EQ(j["t0"].toDouble(), r.t0);
    EXPECT_DOUBLE_EQ(j["f0Windows"].toObject()["median"].toDouble(), r.f0Windows.median);
    EXPECT_DOUBLE_EQ(j["f0Windows"].toObject()["sigmaLn"].toDouble(), r.f0Windows.sigmaLn);
    const QJsonObject w = j["windows"].toObject();
    EXPECT_EQ(w["count"].toInt(), 10);
    EXPECT_EQ(w["used"].toInt(), r.usedCount());
    const QJsonArray rejected = w["rejected"].toArray();
    ASSERT_EQ(rejected.size(), int(r.rejectedIndices().size()));
    bool sawManual = false, sawBurst = false;
    for (const auto &v : rejected) {
        const QJsonObject e = v.toObject();
        if (e["index"].toInt() == 1) {
            sawManual = true;
            EXPECT_EQ(e["reason"].toString(), QStringLiteral("manual"));
            EXPECT_EQ(e["text"].toString(), QStringLiteral("手动剔除"));
        }
        if (e["index"].toInt() == 4) {
            sawBurst = true;
            EXPECT_TRUE(e["reason"].toString().startsWith(QStringLiteral("antitrigger:")));
        }
    }
    EXPECT_TRUE(sawManual && sawBurst);
    const QJsonObject sesame = j["sesame"].toObject();
    ASSERT_EQ(sesame["reliable"].toArray().size(), 3);
    ASSERT_EQ(sesame["clear"].toArray().size(), 6);
    for (int i = 0; i < 6; ++i) {
        const QJsonObject c = sesame["clear"].toArray()[i].toObject();
        EXPECT_EQ(c["pass"].toBool(), r.sesame.clear[std::size_t(i)].pass);
        EXPECT_DOUBLE_EQ(c["threshold"].toDouble(), r.sesame.clear[std::size_t(i)].threshold);
    }
    EXPECT_EQ(sesame["isReliable"].toBool(), r.sesame.isReliable);
    EXPECT_EQ(sesame["isClear"].toBool(), r.sesame.isClear);
    EXPECT_EQ(j["peaks"].toArray().size(), int(r.peaks.size()));
    const QJsonObject depth = j["depth"].toObject();
    EXPECT_DOUBLE_EQ(depth["h"].toDouble(), 200.0 / (4 * r.f0));
    EXPECT_DOUBLE_EQ(depth["low"].toDouble(), r.depth->low);
    EXPECT_DOUBLE_EQ(depth["high"].toDouble(), r.depth->high);
    EXPECT_TRUE(j.contains("powerLawDepth"));
    EXPECT_EQ(j["options"].toObject()["combine"].toString(), QStringLiteral("geometric"));

    // The text explains both f0 and lists every criterion with its verdict.
    const QString text = sedra::hvTextReport(r).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("f0（平均曲线的峰）")));
    EXPECT_TRUE(text.contains(QStringLiteral("f0（各窗口峰的中值）")));
    EXPECT_TRUE(text.contains(QStringLiteral("窗口 1（60.0 s 起）剔除：手动剔除")));
    EXPECT_EQ(text.count(QStringLiteral("阈值")), 9);
    EXPECT_TRUE(text.contains(QStringLiteral("硬层深度 h = Vs / (4 f0)")));

    const QList<QByteArray> lines = sedra::hvCurveCsv(r).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 201);
    EXPECT_EQ(lines[0], "frequency(Hz),mean H/V,mean/exp(sigma_ln),mean*exp(sigma_ln),H,V");
    const QList<QByteArray> row = lines[100].split(',');
    ASSERT_EQ(row.size(), 6);
    EXPECT_NEAR(row[0].toDouble(), r.frequencies[99], 1e-6 * r.frequencies[99]);
    EXPECT_NEAR(row[2].toDouble(), r.mean[99] / std::exp(r.sigmaLn[99]), 1e-6 * r.mean[99]);
    EXPECT_NEAR(row[3].toDouble(), r.mean[99] * std::exp(r.sigmaLn[99]), 1e-6 * r.mean[99]);
}

TEST(HvExport, NoWindowUsedGivesNullsNotNumbers)
{
    hvtest::RecordSpec s;
    s.seconds = 180;
    const auto record = hvtest::makeRecord(s);
    sedra::HvResult r = sedra::analyseHv(record, HvOptions{});
    ASSERT_TRUE(r.ok());
    for (int i = 0; i < int(r.windows.size()); ++i)
        ASSERT_TRUE(sedra::setManualMark(r, i, sedra::ManualMark::Reject));
    ASSERT_EQ(r.usedCount(), 0);
    const QJsonObject j
        = QJsonDocument::fromJson(QByteArray::fromStdString(sedra::hvJson(r, {QStringLiteral("a.txt")}))).object();
    ASSERT_FALSE(j.isEmpty());
    EXPECT_TRUE(j["f0"].isNull());
    EXPECT_EQ(j["windows"].toObject()["used"].toInt(), 0);
    EXPECT_FALSE(j["sesame"].toObject()["isReliable"].toBool());
    // The text says so rather than printing "nan".
    EXPECT_FALSE(sedra::hvTextReport(r).join(QString()).contains(QStringLiteral("nan"), Qt::CaseInsensitive));
}

// The reader's list of peaks: f0, peaks of amplitude 2 or more and those
// flagged industrial; the ripples are counted, not listed.
TEST(HvExport, TheTextListsPeaksNotRipples)
{
    std::vector<sedra::HvPeak> peaks(5);
    peaks[0] = {0.3, 1.05, false, 1.05};
    peaks[1] = {1.0, 1.9, false, 1.2};
    peaks[1].industrial = true;
    peaks[2] = {2.0, 4.0, true, 2.5};
    peaks[3] = {6.0, 2.0, false, 1.4};
    peaks[4] = {12.0, 1.2, false, 1.1};
    std::size_t left = 0;
    const std::vector<sedra::HvPeak> listed = sedra::listedPeaks(peaks, &left);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_DOUBLE_EQ(listed[0].frequency, 1.0); // in their order
    EXPECT_TRUE(listed[1].isF0);
    EXPECT_DOUBLE_EQ(listed[2].frequency, 6.0);
    EXPECT_EQ(left, 2u);

    hvtest::RecordSpec s;
    s.seconds = 600;
    const sedra::HvResult r = sedra::analyseHv(hvtest::makeRecord(s), HvOptions{});
    ASSERT_TRUE(r.ok());
    const QString text = sedra::hvTextReport(r).join(QLatin1Char('\n'));
    std::size_t ripples = 0;
    const std::size_t shown = sedra::listedPeaks(r.peaks, &ripples).size();
    EXPECT_EQ(text.count(QStringLiteral("突出比")), int(shown));
    if (ripples > 0) {
        EXPECT_TRUE(text.contains(QStringLiteral("另有 %1 个幅值小于 2 的小起伏未列出").arg(ripples)));
    }
}
