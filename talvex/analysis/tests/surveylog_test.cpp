#include "analysistestutil.h"
#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/ceditchendialogmodel.h"
#include "talvex/analysis/soilclass.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/analysis/surveylogimport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace talvex;
using talvex::testing::layer;

TEST(SoilClass, BoundsOfTheFiveTypes)
{
    const std::pair<float, const char *> cases[] = {
        {0.0f, "软弱土"},   {150.0f, "软弱土"}, {150.01f, "中软土"},          {250.0f, "中软土"},
        {250.5f, "中硬土"}, {500.0f, "中硬土"}, {800.0f, "坚硬土或软质岩石"}, {800.5f, "岩石"},
    };
    for (const auto &[v, text] : cases)
        EXPECT_EQ(ClassifySoil(v), QString::fromUtf8(text)) << v;
    EXPECT_FALSE(ClassifySoil(std::nanf("")).has_value());
}

TEST(SoilPatterns, EntriesAndCodes)
{
    const QStringList &entries = patternEntries();
    ASSERT_EQ(entries.size(), kPatternEntryCount);
    EXPECT_EQ(entries[0], QStringLiteral("00 没有选择"));
    EXPECT_EQ(entries[82], QStringLiteral("82 残积土"));
    EXPECT_EQ(entries[83], QStringLiteral("241 自定义图例一"));
    EXPECT_EQ(entries[87], QStringLiteral("245 自定义图例五"));
    for (int i = 0; i < kPatternEntryCount; ++i) {
        // Every entry's text starts with its code, and the code leads back to it.
        const std::uint8_t code = patternCodeForEntry(i);
        EXPECT_TRUE(entries[i].startsWith(QStringLiteral("%1 ").arg(code, 2, 10, QLatin1Char('0')))) << i;
        EXPECT_EQ(patternEntryForCode(code), i);
    }
    EXPECT_EQ(patternCodeForEntry(83), 241);
    EXPECT_EQ(patternEntryForCode(245), 87);
    EXPECT_EQ(patternEntryForCode(83), 0); // no entry: shown as no pattern
    EXPECT_EQ(patternEntryForCode(246), 0);
}

TEST(SurveyLogDialog, EditingKeepsTheLogContiguous)
{
    SurveyData s;
    s.logLayers = {layer(0.0f, 2.0f), layer(2.0f, 5.0f)};
    s.logLayers[1].reserved = {9, 9, 9, 9, 9, 9, 9};
    common::RecordingMessenger messenger;
    CEditChenDialogModel dialog(s, messenger);
    EXPECT_EQ(dialog.entries(), QStringList({QStringLiteral("土层 1"), QStringLiteral("土层 2")}));
    ASSERT_EQ(dialog.selected(), 0);

    SurveyLogFields f = dialog.shown();
    f.bottom = 3.0f;
    f.soilName = QStringLiteral("粉质粘土");
    f.patternEntry = 5;
    ASSERT_TRUE(dialog.leaveField(f));
    EXPECT_EQ(s.logLayers[0].bottom, 3.0f);
    EXPECT_EQ(s.logLayers[1].top, 3.0f);
    EXPECT_EQ(s.logLayers[0].pattern, 5);
    EXPECT_EQ(dialog.shown().soilName, QStringLiteral("粉质粘土"));
    EXPECT_TRUE(s.isModified());
    EXPECT_EQ(s.logLayers[1].reserved[0], 9); // only the stored layer is rewritten

    dialog.select(1);
    ASSERT_TRUE(dialog.changePattern(83));
    EXPECT_EQ(s.logLayers[1].pattern, 241);
    EXPECT_EQ(dialog.shown().patternEntry, 83);

    // An end above the start would give the layer a negative thickness.
    dialog.select(0);
    f = dialog.shown();
    s.setModified(false);
    f.bottom = -1.0f;
    EXPECT_FALSE(dialog.leaveField(f));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(CEditChenDialogModel::kBottomRangeMessage));
    // A name GBK cannot hold is refused rather than stored with substitutes.
    f.bottom = 3.5f;
    f.soilName = QStringLiteral("clay \U0001F600");
    EXPECT_FALSE(dialog.leaveField(f));
    EXPECT_TRUE(messenger.last().contains(QStringLiteral("\U0001F600")));
    EXPECT_EQ(s.logLayers[0].bottom, 3.0f);
    EXPECT_FALSE(s.isModified());

    // An end below the next layer's end would turn that layer upside down:
    // refused, as an end above the layer's own start is.
    f.soilName = QStringLiteral("粉质粘土");
    f.bottom = 9.0f;
    EXPECT_FALSE(dialog.leaveField(f));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(CEditChenDialogModel::kNextBottomMessage).arg(2).arg(5).arg(9));
    EXPECT_EQ(s.logLayers[0].bottom, 3.0f);
    EXPECT_EQ(s.logLayers[1].top, 3.0f);
    EXPECT_FALSE(s.isModified());
    f.bottom = 5.0f; // down to the next end: the next layer is left empty
    ASSERT_TRUE(dialog.leaveField(f));
    EXPECT_EQ(s.logLayers[1].top, 5.0f);

    // Empty layers, as "添加层" twice leaves them, move down with the end;
    // the first layer with a thickness still limits it.
    s.logLayers = {layer(0.0f, 2.0f), layer(2.0f, 2.0f), layer(2.0f, 2.0f), layer(2.0f, 6.0f)};
    dialog.select(0);
    f = dialog.shown();
    f.bottom = 4.0f;
    ASSERT_TRUE(dialog.leaveField(f));
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(s.logLayers[i].top, 4.0f);
        EXPECT_EQ(s.logLayers[i].bottom, 4.0f);
    }
    EXPECT_EQ(s.logLayers[3].top, 4.0f);
    EXPECT_EQ(s.logLayers[3].bottom, 6.0f);
    f.bottom = 7.0f;
    EXPECT_FALSE(dialog.leaveField(f));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(CEditChenDialogModel::kNextBottomMessage).arg(4).arg(6).arg(7));
    EXPECT_EQ(s.logLayers[1].top, 4.0f);
}

TEST(SurveyLogDialog, LongNamesAreCutAtACharacterBoundary)
{
    SurveyData s;
    s.logLayers = {layer(0.0f, 2.0f)};
    common::RecordingMessenger messenger;
    CEditChenDialogModel dialog(s, messenger);
    SurveyLogFields f = dialog.shown();
    f.soilName = QStringLiteral("a") + QString(100, QChar(0x7C98)); // 1 + 200 bytes
    ASSERT_TRUE(dialog.leaveField(f));
    const std::string stored = common::readFixedText(s.logLayers[0].description);
    EXPECT_EQ(stored.size(), 159u); // "a" and 79 whole characters
    EXPECT_EQ(dialog.shown().soilName, QStringLiteral("a") + QString(79, QChar(0x7C98)));
}

TEST(SurveyLogDialog, AddAndDelete)
{
    SurveyData s;
    s.logLayers = {layer(0.0f, 2.0f), layer(2.0f, 5.0f), layer(5.0f, 9.0f)};
    common::RecordingMessenger messenger;
    CEditChenDialogModel dialog(s, messenger);
    ASSERT_TRUE(dialog.deleteLayer());
    ASSERT_EQ(s.logLayers.size(), 2u);
    EXPECT_EQ(s.logLayers[0].top, 0.0f);
    EXPECT_EQ(s.logLayers[0].bottom, 5.0f);
    EXPECT_EQ(dialog.selected(), 0);
    EXPECT_EQ(dialog.entries().size(), 2);

    s.setModified(false);
    ASSERT_TRUE(dialog.addLayer());
    ASSERT_EQ(s.logLayers.size(), 3u);
    EXPECT_EQ(s.logLayers[2].top, 9.0f);
    EXPECT_EQ(s.logLayers[2].bottom, 9.0f);
    EXPECT_EQ(dialog.selected(), 2);
    EXPECT_FALSE(s.isModified()); // adding alone changes nothing worth saving

    // Deleting the last layer selects the new last one.
    ASSERT_TRUE(dialog.deleteLayer());
    EXPECT_EQ(dialog.selected(), 1);
    EXPECT_TRUE(s.isModified());

    SurveyData empty;
    CEditChenDialogModel none(empty, messenger);
    EXPECT_EQ(none.selected(), -1);
    EXPECT_FALSE(none.deleteLayer());
    ASSERT_TRUE(none.addLayer());
    EXPECT_EQ(empty.logLayers[0].top, 0.0f);
}

TEST(ImportSurveyLog, AsksBeforeReplacingTheLayers)
{
    SurveyData s;
    common::RecordingMessenger messenger;
    EXPECT_FALSE(ImportSurveyLog(s, messenger));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(kNoLogLayersMessage));

    s.logLayers = {layer(0.0f, 2.0f), layer(2.0f, 6.0f)};
    s.logLayers[1].pattern = 242;
    common::storeFixedText(s.logLayers[1].description, "sand");
    s.layers = {layer(0.0f, 10.0f)};
    messenger.answers = {false};
    EXPECT_FALSE(ImportSurveyLog(s, messenger));
    EXPECT_EQ(messenger.questions.last(), QString::fromUtf8(kOverwriteLayersQuestion));
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_EQ(s.layers[0].bottom, 10.0f);

    ASSERT_TRUE(ImportSurveyLog(s, messenger));
    ASSERT_EQ(s.layers.size(), 2u);
    EXPECT_EQ(s.layers[1].top, 2.0f);
    EXPECT_EQ(s.layers[1].bottom, 6.0f);
    EXPECT_EQ(s.layers[1].pattern, 242);
    EXPECT_EQ(common::readFixedText(s.layers[1].description), "");
}
