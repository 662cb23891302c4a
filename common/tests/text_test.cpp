#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/jsonwriter.h"
#include "common/numberformat.h"
#include "common/qttranslations.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using namespace common;

TEST(FixedText, FullFieldHasNoTerminatorAndReadsBackWhole)
{
    std::array<char, 8> field;
    field.fill('x');
    storeFixedText(field, "abcdefgh-too-long");
    EXPECT_EQ(std::string(field.data(), 8), "abcdefgh");
    EXPECT_EQ(readFixedText(field), "abcdefgh");

    storeFixedText(field, "ab");
    EXPECT_EQ(std::memcmp(field.data(), "ab\0\0\0\0\0\0", 8), 0);
    EXPECT_EQ(readFixedText(field), "ab");
}

TEST(Gbk, RoundTripsChineseAndReportsWhatItCannotHold)
{
    const QString text = QString::fromUtf8("测试单位 ZK1");
    const auto bytes = encodeGbk(text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), 12); // eight bytes for four characters, four ASCII
    EXPECT_EQ(decodeGbk(*bytes), text);

    const QString emoji = QString::fromUtf8("孔😀한");
    EXPECT_FALSE(encodeGbk(emoji).has_value());
    EXPECT_EQ(unencodableGbk(emoji), QString::fromUtf8("😀한"));
}

TEST(NumberFormat, MatchesPrintfInTheCLocale)
{
    const double values[] = {0.0, 0.125, 2.675, -1.005, 163.55, 1e7 / 3, 0.045};
    for (int decimals : {0, 1, 2}) {
        for (double v : values) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
            EXPECT_EQ(formatFixed(v, decimals), buf) << v << " " << decimals;
        }
    }
    EXPECT_EQ(formatShortest(0.1f), "0.1");
    EXPECT_EQ(formatShortest(163.6f), "163.6");
}

TEST(JsonWriter, NestsAndEscapes)
{
    JsonWriter w;
    w.beginObject()
        .field("a", 1)
        .key("b")
        .beginArray()
        .value(1.5f)
        .value("x\"\n")
        .null()
        .endArray()
        .field("c", std::numeric_limits<float>::quiet_NaN())
        .endObject();
    EXPECT_EQ(w.text(), R"({"a":1,"b":[1.5,"x\"\n",null],"c":null})");
}

TEST(QtTranslations, TheDefaultLocaleIsChineseChina)
{
    int argc = 1;
    char name[] = "common_tests";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    common::installQtTranslations(app);
    // Qt's dialogs take dates and names from the default locale: "8 Dec"
    // was what they showed.
    const QLocale locale;
    EXPECT_EQ(locale.language(), QLocale::Chinese);
    EXPECT_EQ(locale.territory(), QLocale::China);
    EXPECT_EQ(locale.monthName(12, QLocale::ShortFormat), QStringLiteral("12月"));
    EXPECT_FALSE(locale.toString(QDate(2026, 12, 8), QLocale::ShortFormat).contains(QStringLiteral("Dec")));
}
