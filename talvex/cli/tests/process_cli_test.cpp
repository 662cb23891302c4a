// End-to-end tests of talvex-cli process and spectrum: a survey made with
// new + import-folder from talvex-samplegen records, edited through the
// command line and read back with info --json --traces.

#include "clirunner.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using clitest::cli;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<int> toInts(const QJsonArray &a)
{
    std::vector<int> v;
    for (const auto &x : a)
        v.push_back(x.toInt());
    return v;
}

class ProcessCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        survey = dir.filePath("s.qsw");
        const QString records = dir.filePath("rec");
        ASSERT_EQ(clitest::makeImportedSurvey(survey, records, 5, {"--spacing", "1"}).toStdString(), "");
    }

    // Trace `which` ("positive" or "negative") of point k (1-based).
    std::vector<int> trace(int k, const char *which) const
    {
        const auto r = cli({"info", survey, "--json", "--traces"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return toInts(r.json()["points"].toArray()[k - 1].toObject()[which].toArray());
    }

    // Runs process on point 3's positive trace and expects success.
    void process(const QStringList &op) const
    {
        const auto r = cli(QStringList{"process", survey, "--point", "3", "--trace", "positive"} + op);
        ASSERT_EQ(r.exitCode, 0) << op.join(' ').toStdString() << ": " << r.err.toStdString();
    }

    QTemporaryDir dir;
    QString survey;
};

} // namespace

TEST_F(ProcessCli, InvertTwiceGivesTheSameFile)
{
    const QByteArray original = readAll(survey);
    const std::vector<int> before = trace(3, "positive");
    const std::vector<int> negative = trace(3, "negative");
    ASSERT_EQ(before.size(), 1024u);

    process({"invert"});
    EXPECT_NE(readAll(survey), original);
    const std::vector<int> inverted = trace(3, "positive");
    for (std::size_t j = 0; j < 1024; ++j)
        ASSERT_EQ(inverted[j], before[j] == -32768 ? -32768 : -before[j]) << j;
    EXPECT_EQ(trace(3, "negative"), negative);

    process({"invert"});
    EXPECT_EQ(readAll(survey), original);
}

TEST_F(ProcessCli, SpectrumJsonParsesAndLeavesTheFile)
{
    const QByteArray original = readAll(survey);
    auto r = cli({"spectrum", survey, "--point", "2", "--trace", "negative", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject s = doc.object();
    EXPECT_EQ(s["point"].toInt(), 2);
    EXPECT_EQ(s["trace"].toString(), "negative");
    const double interval = s["interval"].toDouble();
    ASSERT_GT(interval, 0.0);
    const double step = s["frequencyStep"].toDouble();
    EXPECT_FLOAT_EQ(float(step), float(1000000.0 / 1024.0 / interval));
    const double peak = s["peakFrequency"].toDouble();
    EXPECT_GT(peak, 0.0);
    // The peak is a whole bin, and the display (negated, so large
    // amplitudes draw upwards) has its minimum there.
    const double bin = peak / step;
    EXPECT_EQ(bin, std::round(bin));
    const std::vector<int> display = toInts(s["display"].toArray());
    ASSERT_EQ(display.size(), 1024u);
    EXPECT_LE(display[std::size_t(bin)], -16383);
    for (std::size_t i = 0; i < 1024; ++i) {
        ASSERT_GE(display[i], -16384) << i;
        ASSERT_LE(display[i], 16383) << i;
    }
    EXPECT_EQ(display[1023], display[511]); // bins N/2 ... N-1 repeat N/2 - 1

    r = cli({"spectrum", survey, "--point", "2", "--trace", "negative"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).startsWith(QString::fromUtf8("第 2 个测点的反向数据：主频 ")))
        << r.out.toStdString();
    EXPECT_EQ(readAll(survey), original);
}

TEST_F(ProcessCli, EditsDoWhatTheySay)
{
    const std::vector<int> original = trace(3, "positive");
    const std::vector<int> otherTrace = trace(3, "negative");
    const std::vector<int> otherPoint = trace(2, "positive");

    process({"shift-earlier", "3"});
    std::vector<int> t = trace(3, "positive");
    for (std::size_t j = 0; j < 1021; ++j)
        ASSERT_EQ(t[j], original[j + 3]) << j;
    for (std::size_t j = 1021; j < 1024; ++j)
        ASSERT_EQ(t[j], original[1023]) << j;

    process({"shift-later"}); // one sample by default
    const std::vector<int> shifted = t;
    t = trace(3, "positive");
    EXPECT_EQ(t[0], shifted[0]);
    for (std::size_t j = 1; j < 1024; ++j)
        ASSERT_EQ(t[j], shifted[j - 1]) << j;

    process({"zero-before", "300"});
    process({"zero-after", "1000"});
    const std::vector<int> beforeZero = t;
    t = trace(3, "positive");
    for (std::size_t j = 0; j < 1024; ++j)
        ASSERT_EQ(t[j], j < 300 || j >= 1000 ? 0 : beforeZero[j]) << j;

    process({"smooth", "1"}); // window 1 changes nothing
    EXPECT_EQ(trace(3, "positive"), t);
    process({"smooth", "7"});
    EXPECT_NE(trace(3, "positive"), t);

    process({"dc"});
    t = trace(3, "positive");
    double sum = 0;
    for (const int v : t)
        sum += v;
    EXPECT_LT(std::abs(sum / 1024.0), 1.0);

    for (const QStringList &op : QList<QStringList>{
             {"lowpass", "200"}, {"highpass", "20"}, {"bandpass", "20", "400"}, {"bandstop", "45", "55"}}) {
        const std::vector<int> before = trace(3, "positive");
        process(op);
        EXPECT_NE(trace(3, "positive"), before) << op.join(' ').toStdString();
    }
    EXPECT_EQ(trace(3, "negative"), otherTrace);
    EXPECT_EQ(trace(2, "positive"), otherPoint);
}

TEST_F(ProcessCli, RefusalsExitNonZeroAndLeaveTheFile)
{
    const QByteArray before = readAll(survey);
    const QStringList p3 = {"--point", "3", "--trace", "positive"};
    const QList<QStringList> refused = {
        QStringList{"process", survey, "--point", "0", "--trace", "positive", "invert"},
        QStringList{"process", survey, "--point", "6", "--trace", "positive", "invert"},
        QStringList{"process", survey, "--point", "3", "--trace", "sideways", "invert"},
        QStringList{"process", survey, "--point", "3", "invert"},
        QStringList{"process", survey, "--trace", "positive", "invert"},
        QStringList{"process", survey} + p3,
        QStringList{"process", survey} + p3 + QStringList{"sharpen"},
        QStringList{"process", survey} + p3 + QStringList{"invert", "2"},
        QStringList{"process", survey} + p3 + QStringList{"lowpass"},
        QStringList{"process", survey} + p3 + QStringList{"lowpass", "ten"},
        QStringList{"process", survey} + p3 + QStringList{"lowpass", "-5"},
        QStringList{"process", survey} + p3 + QStringList{"lowpass", "99999"},
        // Cut-offs are positive whole numbers below the Nyquist frequency, 20000 Hz at 25 us.
        QStringList{"process", survey} + p3 + QStringList{"lowpass", "0"},
        QStringList{"process", survey} + p3 + QStringList{"lowpass", "20000"},
        QStringList{"process", survey} + p3 + QStringList{"lowpass", "30000"},
        QStringList{"process", survey} + p3 + QStringList{"highpass", "30000"},
        QStringList{"process", survey} + p3 + QStringList{"bandpass", "0", "400"},
        QStringList{"process", survey} + p3 + QStringList{"bandstop", "45", "25000"},
        QStringList{"process", survey} + p3 + QStringList{"lowpass", "200.5"},
        QStringList{"process", survey} + p3 + QStringList{"bandpass", "400", "20"},
        QStringList{"process", survey} + p3 + QStringList{"bandstop", "45"},
        QStringList{"process", survey} + p3 + QStringList{"smooth", "0"},
        QStringList{"process", survey} + p3 + QStringList{"smooth", "1025"},
        QStringList{"process", survey} + p3 + QStringList{"zero-before", "0"},
        QStringList{"process", survey} + p3 + QStringList{"zero-after", "1024"},
        QStringList{"process", survey} + p3 + QStringList{"shift-later", "1024"},
        QStringList{"process", survey} + p3 + QStringList{"smooth"},
        QStringList{"process", survey} + p3 + QStringList{"zero-before", "1025"},
        QStringList{"process", survey} + p3 + QStringList{"zero-after", "-1"},
        QStringList{"process", survey} + p3 + QStringList{"shift-earlier", "0"},
        QStringList{"process", survey} + p3 + QStringList{"shift-later", "1", "2"},
        QStringList{"process", survey} + p3 + QStringList{"invert", "--bogus", "1"},
        QStringList{"process", dir.filePath("missing.qsw")} + p3 + QStringList{"invert"},
        QStringList{"spectrum", survey, "--point", "3"},
        QStringList{"spectrum", survey, "--point", "9", "--trace", "positive"},
        QStringList{"spectrum", survey, "extra"} + p3,
    };
    for (const QStringList &args : refused) {
        const auto r = cli(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_EQ(readAll(survey), before);
    // The reason is given.
    const auto r = cli(QStringList{"process", survey} + p3 + QStringList{"lowpass", "30000"});
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("奈奎斯特频率 20000 Hz"))) << r.err.toStdString();
}

TEST_F(ProcessCli, APointWithoutRecordsHasNoIntervalToFilterAt)
{
    const QString empty = dir.filePath("empty.qsw");
    ASSERT_EQ(cli({"new", empty, "--hole-depth", "2"}).exitCode, 0);
    const QByteArray before = readAll(empty);
    auto r = cli({"process", empty, "--point", "1", "--trace", "positive", "lowpass", "100"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("没有采样间隔"))) << r.err.toStdString();
    r = cli({"spectrum", empty, "--point", "1", "--trace", "positive"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(readAll(empty), before);
    // Operations that need no interval still run.
    r = cli({"process", empty, "--point", "2", "--trace", "negative", "shift-later", "10"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(cli({"process", "--help"}).exitCode, 0);
}
