#include "talvex/processing/clubodialogmodel.h"

#include <gtest/gtest.h>

using talvex::CLuBoDialogModel;
using talvex::FilterKind;
using talvex::FilterSettings;

TEST(CLuBoDialogModel, EachKindSetsItsEditsLabelsAndDefaults)
{
    struct Row {
        FilterKind kind;
        bool upperEnabled;
        bool lowerEnabled;
        const char *upperLabel;
        const char *lowerLabel;
        int upper;
        int lower;
    };
    const Row rows[] = {
        {FilterKind::LowPass, true, false, "滤波上限", "滤波下限", 800, 0},
        {FilterKind::HighPass, false, true, "滤波上限", "滤波下限", 800, 0},
        {FilterKind::BandPass, true, true, "滤波上限", "滤波下限", 800, 0},
        {FilterKind::BandStop, true, true, "高端频率", "低端频率", 55, 45},
    };
    CLuBoDialogModel model{FilterSettings{}};
    // Go through the kinds from every starting kind, with edited values in
    // between, so that no value leaks from one kind into the next.
    for (const Row &from : rows) {
        for (const Row &row : rows) {
            model.selectKind(from.kind);
            model.setUpper(1234);
            model.setLower(77);
            model.selectKind(row.kind);
            SCOPED_TRACE(static_cast<int>(row.kind));
            EXPECT_EQ(model.kind(), row.kind);
            EXPECT_EQ(model.upperEnabled(), row.upperEnabled);
            EXPECT_EQ(model.lowerEnabled(), row.lowerEnabled);
            EXPECT_EQ(model.upperLabel(), QString::fromUtf8(row.upperLabel));
            EXPECT_EQ(model.lowerLabel(), QString::fromUtf8(row.lowerLabel));
            EXPECT_EQ(model.upper(), row.upper);
            EXPECT_EQ(model.lower(), row.lower);
        }
    }
}

TEST(CLuBoDialogModel, OpensWithDefaultsOfTheRememberedKind)
{
    // After a band-stop at 40..60 Hz the dialog shows 55 and 45 again.
    const CLuBoDialogModel stop{FilterSettings{40, 60, FilterKind::BandStop}};
    EXPECT_EQ(stop.kind(), FilterKind::BandStop);
    EXPECT_EQ(stop.upper(), 55);
    EXPECT_EQ(stop.lower(), 45);

    const CLuBoDialogModel high{FilterSettings{5, 300, FilterKind::HighPass}};
    EXPECT_EQ(high.kind(), FilterKind::HighPass);
    EXPECT_EQ(high.upper(), 800);
    EXPECT_EQ(high.lower(), 0);
    EXPECT_FALSE(high.upperEnabled());
}

TEST(CLuBoDialogModel, AcceptReturnsTheEditedValues)
{
    CLuBoDialogModel model{FilterSettings{}};
    model.selectKind(FilterKind::BandPass);
    model.setLower(12);
    model.setUpper(340);
    EXPECT_EQ(model.accepted(), (FilterSettings{12, 340, FilterKind::BandPass}));
}

TEST(CLuBoDialogModel, FrequencyFieldTakesSixteenBitIntegersOnly)
{
    EXPECT_EQ(CLuBoDialogModel::parseFrequency(QStringLiteral("800")), 800);
    EXPECT_EQ(CLuBoDialogModel::parseFrequency(QStringLiteral(" 45 ")), 45);
    EXPECT_EQ(CLuBoDialogModel::parseFrequency(QStringLiteral("-32768")), -32768);
    EXPECT_EQ(CLuBoDialogModel::parseFrequency(QStringLiteral("32767")), 32767);
    for (const char *bad : {"", "32768", "-32769", "abc", "12a", "1.5", "99999999999"}) {
        EXPECT_FALSE(CLuBoDialogModel::parseFrequency(QString::fromUtf8(bad)).has_value()) << bad;
    }
}

TEST(CLuBoDialogModel, EdgesMustBePositiveAndBelowTheTracesNyquistFrequency)
{
    talvex::CLuBoDialogModel model(talvex::FilterSettings{0, 800, talvex::FilterKind::LowPass});
    model.setTraceInterval(25.0f); // Nyquist 20000 Hz
    EXPECT_TRUE(model.problem().isEmpty());
    model.setUpper(20000);
    EXPECT_TRUE(model.problem().contains(QStringLiteral("20000 Hz")));
    model.setUpper(19999);
    EXPECT_TRUE(model.problem().isEmpty());
    model.setUpper(0);
    EXPECT_FALSE(model.problem().isEmpty());
    // The high-pass edge is the lower one; the upper box is not used.
    model.selectKind(talvex::FilterKind::HighPass);
    model.setUpper(-1);
    model.setLower(100);
    EXPECT_TRUE(model.problem().isEmpty());
    model.setLower(-100);
    EXPECT_FALSE(model.problem().isEmpty());
    // A band needs its lower edge below its upper one.
    model.selectKind(talvex::FilterKind::BandStop);
    model.setLower(55);
    model.setUpper(45);
    EXPECT_FALSE(model.problem().isEmpty());
    EXPECT_TRUE(talvex::usableCutOff(5, 0.0f)); // interval not known: any positive edge
    EXPECT_FALSE(talvex::usableCutOff(0, 0.0f));
}
