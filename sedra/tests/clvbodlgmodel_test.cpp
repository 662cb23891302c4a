#include "sedra/core/clvbodlgmodel.h"

#include <gtest/gtest.h>

using sedra::CLVBODLGModel;
using sedra::FilterKind;
using sedra::FilterSettings;

TEST(CLVBODLGModel, FirstOpeningShowsDefaults)
{
    const CLVBODLGModel dlg{FilterSettings{}};
    EXPECT_EQ(dlg.lowPassText(), QStringLiteral("10"));
    EXPECT_EQ(dlg.highPassText(), QStringLiteral("2"));
    EXPECT_EQ(dlg.kind(), FilterKind::LowPass);
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_FALSE(dlg.channel(ch)) << ch;
    }
    EXPECT_TRUE(CLVBODLGModel::hint().startsWith(QString::fromUtf8("提示:")));
}

TEST(CLVBODLGModel, AcceptStoresChoiceAndReopeningShowsIt)
{
    CLVBODLGModel dlg{FilterSettings{}};
    dlg.setLowPassText(QStringLiteral("25"));
    dlg.setHighPassText(QStringLiteral(" 3 "));
    dlg.setKind(FilterKind::BandStop);
    dlg.setChannel(0, true);
    dlg.setChannel(2, true);
    dlg.setChannel(7, true); // no such box

    const FilterSettings s = dlg.accept(FilterSettings{});
    EXPECT_EQ(s.lowPassCutoff, 25);
    EXPECT_EQ(s.highPassCutoff, 3);
    EXPECT_EQ(s.storedKind, 4); // kind + 1
    EXPECT_EQ(s.kind(), FilterKind::BandStop);
    EXPECT_EQ(s.channelMask, 1 + 4);
    EXPECT_TRUE(s.pending);

    const CLVBODLGModel again{s};
    EXPECT_EQ(again.lowPassText(), QStringLiteral("25"));
    EXPECT_EQ(again.highPassText(), QStringLiteral("3"));
    EXPECT_EQ(again.kind(), FilterKind::BandStop);
    EXPECT_TRUE(again.channel(0));
    EXPECT_FALSE(again.channel(1));
    EXPECT_TRUE(again.channel(2));
}

TEST(CLVBODLGModel, TextThatIsNotANumberStoresZeroAndShowsDefaultAgain)
{
    CLVBODLGModel dlg{FilterSettings{}};
    dlg.setLowPassText(QStringLiteral("abc"));
    dlg.setHighPassText(QStringLiteral("-4"));
    const FilterSettings s = dlg.accept(FilterSettings{});
    EXPECT_EQ(s.lowPassCutoff, 0);
    EXPECT_EQ(s.highPassCutoff, -4);
    const CLVBODLGModel again{s};
    EXPECT_EQ(again.lowPassText(), QStringLiteral("10"));
    EXPECT_EQ(again.highPassText(), QStringLiteral("2"));
    // ... and the filter uses what the dialog shows.
    EXPECT_EQ(s.effectiveLowPassCutoff(), 10);
    EXPECT_EQ(s.effectiveHighPassCutoff(), 2);

    for (const char *bad : {"", "abc", "Hz12", "-", "99999999999"}) {
        EXPECT_EQ(CLVBODLGModel::cutoffFromText(QString::fromUtf8(bad)), 0) << bad;
    }
    // The number a text starts with counts, as typed with a unit or a fraction.
    EXPECT_EQ(CLVBODLGModel::cutoffFromText(QStringLiteral("12Hz")), 12);
    EXPECT_EQ(CLVBODLGModel::cutoffFromText(QStringLiteral(" 10 Hz")), 10);
    EXPECT_EQ(CLVBODLGModel::cutoffFromText(QStringLiteral("1.5")), 1);
    EXPECT_EQ(CLVBODLGModel::cutoffFromText(QStringLiteral("+7")), 7);
}

TEST(FilterSettings, BandTakesSmallerAndLargerCutoff)
{
    FilterSettings s;
    s.lowPassCutoff = 10;
    s.highPassCutoff = 2;
    for (int stored : {3, 4}) {
        s.storedKind = stored;
        EXPECT_EQ(s.band().low, 2.0f);
        EXPECT_EQ(s.band().high, 10.0f);
        std::swap(s.lowPassCutoff, s.highPassCutoff);
        EXPECT_EQ(s.band().low, 2.0f);
        EXPECT_EQ(s.band().high, 10.0f);
        std::swap(s.lowPassCutoff, s.highPassCutoff);
    }
    // Low-pass and high-pass keep their own cut-off whatever the other is.
    s.lowPassCutoff = 3;
    s.highPassCutoff = 8;
    s.storedKind = 1;
    EXPECT_EQ(s.band().high, 3.0f);
    s.storedKind = 2;
    EXPECT_EQ(s.band().low, 8.0f);
    s.storedKind = 9;
    EXPECT_FALSE(s.kind().has_value());
}
