// The command table: every list of the window names commands the table
// holds, and the enabling rules follow the document's state.

#include "talvex/document/commandtable.h"
#include "talvex/document/surveydocument.h"

#include <gtest/gtest.h>
#include <QString>
#include <algorithm>
#include <set>

using namespace talvex;

namespace {

std::set<CommandId> tableIds()
{
    std::set<CommandId> ids;
    for (const CommandInfo &info : allCommands())
        ids.insert(info.id);
    return ids;
}

void expectKnown(std::span<const CommandId> list, const char *where)
{
    const std::set<CommandId> ids = tableIds();
    for (const CommandId id : list)
        if (id != CommandId::None) {
            EXPECT_TRUE(ids.count(id)) << where << " names command " << int(id) << " that the table lacks";
        }
}

HoleParameters hole(float depth)
{
    HoleParameters parameters;
    parameters.holeDepth = depth;
    parameters.pointSpacing = 1.0f;
    return parameters;
}

} // namespace

TEST(CommandTable, EveryListedCommandIsInTheTableOnce)
{
    EXPECT_EQ(tableIds().size(), allCommands().size()) << "a command number appears twice";
    for (const MenuDefinition &menu : mainMenu())
        expectKnown(menu.entries, menu.title);
    expectKnown(firstToolBar(), "first toolbar");
    expectKnown(secondToolBar(), "second toolbar");
    for (const auto kind : {ContextMenuId::Waveforms, ContextMenuId::Histogram, ContextMenuId::RawRecord})
        expectKnown(contextMenu(kind), "context menu");
    std::set<QString> keys;
    for (const Accelerator &accelerator : accelerators()) {
        EXPECT_TRUE(tableIds().count(accelerator.id)) << accelerator.keys;
        EXPECT_TRUE(keys.insert(QString::fromLatin1(accelerator.keys)).second) << accelerator.keys << " used twice";
    }
    // Every toolbar command has a picture, so no button is blank.
    for (const auto bar : {firstToolBar(), secondToolBar()})
        for (const CommandId id : bar)
            if (id != CommandId::None) {
                EXPECT_STRNE(commandInfo(id).icon, "") << int(id);
            }
    EXPECT_EQ(commandInfo(CommandId(12345)).id, CommandId::None);
}

TEST(CommandTable, EnablingFollowsPointsAndDisplayMode)
{
    SurveyDocument document;
    // Empty survey, multi-trace view: only inserting a point works on points.
    EXPECT_TRUE(isEnabled(CommandId::InsertPoint, document));
    EXPECT_FALSE(isEnabled(CommandId::SetSArrival, document));
    EXPECT_FALSE(isEnabled(CommandId::ImportFolder, document));
    EXPECT_FALSE(isEnabled(CommandId::ShowHistogram, document));
    EXPECT_FALSE(isEnabled(CommandId::ZeroBeforeCursor, document));
    EXPECT_TRUE(isEnabled(CommandId::ShowTimeDistance, document));
    EXPECT_TRUE(isEnabled(CommandId::EditHoleParameters, document));

    document.newSurvey(hole(10.0f));
    EXPECT_TRUE(isEnabled(CommandId::SetSArrival, document));
    EXPECT_TRUE(isEnabled(CommandId::ImportFolder, document));
    EXPECT_TRUE(isEnabled(CommandId::ZeroBeforeCursor, document));
    EXPECT_TRUE(isEnabled(CommandId::ToggleSingleTrace, document));
    EXPECT_FALSE(isEnabled(CommandId::InsertLayer, document));
    EXPECT_FALSE(isEnabled(CommandId::SetTriggerPoint, document));
    EXPECT_EQ(isChecked(CommandId::ShowWaveforms, document), std::optional<bool>(true));
    EXPECT_EQ(isChecked(CommandId::ShowHistogram, document), std::optional<bool>(false));

    ViewState view = document.view();
    view.mode = DisplayMode::VelocityHistogram;
    document.setView(view);
    EXPECT_TRUE(isEnabled(CommandId::InsertLayer, document));
    EXPECT_TRUE(isEnabled(CommandId::DeleteLayer, document));
    EXPECT_FALSE(isEnabled(CommandId::SetSArrival, document));
    EXPECT_FALSE(isEnabled(CommandId::InsertPoint, document));
    EXPECT_FALSE(isEnabled(CommandId::ToggleSingleTrace, document));
    EXPECT_EQ(isChecked(CommandId::ShowHistogram, document), std::optional<bool>(true));

    view.mode = DisplayMode::RawRecord;
    document.setView(view);
    EXPECT_TRUE(isEnabled(CommandId::SetTriggerPoint, document));
    EXPECT_TRUE(isEnabled(CommandId::SetPositiveTrace, document));
    EXPECT_TRUE(isEnabled(CommandId::CompressDisplay, document));
    EXPECT_EQ(isChecked(CommandId::ShowRawRecord, document), std::optional<bool>(true));
    EXPECT_EQ(isChecked(CommandId::ZoomIn, document), std::nullopt);
}

TEST(CommandTable, SaveAndUndoFollowTheDocument)
{
    SurveyDocument document;
    EXPECT_FALSE(isEnabled(CommandId::FileSave, document));
    EXPECT_FALSE(isEnabled(CommandId::Undo, document));
    document.newSurvey(hole(5.0f));
    EXPECT_TRUE(isEnabled(CommandId::FileSave, document));
    EXPECT_FALSE(isEnabled(CommandId::Undo, document));
    ASSERT_TRUE(document.editor().ZeroBeforeCursor());
    EXPECT_TRUE(isEnabled(CommandId::Undo, document));
    document.survey().setModified(false);
    EXPECT_FALSE(isEnabled(CommandId::FileSave, document));
    // The update check has no operation and is never offered.
    EXPECT_FALSE(isEnabled(CommandId::UpdateCheck, document));
    // The P and R arrivals follow the S arrival's rule.
    EXPECT_EQ(isEnabled(CommandId::SetPArrival, document), isEnabled(CommandId::SetSArrival, document));
    EXPECT_EQ(isEnabled(CommandId::SetRArrival, document), isEnabled(CommandId::SetSArrival, document));
}

TEST(CommandTable, ReportCommandsNeedPointsButTheSetupsDoNot)
{
    const CommandId report[] = {CommandId::FilePrint, CommandId::FilePrintPreview, CommandId::ExportFigures,
                                CommandId::ExportFiguresButton, CommandId::ExportPdfReport};
    SurveyDocument document;
    for (const CommandId id : report)
        EXPECT_FALSE(isEnabled(id, document)) << int(id);
    EXPECT_TRUE(isEnabled(CommandId::PageSetup, document));
    EXPECT_TRUE(isEnabled(CommandId::PrintSetup, document));
    document.newSurvey(hole(3.0f));
    for (const CommandId id : report)
        EXPECT_TRUE(isEnabled(id, document)) << int(id);
    // The PDF report follows the figures in the File menu.
    const auto file = mainMenu()[0].entries;
    const auto figures = std::find(file.begin(), file.end(), CommandId::ExportFigures);
    ASSERT_NE(figures, file.end());
    EXPECT_EQ(*(figures + 1), CommandId::ExportPdfReport);
    EXPECT_STREQ(commandInfo(CommandId::ExportPdfReport).caption, "输出PDF报告");
}
