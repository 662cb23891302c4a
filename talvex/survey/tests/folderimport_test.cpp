// The folder import's automatic channel: each point takes the channel whose
// S-wave stands out most, on records of the independent hole generator
// whose strongest S-wave is on a channel of its own per point.

#include "common/messenger.h"
#include "records/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/surveydata.h"
#include "tools/holegen/holegen.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvex;

namespace {

// The records of `hole` written as a field crew names them, and a survey
// with one point per record depth.
SurveyData writeHole(const holegen::Hole &hole, const QTemporaryDir &dir)
{
    SurveyData survey;
    for (std::size_t i = 0; i < hole.records.size(); ++i) {
        const int metres = int(hole.survey.points[i].depth);
        for (int blow = 0; blow < 2; ++blow) {
            const QString name = QStringLiteral("HG&%1%2.cwd").arg(metres).arg(blow == 0 ? QChar(u'A') : QChar(u'B'));
            EXPECT_TRUE(writeFieldRecordV2(dir.filePath(name), hole.records[i][std::size_t(blow)]).ok);
        }
        TlvOne p = TlvOne::newPoint(1.0f);
        p.depth = float(metres);
        survey.points.push_back(p);
    }
    return survey;
}

holegen::Hole threeChannelHole()
{
    holegen::HoleOptions o;
    o.seed = 4242;
    o.points = 12;
    o.channels = 3;
    o.signalToNoise = 20.0;
    return holegen::makeHole(o);
}

} // namespace

TEST(FolderImportChannel, AutomaticTakesEachPointsStrongestShearChannel)
{
    const holegen::Hole hole = threeChannelHole();
    int elsewhere = 0;
    for (const holegen::PointTruth &t : hole.truth)
        elsewhere += t.strongestChannel != 0 ? 1 : 0;
    ASSERT_GE(elsewhere, 4); // the case worth testing: most points' S-wave is not on channel 1

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SurveyData survey = writeHole(hole, dir);
    FieldRecord record;
    common::RecordingMessenger messenger;
    const FolderImportResult r = ImportFolder(survey, record, dir.path(), kAutomaticChannel, messenger);
    ASSERT_EQ(r.filesTaken, 24);
    ASSERT_EQ(r.pointChannels.size(), hole.truth.size());
    // Under white noise each channel's lead-in shows the same noise level,
    // so the strongest S-wave wins. Band-limited noise of low frequency
    // differs from channel to channel over a lead-in, and a weaker S-wave
    // over quieter noise may measure better; most still pick the strongest.
    int strongest = 0;
    for (std::size_t i = 0; i < hole.truth.size(); ++i) {
        const int channel = r.pointChannels[i];
        strongest += channel == hole.truth[i].strongestChannel + 1 ? 1 : 0;
        if (hole.truth[i].noise == holegen::NoiseKind::White) {
            EXPECT_EQ(channel, hole.truth[i].strongestChannel + 1) << "point " << i + 1;
        }
        ASSERT_GE(channel, 1);
        ASSERT_LE(channel, 3);
        // Both traces of the point come from the channel reported.
        const auto &records = hole.records[i];
        EXPECT_TRUE(std::equal(survey.points[i].positive.begin(), survey.points[i].positive.end(),
                               records[0].channels[std::size_t(channel - 1)].begin()));
        EXPECT_TRUE(std::equal(survey.points[i].negative.begin(), survey.points[i].negative.end(),
                               records[1].channels[std::size_t(channel - 1)].begin()));
    }
    EXPECT_GE(strongest, 10);
    EXPECT_EQ(r.selectedChannel, r.pointChannels.back());
    EXPECT_EQ(record.selectedChannel, r.pointChannels.back());
    EXPECT_TRUE(messenger.last().contains(QString::fromUtf8("按剪切波信噪比自动选择的通道：")));

    // A chosen channel is still taken for every point, as before.
    SurveyData chosen = writeHole(hole, dir);
    const FolderImportResult fixed = ImportFolder(chosen, record, dir.path(), 2, messenger);
    EXPECT_EQ(fixed.pointChannels, std::vector<int>(hole.truth.size(), 2));
    EXPECT_EQ(chosen.points[0].positive[500], hole.records[0][0].channels[1][500]);
    EXPECT_FALSE(messenger.last().contains(QString::fromUtf8("自动选择")));
}

TEST(FolderImportChannel, TheMeasureCancelsWhatBothBlowsShareAndSkipsMissingRecords)
{
    // Channel 1 carries a large wave common to both blows (a P-wave), channel
    // 2 a smaller one that turns with the blow: the S-wave is on channel 2.
    FieldRecord a, b;
    a.channelsRead = b.channelsRead = 2;
    for (int i = 0; i < kTraceLength; ++i) {
        const std::int16_t noise = std::int16_t((i * 7919) % 7 - 3);
        const std::int16_t p = i >= 300 && i < 340 ? 3000 : 0;
        const std::int16_t s = i >= 400 && i < 460 ? 800 : 0;
        a.channels[0][std::size_t(i)] = std::int16_t(p + noise);
        b.channels[0][std::size_t(i)] = std::int16_t(p - noise);
        a.channels[1][std::size_t(i)] = std::int16_t(s + noise);
        b.channels[1][std::size_t(i)] = std::int16_t(-s + noise);
    }
    EXPECT_EQ(StrongestShearChannel(&a, &b), 2);
    // One blow alone cannot part the waves: its largest wave wins.
    EXPECT_EQ(StrongestShearChannel(&a, nullptr), 1);
    // A channel only one record holds is not a choice.
    b.channelsRead = 1;
    EXPECT_EQ(StrongestShearChannel(&a, &b), 1);
    EXPECT_EQ(StrongestShearChannel(nullptr, nullptr), 1);
}
