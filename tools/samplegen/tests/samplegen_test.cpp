#include "common/messenger.h"
#include "records/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/newsurvey.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace samplegen;

namespace {

// The first sample at which the S-wave (half the difference of the two
// blows, where the P-wave and the noise largely cancel) rises clearly.
int sOnsetSample(const talvex::Trace &positive, const talvex::Trace &negative)
{
    for (int i = 0; i < talvex::kTraceLength; ++i) {
        const double s = (double(positive[std::size_t(i)]) - negative[std::size_t(i)]) / 2.0;
        if (std::fabs(s) > 150.0)
            return i;
    }
    return -1;
}

} // namespace

TEST(SampleGenerator, SameSeedSameBytes)
{
    const SurveyModel m = defaultModel();
    EXPECT_EQ(talvex::encodeFieldRecordV2(makeRecord(m, 5.0, true)),
              talvex::encodeFieldRecordV2(makeRecord(m, 5.0, true)));
    EXPECT_NE(talvex::encodeFieldRecordV2(makeRecord(m, 5.0, true)),
              talvex::encodeFieldRecordV2(makeRecord(m, 5.0, false)));
}

TEST(SampleGenerator, DefaultNoiseKeepsTheBundledSampleBytes)
{
    // FNV-1a of the bundled sample's record at 5 m (positive blow), as the
    // generator wrote it before the noise level could be chosen.
    const std::vector<std::uint8_t> bytes = talvex::encodeFieldRecordV2(makeRecord(defaultModel(), 5.0, true));
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::uint8_t b : bytes)
        hash = (hash ^ b) * 0x100000001b3ull;
    EXPECT_EQ(bytes.size(), 6400u);
    EXPECT_EQ(hash, 0x116c635031234ed8ull);
}

TEST(SampleGenerator, NoiseFollowsTheSignalToNoiseRatio)
{
    // The noise draws do not depend on the level, so a record at a huge
    // ratio is the noiseless wave and the difference is the noise alone; the
    // S-wave is half the difference of the two noiseless blows.
    SurveyModel quiet = defaultModel();
    quiet.signalToNoise = 1.0e9;
    const auto clean = makeRecord(quiet, 8.0, true);
    const auto cleanReversed = makeRecord(quiet, 8.0, false);
    for (const double snr : {20.0, 2.0}) {
        SurveyModel noisy = quiet;
        noisy.signalToNoise = snr;
        const auto rec = makeRecord(noisy, 8.0, true);
        for (std::size_t c = 0; c < rec.channels.size(); ++c) {
            double peak = 0.0;
            double squares = 0.0;
            for (std::size_t i = 0; i < rec.channels[c].size(); ++i) {
                const double n = double(rec.channels[c][i]) - clean.channels[c][i];
                squares += n * n;
                peak = std::max(peak, std::abs(double(clean.channels[c][i]) - cleanReversed.channels[c][i]) / 2.0);
            }
            const double rms = std::sqrt(squares / double(rec.channels[c].size()));
            EXPECT_NEAR(peak / rms, snr, 0.1 * snr) << "channel " << c;
        }
    }
}

TEST(SampleGenerator, TravelTimesFollowTheStraightRay)
{
    SurveyModel m;
    m.layers = {{0.0f, 10.0f, 200.0f, 500.0f}, {10.0f, 30.0f, 400.0f, 900.0f}};
    m.sourceDistance = 0.0f;
    EXPECT_NEAR(travelTimeMs(m, 10.0, true), 50.0, 1e-9);
    EXPECT_NEAR(travelTimeMs(m, 20.0, true), 75.0, 1e-9);
    m.sourceDistance = 3.0f;
    // 4 m deep, 3 m offset: a 5 m ray through one layer.
    EXPECT_NEAR(travelTimeMs(m, 4.0, true), 25.0, 1e-9);
    EXPECT_NEAR(intervalVelocity(m, 5.0, 15.0), 10.0 / (25.0 + 12.5) * 1000.0, 1e-9);
}

TEST(SampleGenerator, ImportedRecordsCarryTheModelsArrivals)
{
    QTemporaryDir dir;
    const SurveyModel model = defaultModel();
    QString error;
    ASSERT_EQ(writeRecords(model, dir.path(), &error), 40) << error.toStdString();

    talvex::SurveyData survey;
    talvex::HoleParameters p = talvex::newSurveyDefaults(survey, QDate(2026, 12, 7));
    p.holeDepth = model.holeDepth;
    p.sourceDistance = model.sourceDistance;
    talvex::NewSurvey(survey, p);
    talvex::FieldRecord record;
    common::RecordingMessenger messenger;
    ASSERT_EQ(talvex::ImportFolder(survey, record, dir.path(), 1, messenger).filesTaken, 40);

    // Each point's S onset sits where the model puts it, with opposite
    // polarity on the two blows.
    std::vector<double> picked;
    for (const talvex::TlvOne &pt : survey.points) {
        const double expected = (travelTimeMs(model, pt.depth, true) - pt.delay) * 1000.0 / pt.interval;
        const int onset = sOnsetSample(pt.positive, pt.negative);
        ASSERT_GE(onset, 0) << pt.depth;
        EXPECT_GE(onset, int(expected) - 1) << pt.depth;
        EXPECT_LE(onset, int(expected) + 12) << pt.depth; // the wavelet needs a few samples to rise
        // A quarter period of the 70 Hz S-wavelet after the onset: its crest,
        // up on the positive blow and down on the negative one.
        const std::size_t crest = std::size_t(expected + 1000.0 / 70.0 / 4.0 * 1000.0 / pt.interval);
        ASSERT_LT(crest, std::size_t(talvex::kTraceLength));
        EXPECT_GT(pt.positive[crest], 300) << pt.depth;
        EXPECT_LT(pt.negative[crest], -300) << pt.depth;
        picked.push_back(std::round(expected));
        EXPECT_EQ(arrivalSample(model, pt.depth), int(std::round(expected))) << pt.depth;
    }

    // Picking the true arrivals and correcting them to vertical times gives
    // back the model's interval velocities.
    double previousDepth = 0.0;
    double previousTc = 0.0;
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        const talvex::TlvOne &pt = survey.points[i];
        const double t = picked[i] * pt.interval / 1000.0 + pt.delay;
        const double slant
            = std::sqrt(double(model.sourceDistance) * model.sourceDistance + double(pt.depth) * pt.depth);
        const double tc = t * pt.depth / slant;
        const double v = (pt.depth - previousDepth) / (tc - previousTc) * 1000.0;
        EXPECT_NEAR(v, intervalVelocity(model, previousDepth, pt.depth), 0.02 * v) << pt.depth;
        previousDepth = pt.depth;
        previousTc = tc;
    }
}

TEST(SampleGenerator, RefusesModelsWhoseRecordsWouldBeLostOrWrong)
{
    const SurveyModel good = defaultModel();
    EXPECT_TRUE(checkModel(good).isEmpty()) << checkModel(good).toStdString();

    // Names carry whole metres: 0.5 m would write 1.5 m over 1.0 m.
    SurveyModel half = good;
    half.pointSpacing = 0.5f;
    EXPECT_TRUE(checkModel(half).contains(QStringLiteral("同名"))) << checkModel(half).toStdString();
    QTemporaryDir dir;
    QString error;
    EXPECT_EQ(writeRecords(half, dir.filePath("half"), &error), -1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("half")));

    SurveyModel shallowModel = good; // below 10 m the travel time would stop growing
    shallowModel.layers = {{0.0f, 10.0f, 200.0f, 500.0f}};
    SurveyModel gap = good;
    gap.layers = {{0.0f, 5.0f, 200.0f, 500.0f}, {6.0f, 30.0f, 300.0f, 700.0f}};
    SurveyModel outside = good;
    outside.holeName = "../ZK1";
    SurveyModel noPoint = good;
    noPoint.holeDepth = 0.5f;
    SurveyModel notGbk = good;
    notGbk.siteName = "\u0E01";
    for (const SurveyModel &bad : {shallowModel, gap, outside, noPoint, notGbk}) {
        EXPECT_FALSE(checkModel(bad).isEmpty());
        EXPECT_EQ(writeRecords(bad, dir.filePath("bad"), &error), -1);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("bad")));
}

TEST(SampleGenerator, CountsTheFilesItWrites)
{
    // 1.5 m: depths 1.5, 3, 4.5, 6 are named 1, 3, 4, 6, all different.
    SurveyModel model = defaultModel();
    model.holeDepth = 6.0f;
    model.pointSpacing = 1.5f;
    QTemporaryDir dir;
    QString error;
    ASSERT_EQ(writeRecords(model, dir.path(), &error), 8) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 8);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("ZK1&4A.cwd")));
}

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun runSamplegen(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(SAMPLEGEN), arguments);
    ProgramRun run;
    if (!p.waitForFinished(30000))
        p.kill();
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace

TEST(SampleGeneratorCommand, RefusesWrongCommandLinesWritingNothing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    const struct {
        QStringList arguments;
        QString says;
    } wrong[] = {
        {{"--out", out, "--spacing", "0.5"}, QStringLiteral("同名")},
        {{"--out=" + out, "--spacing=0"}, QStringLiteral("间距")},
        {{"--out", out, "--depth", "-5"}, "--depth"},
        {{"--out", out, "--channels", "2.5"}, "--channels"},
        {{"--out", out, "--interval", "25us"}, "--interval"},
        {{"--out", out, "--model", "0:5:100"}, "--model"},
        {{"--out", out, "--hole", "a/b"}, "a/b"},
        {{"--out", out, "--bogus"}, "--bogus"},
        {{"--out", out, "extra"}, "extra"},
        {{"--out", out, "--seed", "1", "--seed", "2"}, "--seed"},
        {{"--depth", "5"}, "--out"},
    };
    for (const auto &w : wrong) {
        SCOPED_TRACE(w.arguments.join(' ').toStdString());
        const ProgramRun run = runSamplegen(w.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(w.says)) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
    }

    // The first line counts the files really written; --arrivals lists one line per point.
    const ProgramRun made = runSamplegen({"--out=" + out, "--depth=4", "--spacing", "1.5", "--arrivals"});
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    const QStringList lines = made.out.trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.first().contains(QStringLiteral(" 4 个"))) << lines.first().toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 4);
    EXPECT_TRUE(lines.at(1).startsWith("1 "));

    const ProgramRun help = runSamplegen({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char *option : {"--out", "--hole", "--site", "--depth", "--spacing", "--source-distance", "--interval",
                               "--channels", "--seed", "--model", "--arrivals", "--version"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
    EXPECT_TRUE(help.out.contains(QStringLiteral("默认 20"))) << "the 20 m hole of the sample";
    const ProgramRun version = runSamplegen({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("talvex-samplegen ") + QStringLiteral(PROJECT_VERSION));
}
