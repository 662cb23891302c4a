#include "common/binaryio.h"
#include "common/messenger.h"
#include "talvex/survey/surveyfile.h"
#include "testsurvey.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

#include <functional>

using namespace talvex;
using talvex::testing::makeSurvey;

namespace {

const QString kBadFormat = QString::fromUtf8("错误的数据格式!!");

std::vector<std::uint8_t> withTag(std::vector<std::uint8_t> bytes, const char *tag)
{
    std::fill(bytes.begin(), bytes.begin() + 9, 0);
    std::memcpy(bytes.data(), tag, std::min<std::size_t>(9, std::strlen(tag)));
    return bytes;
}

// The file of version `tag` with 100-byte layer records, made from a survey.
std::vector<std::uint8_t> oldLayout(const SurveyData &s, const char *tag)
{
    const std::vector<std::uint8_t> modern = encodeSurvey(s);
    std::vector<std::uint8_t> out(modern.begin(), modern.begin() + 512);
    const std::size_t layers = s.logLayers.size() + s.layers.size();
    for (std::size_t i = 0; i < layers; ++i) {
        const auto *rec = modern.data() + 512 + i * 180;
        out.insert(out.end(), rec, rec + 100);
    }
    out.insert(out.end(), modern.begin() + 512 + std::ptrdiff_t(layers * 180), modern.end());
    return withTag(out, tag);
}

bool sameSurvey(const SurveyData &a, const SurveyData &b)
{
    return encodeSurvey(a) == encodeSurvey(b);
}

} // namespace

TEST(SurveyFile, StoresTheLayoutFieldByField)
{
    const SurveyData s = makeSurvey();
    const std::vector<std::uint8_t> bytes = encodeSurvey(s);
    ASSERT_EQ(bytes.size(), 512u + 5 * 180 + 4 * 4136);
    EXPECT_EQ(std::memcmp(bytes.data(), "Tlv13.01\0", 9), 0);
    common::LeReader r(bytes);
    std::int16_t n = 0;
    float f = 0;
    r.i16(186, n);
    EXPECT_EQ(n, 2);
    r.i16(188, n);
    EXPECT_EQ(n, 3);
    r.i16(190, n);
    EXPECT_EQ(n, 4);
    r.f32(208, f);
    EXPECT_EQ(f, 192.0f); // siteVelocity before overburden
    r.f32(212, f);
    EXPECT_EQ(f, 25.5f);
    r.f32(216, f);
    EXPECT_EQ(f, 20.0f);
    // The hole number fills its 40 bytes without a terminating zero.
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(bytes.data()) + 106, 40),
              "ZK1-012345678901234567890123456789012345");
    EXPECT_TRUE(std::all_of(bytes.begin() + 220, bytes.begin() + 512, [](auto b) { return b == 0; }));
    // First point record: arrivals, floats, gain, reserved bytes, traces.
    const std::size_t p = 512 + 5 * 180;
    r.i16(p + 0, n);
    EXPECT_EQ(n, 100);
    r.i16(p + 6, n);
    EXPECT_EQ(n, -7);
    r.f32(p + 20, f);
    EXPECT_EQ(f, 163.6f);
    r.f32(p + 28, f);
    EXPECT_EQ(f, 2.5f);
    r.i16(p + 32, n);
    EXPECT_EQ(n, 10);
    EXPECT_EQ(bytes[p + 34], 9);
    r.i16(p + 40 + 2 * 5, n);
    EXPECT_EQ(n, s.points[0].positive[5]);
    r.i16(p + 2088 + 2 * 1023, n);
    EXPECT_EQ(n, s.points[0].negative[1023]);
    // Layer record: pattern at 12, reserved at 13, text at 20.
    EXPECT_EQ(bytes[512 + 12], 241);
    EXPECT_EQ(bytes[512 + 13], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(bytes.data()) + 512 + 20), "fill");
}

TEST(SurveyFile, RoundTripGivesTheSameBytesAndKeepsReservedFields)
{
    SurveyData s = makeSurvey();
    common::RecordingMessenger m;
    SurveyData loaded;
    loaded.setModified(true);
    ASSERT_TRUE(decodeSurvey(encodeSurvey(s), loaded, m));
    EXPECT_TRUE(m.messages.isEmpty());
    EXPECT_TRUE(loaded.isModified()); // loading leaves the flag as it was
    EXPECT_EQ(encodeSurvey(loaded), encodeSurvey(s));
    EXPECT_EQ(loaded.points[3].reserved2[5], 3);
    EXPECT_EQ(loaded.layers[1].reserved[6], 7);
}

TEST(SurveyFile, EmptySurveyIs220BytesAndLoads)
{
    SurveyData s;
    const auto bytes = encodeSurvey(s);
    EXPECT_EQ(bytes.size(), 220u);
    common::RecordingMessenger m;
    SurveyData loaded = makeSurvey();
    ASSERT_TRUE(decodeSurvey(bytes, loaded, m));
    EXPECT_TRUE(loaded.points.empty());
    EXPECT_TRUE(loaded.layers.empty());
    EXPECT_EQ(loaded.header.holeDepth, 50.0f);
}

TEST(SurveyFile, VersionTagsAreCheckedWithTheirMessages)
{
    const auto good = encodeSurvey(makeSurvey());
    struct Case {
        const char *tag;
        bool readable;
        QString message;
    };
    const Case cases[] = {
        {"Tlv13.01", true, {}},
        {"Tlv13.02", false,
         QString::fromUtf8("这是一个高版本的剪切波分析程序创建的数据文件，请使用 Tlv13.02 版或更高的版本来打开它!!")},
        {"Tlv0.50", false, kBadFormat},
        {"Abc13.01", false, kBadFormat},
        {"tlv13.01", false, kBadFormat},
        {"Tlv", false, kBadFormat},
        {"Tlvx", false, kBadFormat},
        {"Tlv1.00", true, {}},
    };
    for (const Case &c : cases) {
        SurveyData target;
        target.header.holeDepth = 7.0f;
        common::RecordingMessenger m;
        const bool ok = decodeSurvey(withTag(good, c.tag), target, m);
        EXPECT_EQ(ok, c.readable) << c.tag;
        if (c.readable) {
            EXPECT_TRUE(m.messages.isEmpty()) << c.tag;
        } else {
            ASSERT_EQ(m.messages.size(), 1) << c.tag;
            EXPECT_EQ(m.messages.first(), c.message) << c.tag;
            EXPECT_EQ(target.header.holeDepth, 7.0f) << c.tag; // survey untouched
        }
    }
}

TEST(SurveyFile, OlderVersionsUseShortLayerRecordsAndOldPatternPlace)
{
    SurveyData s = makeSurvey();
    common::storeFixedText(s.layers[0].description, std::string(150, 'x'));
    common::RecordingMessenger m;

    SurveyData v1203;
    ASSERT_TRUE(decodeSurvey(oldLayout(s, "Tlv12.03"), v1203, m));
    ASSERT_EQ(v1203.layers.size(), 3u);
    EXPECT_EQ(common::readFixedText(v1203.layers[0].description), std::string(80, 'x'));
    EXPECT_EQ(v1203.layers[2].velocity, 320.0f);
    EXPECT_EQ(v1203.points[2].sArrival, 102);
    EXPECT_EQ(v1203.logLayers[0].pattern, 241); // no pattern copy from 10.01 on

    // 12.04 has the full records: the same old-layout bytes no longer fit.
    SurveyData v1204;
    EXPECT_FALSE(decodeSurvey(oldLayout(s, "Tlv12.04"), v1204, m));
    ASSERT_TRUE(decodeSurvey(withTag(encodeSurvey(s), "Tlv12.04"), v1204, m));
    EXPECT_EQ(common::readFixedText(v1204.layers[0].description), std::string(150, 'x'));

    // Below 10.01 the survey-log patterns come from the velocity layers.
    SurveyData v900;
    ASSERT_TRUE(decodeSurvey(oldLayout(s, "Tlv9.00"), v900, m));
    EXPECT_EQ(v900.logLayers[0].pattern, 0); // velocity layer 0 carries 0
    EXPECT_EQ(v900.logLayers[1].pattern, 3); // velocity layer 1 carries 3
    EXPECT_EQ(v900.layers[1].pattern, 3);
}

TEST(SurveyFile, CrossDistanceOutsideZeroToHundredIsReplaced)
{
    SurveyData s = makeSurvey();
    s.header.sourceDistance = 3.25f;
    s.points[0].crossDistance = 0.0f;
    s.points[1].crossDistance = 100.0f;
    s.points[2].crossDistance = std::numeric_limits<float>::quiet_NaN();
    s.points[3].crossDistance = 99.5f;
    common::RecordingMessenger m;
    SurveyData loaded;
    ASSERT_TRUE(decodeSurvey(encodeSurvey(s), loaded, m));
    EXPECT_EQ(loaded.points[0].crossDistance, 3.25f);
    EXPECT_EQ(loaded.points[1].crossDistance, 3.25f);
    EXPECT_EQ(loaded.points[2].crossDistance, 3.25f);
    EXPECT_EQ(loaded.points[3].crossDistance, 99.5f);
}

TEST(SurveyFile, TruncatedOrHostileFilesAreRefusedAndChangeNothing)
{
    const auto good = encodeSurvey(makeSurvey());
    const SurveyData before = makeSurvey();
    for (std::size_t len : {std::size_t(0), std::size_t(5), std::size_t(9), std::size_t(100), std::size_t(219),
                            std::size_t(300), std::size_t(511), std::size_t(512 + 179), good.size() - 1}) {
        SurveyData target = makeSurvey();
        common::RecordingMessenger m;
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(len));
        EXPECT_FALSE(decodeSurvey(cut, target, m)) << len;
        EXPECT_EQ(m.last(), kBadFormat) << len;
        EXPECT_TRUE(sameSurvey(target, before)) << len;
    }

    // Huge counts with a short body.
    std::vector<std::uint8_t> huge = good;
    common::LeWriter(huge).i16(190, 32767);
    SurveyData target = makeSurvey();
    common::RecordingMessenger m;
    EXPECT_FALSE(decodeSurvey(huge, target, m));
    EXPECT_TRUE(sameSurvey(target, before));

    // Negative counts read no record, with a warning naming them.
    std::vector<std::uint8_t> negative(good.begin(), good.begin() + 220);
    common::LeWriter w(negative);
    w.i16(186, -1);
    w.i16(188, -32768);
    w.i16(190, -5);
    ASSERT_TRUE(decodeSurvey(negative, target, m));
    EXPECT_TRUE(target.points.empty() && target.layers.empty() && target.logLayers.empty());
    EXPECT_TRUE(m.last().contains(QString::fromUtf8("测点数为 -5"))) << m.last().toStdString();
    EXPECT_TRUE(m.last().contains(QString::fromUtf8("工勘土层数为 -1"))) << m.last().toStdString();
}

TEST(SurveyFile, NumbersThatAreNotFiniteRefuseTheFileNamingTheField)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    const SurveyData before = makeSurvey();
    struct Case {
        std::function<void(SurveyData &)> spoil;
        const char *field;
    };
    const Case cases[] = {
        {[](SurveyData &s) { s.header.holeDepth = nan; }, "文件头的测孔深度不是有效的数（nan）"},
        {[](SurveyData &s) { s.header.pointSpacing = -inf; }, "文件头的测点间隔不是有效的数（无穷大）"},
        {[](SurveyData &s) { s.points[2].depth = nan; }, "第 3 个测点的深度不是有效的数"},
        {[](SurveyData &s) { s.points[0].interval = inf; }, "第 1 个测点的采样间隔不是有效的数"},
        {[](SurveyData &s) { s.points[1].pointVelocity = nan; }, "第 2 个测点的测点波速不是有效的数"},
        {[](SurveyData &s) { s.layers[0].velocity = nan; }, "第 1 个速度分层的波速不是有效的数"},
        {[](SurveyData &s) { s.logLayers[0].bottom = inf; }, "第 1 个工勘土层的结束深度不是有效的数"},
    };
    for (const Case &c : cases) {
        SurveyData spoilt = makeSurvey();
        c.spoil(spoilt);
        SurveyData target = makeSurvey();
        common::RecordingMessenger m;
        EXPECT_FALSE(decodeSurvey(encodeSurvey(spoilt), target, m)) << c.field;
        EXPECT_TRUE(m.last().startsWith(kBadFormat)) << m.last().toStdString();
        EXPECT_TRUE(m.last().contains(QString::fromUtf8(c.field))) << m.last().toStdString();
        EXPECT_TRUE(sameSurvey(target, before)) << c.field;
    }
}

TEST(SurveyFile, StoreReplacesAtomicallyAndClearsModified)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qsw");
    SurveyData s = makeSurvey();
    s.setModified(true);
    ASSERT_TRUE(StoreSurvey(s, path).ok);
    EXPECT_FALSE(s.isModified());

    SurveyData loaded;
    common::RecordingMessenger m;
    ASSERT_TRUE(LoadSurvey(loaded, path, m));
    EXPECT_TRUE(sameSurvey(loaded, s));

    // A save that cannot happen reports the reason and keeps the flag.
    s.setModified(true);
    const common::FileError e = StoreSurvey(s, dir.filePath("no/such/folder/a.qsw"));
    EXPECT_FALSE(e.ok);
    EXPECT_TRUE(s.isModified());

    EXPECT_FALSE(LoadSurvey(loaded, dir.filePath("missing.qsw"), m));

    // More points than the file can count are refused, not cut short.
    s.points.resize(std::size_t(kMaxRecordCount) + 1);
    EXPECT_FALSE(StoreSurvey(s, path).ok);
    ASSERT_TRUE(LoadSurvey(loaded, path, m));
    EXPECT_EQ(loaded.points.size(), 4u);
}

TEST(SurveyFile, ImportLayersTakesBothListsOnly)
{
    QTemporaryDir dir;
    SurveyData source = makeSurvey();
    source.layers.resize(1);
    ASSERT_TRUE(StoreSurvey(source, dir.filePath("src.qsw")).ok);

    SurveyData target;
    target.points.push_back(TlvOne::newPoint(1.5f));
    target.header.holeDepth = 77.0f;
    target.setModified(false);
    common::RecordingMessenger m;
    ASSERT_TRUE(ImportLayers(target, dir.filePath("src.qsw"), m));
    EXPECT_EQ(target.layers.size(), 1u);
    EXPECT_EQ(target.logLayers.size(), 2u);
    EXPECT_EQ(target.logLayers[0].pattern, 241);
    EXPECT_EQ(target.points.size(), 1u);
    EXPECT_EQ(target.header.holeDepth, 77.0f);
    EXPECT_FALSE(target.isModified());

    // A newer file is refused with its message; a missing one silently.
    auto bytes = withTag(encodeSurvey(makeSurvey()), "Tlv14.00");
    QFile f(dir.filePath("new.qsw"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
    f.close();
    m.clear();
    EXPECT_FALSE(ImportLayers(target, dir.filePath("new.qsw"), m));
    EXPECT_EQ(m.messages.size(), 1);
    EXPECT_EQ(target.layers.size(), 1u);
    m.clear();
    EXPECT_FALSE(ImportLayers(target, dir.filePath("none.qsw"), m));
    EXPECT_TRUE(m.messages.isEmpty());

    // Layers whose depths are not numbers are not taken.
    SurveyData spoilt = makeSurvey();
    spoilt.layers[1].top = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(StoreSurvey(spoilt, dir.filePath("nan.qsw")).ok);
    EXPECT_FALSE(ImportLayers(target, dir.filePath("nan.qsw"), m));
    EXPECT_TRUE(m.last().contains(QString::fromUtf8("第 2 个速度分层的起始深度不是有效的数")))
        << m.last().toStdString();
    EXPECT_EQ(target.layers.size(), 1u);
}
