// Three-component recordings read from files the test writes in each format,
// the refusals of files that do not make one, and miniSEED written and read
// back through the reader.

#include "sedra/core/threecomponentreader.h"
#include "sedra/core/threecomponentwriter.h"

#include "records/mseedrecord.h"
#include "records/sacrecord.h"
#include "records/tests/seg2writer.h"
#include "sedra/core/sedrarecord.h"
#include "sedra/core/sedrasettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <cmath>

using namespace sedra;

namespace {

std::vector<double> wave(int n, double f, double a)
{
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(std::round(a * std::sin(f * i) + (i * 37 % 11)));
    return v;
}

class ThreeComponentFiles : public ::testing::Test {
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    QString writeSac(const QString &name, const talvex::SacTrace &t, bool big = false) const
    {
        return write(name, talvex::encodeSacTrace(t, big));
    }
    static talvex::SacTrace sac(const QString &component, int n = 500, double delta = 0.01)
    {
        talvex::SacTrace t;
        t.delta = delta;
        t.component = component;
        t.start = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), QTimeZone::utc());
        t.samples = wave(
            n, 0.1 + component.size() * 0.01 + (component.isEmpty() ? 0 : component.back().unicode()) * 1e-3, 500.0);
        return t;
    }
    static std::string error(const ThreeComponentReadResult &r) { return r.error.toStdString(); }

    QTemporaryDir m_dir;
};

TEST_F(ThreeComponentFiles, TextColumnsWithIntervalFromCommentOrOption)
{
    const QString file = write(QStringLiteral("a.txt"), "# site A\n# dt = 0.005 s\n1 2 3\n4,5,6\n\n7\t8\t9\n");
    auto r = readThreeComponent({file});
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_DOUBLE_EQ(r.record.sampleInterval, 0.005);
    EXPECT_EQ(r.record[Component::North], (std::vector<double>{1, 4, 7}));
    EXPECT_EQ(r.record[Component::East], (std::vector<double>{2, 5, 8}));
    EXPECT_EQ(r.record[Component::Vertical], (std::vector<double>{3, 6, 9}));

    ThreeComponentReadOptions options;
    options.sampleInterval = 0.01;
    r = readThreeComponent({file}, options);
    ASSERT_TRUE(r.ok());
    EXPECT_DOUBLE_EQ(r.record.sampleInterval, 0.01);

    const QString noDt = write(QStringLiteral("b.txt"), "1 2 3\n4 5 6\n");
    r = readThreeComponent({noDt});
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains(QStringLiteral("--dt"))) << error(r);

    // A first comment line of five words is no alphanumeric SAC header.
    const QString fiveWords = write(QStringLiteral("d.txt"), "\xEF\xBB\xBF# dt = 0.02 s\r\n1 2 3\r\n");
    r = readThreeComponent({fiveWords});
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_DOUBLE_EQ(r.record.sampleInterval, 0.02);

    const QString twoColumns = write(QStringLiteral("c.txt"), "# dt=0.01\n1 2 3\n4 5\n");
    r = readThreeComponent({twoColumns});
    EXPECT_TRUE(r.error.contains(QStringLiteral("第 3 行"))) << error(r);
    EXPECT_TRUE(r.error.contains(QStringLiteral("c.txt")));
}

TEST_F(ThreeComponentFiles, SacComponentsFromNamesAnglesOrOrder)
{
    // Given Z, N, E by name: put in place whatever the order.
    const auto z = sac(QStringLiteral("HHZ")), n = sac(QStringLiteral("HHN")), e = sac(QStringLiteral("HHE"));
    auto r = readThreeComponent({writeSac(QStringLiteral("z.sac"), z, true), writeSac(QStringLiteral("n.sac"), n),
                                 writeSac(QStringLiteral("e.sac"), e)});
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_EQ(r.record[Component::North], n.samples);
    EXPECT_EQ(r.record[Component::East], e.samples);
    EXPECT_EQ(r.record[Component::Vertical], z.samples);
    EXPECT_DOUBLE_EQ(r.record.sampleInterval, 0.01);
    ASSERT_TRUE(r.record.start);
    EXPECT_EQ(*r.record.start, *n.start);
    EXPECT_EQ(r.record.source, QStringLiteral("n.sac + e.sac + z.sac"));

    // Angles win over the name; a sensor pointing west is the east
    // component turned round.
    auto west = sac(QStringLiteral("XYZ"));
    west.azimuth = 270.0;
    west.incidence = 90.0;
    r = readThreeComponent(
        {writeSac(QStringLiteral("w.sac"), west), path(QStringLiteral("n.sac")), path(QStringLiteral("z.sac"))});
    ASSERT_TRUE(r.ok()) << error(r);
    ASSERT_EQ(r.record[Component::East].size(), west.samples.size());
    EXPECT_EQ(r.record[Component::East][10], -double(float(west.samples[10])));

    // No component named: the order given.
    auto a = sac(QString()), b = sac(QString()), c = sac(QString());
    b.samples[0] = 111;
    c.samples[0] = 222;
    r = readThreeComponent({writeSac(QStringLiteral("1.sac"), a), writeSac(QStringLiteral("2.sac"), b),
                            writeSac(QStringLiteral("3.sac"), c)});
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_EQ(r.record[Component::East][0], 111);
    EXPECT_EQ(r.record[Component::Vertical][0], 222);
}

TEST_F(ThreeComponentFiles, SacFilesThatDoNotFitTogetherAreRefused)
{
    const QString n = writeSac(QStringLiteral("n.sac"), sac(QStringLiteral("HHN")));
    const QString e = writeSac(QStringLiteral("e.sac"), sac(QStringLiteral("HHE")));
    const QString z = writeSac(QStringLiteral("z.sac"), sac(QStringLiteral("HHZ")));

    const QString slow = writeSac(QStringLiteral("z50.sac"), sac(QStringLiteral("HHZ"), 500, 0.02));
    auto r = readThreeComponent({n, e, slow});
    EXPECT_TRUE(r.error.contains(QStringLiteral("采样率不同")) && r.error.contains(QStringLiteral("z50.sac")))
        << error(r);
    EXPECT_TRUE(r.record.components[0].empty());

    const QString shorter = writeSac(QStringLiteral("z499.sac"), sac(QStringLiteral("HHZ"), 499));
    r = readThreeComponent({n, e, shorter});
    EXPECT_TRUE(r.error.contains(QStringLiteral("长度不同"))) << error(r);

    auto late = sac(QStringLiteral("HHZ"));
    late.start = late.start->addSecs(1);
    r = readThreeComponent({n, e, writeSac(QStringLiteral("late.sac"), late)});
    EXPECT_TRUE(r.error.contains(QStringLiteral("起始时间不同"))) << error(r);

    r = readThreeComponent({n, z});
    EXPECT_TRUE(r.error.contains(QStringLiteral("缺少东分量"))) << error(r);

    r = readThreeComponent({n, e, writeSac(QStringLiteral("n2.sac"), sac(QStringLiteral("BHN")))});
    EXPECT_TRUE(r.error.contains(QStringLiteral("都是北分量"))) << error(r);

    r = readThreeComponent({n, e, writeSac(QStringLiteral("h1.sac"), sac(QStringLiteral("HH1")))});
    EXPECT_TRUE(r.error.contains(QStringLiteral("方向未知")) && r.error.contains(QStringLiteral("h1.sac"))) << error(r);

    r = readThreeComponent({n, e, n});
    EXPECT_TRUE(r.error.contains(QStringLiteral("两次"))) << error(r);

    auto elsewhere = sac(QStringLiteral("HHZ"));
    elsewhere.station = QStringLiteral("B2");
    auto here = sac(QStringLiteral("HHN"));
    here.station = QStringLiteral("A1");
    r = readThreeComponent(
        {writeSac(QStringLiteral("a1.sac"), here), e, writeSac(QStringLiteral("b2.sac"), elsewhere)});
    EXPECT_TRUE(r.error.contains(QStringLiteral("台站不同"))) << error(r);

    auto oblique = sac(QStringLiteral("HHN"));
    oblique.azimuth = 30.0;
    oblique.incidence = 90.0;
    r = readThreeComponent({writeSac(QStringLiteral("o.sac"), oblique), e, z});
    EXPECT_TRUE(r.error.contains(QStringLiteral("方向未知"))) << error(r);
}

TEST_F(ThreeComponentFiles, GarbageTruncatedAndMissingFilesAreRefusedByName)
{
    QByteArray garbage(3000, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char(i * 7 + 3);
    auto r = readThreeComponent({write(QStringLiteral("g.bin"), garbage)});
    EXPECT_TRUE(r.error.contains(QStringLiteral("g.bin")) && r.error.contains(QStringLiteral("格式无法识别")))
        << error(r);

    const QByteArray sacBytes = talvex::encodeSacTrace(sac(QStringLiteral("HHN")));
    r = readThreeComponent({write(QStringLiteral("cut.sac"), sacBytes.left(sacBytes.size() - 10))});
    EXPECT_TRUE(r.error.contains(QStringLiteral("cut.sac")) && r.error.contains(QStringLiteral("截断"))) << error(r);

    r = readThreeComponent({write(QStringLiteral("empty.sac"), QByteArray())});
    EXPECT_TRUE(r.error.contains(QStringLiteral("空"))) << error(r);

    r = readThreeComponent({path(QStringLiteral("none.sac"))});
    EXPECT_TRUE(r.error.contains(QStringLiteral("不能打开"))) << error(r);
}

TEST_F(ThreeComponentFiles, MiniSeedWrittenWithSiteCodesReadsBack)
{
    ThreeComponentRecord written;
    written.sampleInterval = 0.008;
    written.start = QDateTime(QDate(2026, 12, 8), QTime(1, 2, 3, 400), QTimeZone::utc());
    for (int k = 0; k < 3; ++k)
        written.components[std::size_t(k)] = wave(30000, 0.05 * (k + 1), 3000.0);
    const SeedCodes codes = seedCodesFor(QString::fromUtf8("东湖工地"), QString::fromUtf8("3号点"));
    written.network = codes.network;
    written.station = codes.station;
    written.location = codes.location;
    const QString file = path(QStringLiteral("rec.mseed"));
    ASSERT_TRUE(writeThreeComponentMseed(file, written).ok);

    auto r = readThreeComponent({file});
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_DOUBLE_EQ(r.record.sampleInterval, 0.008);
    EXPECT_EQ(r.record.start, written.start);
    EXPECT_EQ(r.record.network, codes.network);
    EXPECT_EQ(r.record.station, codes.station);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(r.record.components[std::size_t(k)], written.components[std::size_t(k)]);

    // The same channels as three files, given in any order.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    std::vector<talvex::MseedTrace> traces;
    const QByteArray all = f.readAll();
    ASSERT_EQ(
        talvex::parseMseed({reinterpret_cast<const std::uint8_t *>(all.constData()), std::size_t(all.size())}, traces),
        QString());
    ASSERT_EQ(traces.size(), 3u);
    QStringList files;
    for (int k = 2; k >= 0; --k) {
        QString why;
        files << write(traces[std::size_t(k)].channel + QStringLiteral(".mseed"),
                       talvex::encodeMseed({traces[std::size_t(k)]}, &why));
    }
    r = readThreeComponent(files);
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_EQ(r.record[Component::North], written[Component::North]);
    EXPECT_EQ(r.record[Component::Vertical], written[Component::Vertical]);

    // A channel code without an orientation letter.
    traces[0].channel = QStringLiteral("EH1");
    QString why;
    r = readThreeComponent(
        {write(QStringLiteral("one.mseed"), talvex::encodeMseed({traces[0]}, &why)), files[0], files[1]});
    EXPECT_TRUE(r.error.contains(QStringLiteral("EH1"))) << error(r);
}

TEST_F(ThreeComponentFiles, Seg2AndCwdChannelsFollowTheSetting)
{
    talvex::test::Seg2File seg2;
    for (int k = 0; k < 4; ++k) {
        talvex::test::Seg2Trace t = talvex::test::seg2Trace(2, wave(5000, 0.02 * (k + 1), 10000.0));
        t.strings = {"SAMPLE_INTERVAL 0.01"};
        seg2.traces.push_back(t);
    }
    const std::vector<std::uint8_t> seg2Bytes = talvex::test::seg2Bytes(seg2);
    const QString seg2File
        = write(QStringLiteral("shot.dat"),
                QByteArray(reinterpret_cast<const char *>(seg2Bytes.data()), qsizetype(seg2Bytes.size())));
    ThreeComponentReadOptions options;
    options.channels = {4, 2, 1};
    auto r = readThreeComponent({seg2File}, options);
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_EQ(r.record[Component::North], seg2.traces[3].values);
    EXPECT_EQ(r.record[Component::Vertical], seg2.traces[0].values);
    EXPECT_EQ(r.record.sampleCount(), 5000u);

    SedraRecord cwd;
    cwd.header.channelCount = 3;
    cwd.header.sampleCount = 1024;
    cwd.header.interval = 8000;
    cwd.channels.channelCount = 3;
    cwd.channels.sampleCount = 1024;
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 1024; ++i)
            cwd.channels.working[std::size_t(c)][std::size_t(i)] = std::int16_t(c * 1000 + i);
    const auto cwdBytes = encodeSedraRecord(cwd, 0.0f);
    const QString cwdFile
        = write(QStringLiteral("rec.CWD"),
                QByteArray(reinterpret_cast<const char *>(cwdBytes.data()), qsizetype(cwdBytes.size())));
    r = readThreeComponent({cwdFile});
    ASSERT_TRUE(r.ok()) << error(r);
    EXPECT_DOUBLE_EQ(r.record.sampleInterval, 0.008);
    EXPECT_EQ(r.record[Component::East][5], 1005);
    EXPECT_EQ(r.record[Component::Vertical][1023], 3023);

    r = readThreeComponent({cwdFile}, options); // channel 4 of a 3-channel record
    EXPECT_TRUE(r.error.contains(QStringLiteral("只有 3 道"))) << error(r);
    options.channels = {1, 1, 2};
    r = readThreeComponent({cwdFile}, options);
    EXPECT_TRUE(r.error.contains(QStringLiteral("重复"))) << error(r);

    // A record cut short is refused, not read with zeros.
    r = readThreeComponent(
        {write(QStringLiteral("cut.cwd"),
               QByteArray(reinterpret_cast<const char *>(cwdBytes.data()), qsizetype(cwdBytes.size() - 100)))});
    EXPECT_FALSE(r.ok());
}

TEST(SeedCodes, NamesMapToAsciiCodesDeterministically)
{
    const SeedCodes plain = seedCodesFor(QStringLiteral("lake site"), QStringLiteral("p-12 b"));
    EXPECT_EQ(plain.network, QStringLiteral("LA"));
    EXPECT_EQ(plain.station, QStringLiteral("P12B"));
    EXPECT_EQ(plain.location, QStringLiteral("00"));

    const SeedCodes a = seedCodesFor(QString::fromUtf8("东湖"), QString::fromUtf8("A3号点"));
    const SeedCodes b = seedCodesFor(QString::fromUtf8("西湖"), QString::fromUtf8("A4号点"));
    EXPECT_EQ(a.network.size(), 2);
    EXPECT_EQ(a.station.size(), 5);
    EXPECT_TRUE(a.station.startsWith(QStringLiteral("A3")));
    EXPECT_NE(a.network, b.network);
    EXPECT_NE(a.station, b.station);
    for (const QChar c : a.network + a.station)
        EXPECT_TRUE((c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                    || (c >= QLatin1Char('0') && c <= QLatin1Char('9')));
    const SeedCodes again = seedCodesFor(QString::fromUtf8("东湖"), QString::fromUtf8("A3号点"));
    EXPECT_EQ(again.network, a.network);
    EXPECT_EQ(again.station, a.station);

    const SeedCodes empty = seedCodesFor(QString(), QString());
    EXPECT_EQ(empty.network, QStringLiteral("XX"));
    EXPECT_EQ(empty.station, QStringLiteral("STA"));

    EXPECT_EQ(seedChannelCode(0.008, Component::North), QStringLiteral("EHN"));
    EXPECT_EQ(seedChannelCode(0.02, Component::Vertical), QStringLiteral("SHZ"));
    EXPECT_EQ(seedChannelCode(0.001, Component::East), QStringLiteral("GHE"));
}

} // namespace

TEST(ComponentChannelsSetting, ThreeDifferentCardChannels)
{
    EXPECT_EQ(parseComponentChannels(QStringLiteral("1,2,3")), (std::array<int, 3>{1, 2, 3}));
    EXPECT_EQ(parseComponentChannels(QStringLiteral(" 4, 1 ,2")), (std::array<int, 3>{4, 1, 2}));
    for (const char *bad : {"1,2", "1,2,3,4", "1,1,2", "0,1,2", "1,2,5", "a,b,c", ""})
        EXPECT_FALSE(parseComponentChannels(QString::fromLatin1(bad))) << bad;

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("s.ini"));
    {
        common::SettingsStore store(ini);
        EXPECT_EQ(SedraSettings::componentChannels(store), (std::array<int, 3>{1, 2, 3}));
        SedraSettings::setComponentChannels(store, {3, 1, 2});
    }
    {
        common::SettingsStore store(ini);
        EXPECT_EQ(SedraSettings::componentChannels(store), (std::array<int, 3>{3, 1, 2}));
        store.writeText(QStringLiteral("三分量"), QStringLiteral("channels"), QStringLiteral("2,2,2"));
        EXPECT_EQ(SedraSettings::componentChannels(store), (std::array<int, 3>{1, 2, 3}));
    }
}
