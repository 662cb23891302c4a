#include "analysistestutil.h"
#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "talvex/analysis/ceditchanshudialogmodel.h"
#include "talvex/analysis/ceditzhudialogmodel.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/survey/undosnapshot.h"

#include <QDate>
#include <gtest/gtest.h>
#include <limits>

using namespace talvex;
using talvex::testing::layer;
using talvex::testing::velocityProfile;

namespace {

DiChengOne named(float top, float bottom, float velocity, const char *text)
{
    DiChengOne l = layer(top, bottom);
    l.velocity = velocity;
    common::storeFixedText(l.description, text);
    return l;
}

std::string description(const DiChengOne &l)
{
    return common::decodeGbk(common::readFixedText(l.description)).toStdString();
}

} // namespace

TEST(LayerDialog, ShowingAnUnnamedLayerComputesAndNamesIt)
{
    SurveyData s = velocityProfile({{2.0f, 120.0f}, {6.0f, 300.0f}, {10.0f, 900.0f}});
    s.layers = {named(0.0f, 2.0f, 0.0f, "old"), named(2.0f, 6.0f, 300.0f, "")};
    s.layers[0].reserved = {1, 1, 1, 1, 1, 1, 1};
    common::RecordingMessenger messenger;
    CEditZhuDialogModel dialog(s, messenger);
    // Layer 1 had no velocity: computed, named, reserved bytes cleared.
    EXPECT_EQ(s.layers[0].velocity, 120.0f);
    EXPECT_EQ(description(s.layers[0]), "软弱土");
    EXPECT_EQ(s.layers[0].reserved[0], 0);
    EXPECT_EQ(dialog.shown().description, QStringLiteral("软弱土"));
    EXPECT_TRUE(s.isModified());
    // Layer 2 has a velocity but no name.
    dialog.select(1);
    EXPECT_EQ(description(s.layers[1]), "中硬土");
    EXPECT_EQ(dialog.entries().size(), 2);
}

TEST(LayerDialog, EndDepthMovesTheNextTopAndKeepsItsDescription)
{
    SurveyData s = velocityProfile({{2.0f, 120.0f}, {6.0f, 300.0f}, {10.0f, 900.0f}});
    s.layers = {named(0.0f, 2.0f, 120.0f, "a"), named(2.0f, 6.0f, 300.0f, "b"), named(6.0f, 10.0f, 900.0f, "c")};
    common::RecordingMessenger messenger;
    CEditZhuDialogModel dialog(s, messenger);
    dialog.select(1);
    LayerFields f = dialog.shown();
    f.bottom = 8.0f;
    ASSERT_TRUE(dialog.leaveBottom(f));
    EXPECT_EQ(s.layers[1].bottom, 8.0f);
    EXPECT_FLOAT_EQ(s.layers[1].velocity, 6.0f / (4.0f / 300.0f + 2.0f / 900.0f));
    EXPECT_EQ(description(s.layers[1]), "中硬土");
    EXPECT_EQ(s.layers[2].top, 8.0f);
    EXPECT_FLOAT_EQ(s.layers[2].velocity, 900.0f);
    EXPECT_EQ(description(s.layers[2]), "c");
    EXPECT_EQ(dialog.shown().velocity, s.layers[1].velocity);

    f = dialog.shown();
    f.bottom = s.layers[1].top - 1.0f; // above the layer's own start
    EXPECT_FALSE(dialog.leaveBottom(f));
    EXPECT_FALSE(dialog.leaveVelocity(f));
    EXPECT_EQ(s.layers[1].bottom, 8.0f);

    // A typed velocity renames; a typed description stays as typed.
    f = dialog.shown();
    f.velocity = 820.0f;
    ASSERT_TRUE(dialog.leaveVelocity(f));
    EXPECT_EQ(s.layers[1].velocity, 820.0f);
    EXPECT_EQ(description(s.layers[1]), "岩石");
    f = dialog.shown();
    f.description = QStringLiteral("砾岩");
    ASSERT_TRUE(dialog.leaveDescription(f));
    EXPECT_EQ(description(s.layers[1]), "砾岩");
    EXPECT_EQ(s.layers[1].velocity, 820.0f);
}

TEST(LayerDialog, AddDeleteAndImport)
{
    SurveyData s = velocityProfile({{2.0f, 120.0f}, {6.0f, 300.0f}, {10.0f, 900.0f}});
    s.layers = {named(0.0f, 2.0f, 120.0f, "a"), named(2.0f, 6.0f, 300.0f, "b"), named(6.0f, 10.0f, 900.0f, "c")};
    common::RecordingMessenger messenger;
    CEditZhuDialogModel dialog(s, messenger);
    ASSERT_TRUE(dialog.deleteLayer());
    ASSERT_EQ(s.layers.size(), 2u);
    EXPECT_EQ(s.layers[0].top, 0.0f);
    EXPECT_FLOAT_EQ(s.layers[0].velocity, 6.0f / (2.0f / 120.0f + 4.0f / 300.0f));
    EXPECT_EQ(description(s.layers[0]), "b");
    EXPECT_EQ(dialog.selected(), 0);

    ASSERT_TRUE(dialog.addLayer());
    ASSERT_EQ(s.layers.size(), 3u);
    EXPECT_EQ(s.layers[2].top, 10.0f);
    EXPECT_EQ(dialog.selected(), 2);
    EXPECT_FALSE(dialog.shown().description.isEmpty()); // shown at once, so named

    s.logLayers = {layer(0.0f, 4.0f), layer(4.0f, 10.0f)};
    messenger.answers = {false};
    EXPECT_FALSE(dialog.importSurveyLog());
    EXPECT_EQ(s.layers.size(), 3u);
    ASSERT_TRUE(dialog.importSurveyLog());
    ASSERT_EQ(s.layers.size(), 2u);
    EXPECT_EQ(dialog.selected(), 0);
    EXPECT_FLOAT_EQ(s.layers[0].velocity, 4.0f / (2.0f / 120.0f + 2.0f / 300.0f));
    EXPECT_EQ(description(s.layers[0]), "中软土");
    // Every imported layer is computed and named at once, not only when shown.
    EXPECT_FLOAT_EQ(s.layers[1].velocity, 6.0f / (2.0f / 300.0f + 4.0f / 900.0f));
    EXPECT_EQ(description(s.layers[1]), "坚硬土或软质岩石");
    EXPECT_TRUE(s.isModified());
}

TEST(HoleDialog, StoresTextsAndNumbersWithAnUndoSnapshot)
{
    SurveyData s;
    s.points.push_back(TlvOne::newPoint(1.5f));
    s.points[0].pointVelocity = 123.0f;
    UndoSnapshot undo;
    common::RecordingMessenger messenger;
    CEditChanShuDialogModel dialog(s, undo, messenger);
    HoleParameters v = s.header;
    EXPECT_EQ(v.overburden, 20.0f);
    ASSERT_TRUE(dialog.setText(v, HoleText::ProjectName, QStringLiteral("示例工程")));
    ASSERT_TRUE(dialog.setText(v, HoleText::HoleNumber, QString(45, QLatin1Char('7'))));
    ASSERT_TRUE(dialog.setText(v, HoleText::Personnel, QStringLiteral("测试员")));
    ASSERT_TRUE(dialog.setText(v, HoleText::TestDate, QStringLiteral("2026-12-7")));
    v.method = 1;
    v.sourceDistance = 3.0f;
    v.overburden = 200.0f;
    v.computationDepth = 0.0f;
    v.personnelLabel = 2;
    v.microtremorTest = 1;
    EXPECT_TRUE(s.header.projectName == HoleParameters().projectName); // nothing stored before OK
    ASSERT_TRUE(dialog.apply(v));
    EXPECT_EQ(common::readFixedText(s.header.holeNumber), std::string(40, '7'));
    EXPECT_EQ(CEditChanShuDialogModel::text(s.header, HoleText::ProjectName), QStringLiteral("示例工程"));
    EXPECT_EQ(s.header.method, 1);
    EXPECT_EQ(s.header.sourceDistance, 3.0f);
    EXPECT_EQ(s.header.personnelLabel, 2);
    EXPECT_EQ(s.header.microtremorTest, 1);
    EXPECT_EQ(s.points[0].pointVelocity, 123.0f); // not recomputed
    EXPECT_TRUE(s.isModified());
    ASSERT_TRUE(undo.Undo(s));
    EXPECT_EQ(s.header.method, 0);
    EXPECT_EQ(CEditChanShuDialogModel::text(s.header, HoleText::ProjectName), QString());
    EXPECT_EQ(s.header.overburden, 200.0f); // the site values are not part of the snapshot
}

TEST(HoleDialog, RefusesWhatItsFieldsWouldNotTakeAndKeepsWhatIsStored)
{
    SurveyData s;
    UndoSnapshot undo;
    common::RecordingMessenger messenger;
    CEditChanShuDialogModel dialog(s, undo, messenger);
    const HoleParameters start = s.header;
    HoleParameters v = start;
    v.overburden = 200.5f;
    EXPECT_FALSE(dialog.apply(v));
    EXPECT_TRUE(messenger.last().contains(QStringLiteral("200")));
    v = start;
    v.computationDepth = -0.1f;
    EXPECT_FALSE(dialog.apply(v));
    v = start;
    v.personnelLabel = 3;
    EXPECT_FALSE(dialog.apply(v));
    v = start;
    EXPECT_FALSE(dialog.setText(v, HoleText::Personnel, QStringLiteral("\U0001F600")));
    EXPECT_TRUE(v == start);
    EXPECT_EQ(messenger.messages.size(), 4); // every refusal says why
    EXPECT_FALSE(undo.available());
    EXPECT_FALSE(s.isModified());

    // What another program stored is kept: a method other than 0 or 1 (cross
    // hole) and a project name longer than the edit box lets one type.
    s.header.method = 7;
    const QString longName(30, QChar(0x5DE5));
    common::storeFixedText(s.header.projectName, common::encodeGbk(longName).value().toStdString());
    v = s.header;
    EXPECT_FALSE(v.isSingleHole());
    ASSERT_TRUE(dialog.setText(v, HoleText::ProjectName, CEditChanShuDialogModel::text(v, HoleText::ProjectName)));
    ASSERT_TRUE(dialog.apply(v));
    EXPECT_EQ(s.header.method, 7);
    EXPECT_EQ(CEditChanShuDialogModel::text(s.header, HoleText::ProjectName), longName);
}

TEST(HoleDialog, DepthSpacingAndDistancesFollowOneRuleForDialogAndCommandLine)
{
    SurveyData s;
    UndoSnapshot undo;
    common::RecordingMessenger messenger;
    CEditChanShuDialogModel dialog(s, undo, messenger);
    const HoleParameters fresh = newSurveyDefaults(s, QDate(2026, 12, 7));
    ASSERT_TRUE(dialog.validate(fresh, true));
    struct Case {
        float HoleParameters::*field;
        float value;
        HoleNumber refused;
        const char *message;
    };
    const Case cases[] = {
        {&HoleParameters::pointSpacing, -1.0f, HoleNumber::PointSpacing, "测点间隔: 请输入一个大于 0 的数。"},
        {&HoleParameters::pointSpacing, 0.0f, HoleNumber::PointSpacing, "测点间隔: 请输入一个大于 0 的数。"},
        {&HoleParameters::holeDepth, std::numeric_limits<float>::infinity(), HoleNumber::HoleDepth,
         "测孔深度: 请输入一个大于 0 的数。"},
        {&HoleParameters::sourceDistance, -0.5f, HoleNumber::SourceDistance, "激振距离: 请输入一个不小于 0 的数。"},
        {&HoleParameters::plankLength, std::numeric_limits<float>::quiet_NaN(), HoleNumber::PlankLength,
         "激振板长: 请输入一个不小于 0 的数。"},
        // Deeper than the hole: a new survey would have no point.
        {&HoleParameters::pointSpacing, 60.0f, HoleNumber::HoleDepth, "新测试将没有测点"},
    };
    for (const Case &c : cases) {
        HoleParameters v = fresh;
        v.*c.field = c.value;
        EXPECT_FALSE(dialog.validate(v, true)) << c.message;
        EXPECT_EQ(dialog.refusedField(), c.refused) << c.message;
        EXPECT_TRUE(messenger.last().contains(QString::fromUtf8(c.message))) << messenger.last().toStdString();
        ASSERT_TRUE(dialog.check(v, true).has_value());
        EXPECT_EQ(dialog.check(v, true)->message, messenger.last());
    }
    // Editing: a spacing wider than the hole is the user's affair, a negative
    // one is not; a value the survey already holds (an old file's 0 m hole)
    // does not stop other edits.
    s.header.holeDepth = 0.0f;
    HoleParameters v = s.header;
    v.overburden = 10.0f;
    EXPECT_TRUE(dialog.apply(v));
    v.pointSpacing = -2.0f;
    EXPECT_FALSE(dialog.apply(v));
    EXPECT_EQ(s.header.overburden, 10.0f);
}

TEST(HoleDialog, NewSurveyTextsAreCutAtACharacterBoundary)
{
    SurveyData s;
    UndoSnapshot undo;
    common::RecordingMessenger messenger;
    CEditChanShuDialogModel dialog(s, undo, messenger);
    HoleParameters v = newSurveyDefaults(s, QDate(2026, 12, 7));
    EXPECT_EQ(CEditChanShuDialogModel::text(v, HoleText::TestDate), QStringLiteral("2026-12-7"));
    // 17 bytes in GBK, the field holds 16: the last whole character goes.
    ASSERT_TRUE(dialog.setText(v, HoleText::TestDate, QStringLiteral("2026年12月7日上午")));
    EXPECT_EQ(CEditChanShuDialogModel::text(v, HoleText::TestDate), QStringLiteral("2026年12月7日上"));
    // 41 bytes for a field of 40: no half character is stored.
    ASSERT_TRUE(dialog.setText(v, HoleText::HoleNumber, QString(20, QChar(0x5B54)) + QLatin1Char('x')));
    EXPECT_EQ(common::readFixedText(v.holeNumber).size(), 40u);
    ASSERT_TRUE(dialog.setText(v, HoleText::HoleNumber, QString(19, QChar(0x5B54)) + QStringLiteral("xyz")));
    EXPECT_EQ(CEditChanShuDialogModel::text(v, HoleText::HoleNumber),
              QString(19, QChar(0x5B54)) + QStringLiteral("xy"));
    ASSERT_TRUE(dialog.validate(v));
    EXPECT_FALSE(undo.available()); // New replaces the survey; no snapshot here
    v.overburden = 201.0f;
    EXPECT_FALSE(dialog.validate(v));
}
