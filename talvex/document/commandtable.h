#pragma once
// Every command of the analysis window in one table: its number, menu caption,
// status prompt, tool tip and toolbar icon, the keys that run it, the menus
// and toolbars it stands in, and the one rule that decides when it can run.
// The window creates all its actions from this table and asks isEnabled() and
// isChecked() in one updateActions(); nothing else restates a caption or an
// enabling rule. The rules call the ones of the editing, point and layer
// commands (editcommands.h, pointcommands.h, layercommands.h).
//
// What a command does is the window's business: its handler table
// (talvex/ui/framecommands.cpp) binds every row here to one handler, and
// the window's test fails on a row without one. A new command is a row here
// (and in the lists it stands in) and a row there.
//
// Qt Core only: key sequences are portable texts ("Ctrl+N", "T", "F2") that
// the window turns into QKeySequence.

#include "talvex/settings/viewstate.h"

#include <optional>
#include <span>

namespace talvex {

class SurveyDocument;

// The command numbers of the window (kept as the program has always numbered
// them, so that they read the same in every list of its commands).
enum class CommandId {
    None = 0, // separator in a menu or toolbar list

    // 文件(&F)
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrint = 57607,
    FilePrintPreview = 57609,
    PageSetup = 32791,
    PrintSetup = 57606,
    ExportFigures = 32851,
    ExportPdfReport = 32859, // the printed report as one PDF file
    ExportPointTable = 32856,
    ExportLayerTable = 32858,
    ExportWaveforms = 32854,
    RecentFiles = 57616, // the place of the recent-file entries
    AppExit = 57665,

    // 编辑(&E)
    Undo = 57643,
    EnterSurveyLog = 32797,
    EditHoleParameters = 32775,
    EditPointParameters = 32790,
    EditLayers = 32781,
    ImportRecord = 32785,
    ImportFolder = 32883,
    ImportLayers = 32849,
    ShowResults = 32873,
    ShowSoilIndices = 32876,
    SetPositiveTrace = 32786,
    SetNegativeTrace = 32787,
    SetTriggerPoint = 32788,
    InsertLayer = 32836,
    DeleteLayer = 32837,
    SuggestLayers = 32943, // the travel-time curve's breaks offered as layers

    // 波形处理(&K)
    SetSArrival = 32784,
    SetPArrival = 32783,
    SetRArrival = 32776,
    ZeroBeforeCursor = 32778,
    ZeroAfterCursor = 32798,
    DigitalFilter = 32779,
    ShowSpectrum = 32780,
    SmoothTrace = 32782,
    RemoveTraceDC = 32792,
    ShiftEarlier = 32802,
    ShiftLater = 32803,
    InvertTrace = 32808,
    InvertAllPoints = 32894,
    ShiftEarlierTen = 32935,
    ShiftLaterTen = 32936,
    InsertPoint = 32801,
    DeletePoint = 32794,
    SortPoints = 32835,
    RecalculateAll = 32845,
    // The picked interval times checked against the waveforms' (a list of
    // the points that disagree, marked in the multi-trace view).
    ReviewIntervals = 32944,
    // The automatic arrival suggestions: shown as markers (a toggle), the
    // current point's accepted (y), all above a quality accepted.
    ToggleArrivalSuggestions = 32940,
    AcceptArrivalSuggestion = 32941,
    AcceptAllArrivalSuggestions = 32942,

    // 查看(&V)
    ViewToolBar = 59392,
    ViewStatusBar = 59393,
    ShowWaveforms = 32772,
    ShowHistogram = 32793,
    ShowTimeDistance = 32932,
    ZoomIn = 32771,
    ZoomOut = 32773,

    // 帮助(&H)
    HelpTopics = 57667,
    UserManual = 32874,
    WebSupport = 32829,
    UpdateCheck = 32881,
    About = 57664,

    // Toolbar, context menu and keyboard only
    ToggleSingleTrace = 32789,
    ShowRawRecord = 32848,
    ExportFiguresButton = 32852,
    CompressDisplay = 32910,
    ExpandDisplay = 32911,
    RestoreDisplay = 32913,
    OnScreenKeyboard = 32916,
    NextPane = 57680,
    PreviousPane = 57681,
};

struct CommandInfo {
    CommandId id = CommandId::None;
    // Menu text as shown: "&" marks the mnemonic; a "\t" part is the key text
    // shown at the right of a menu entry. Letter keys are part of the text
    // ("设为S波初至...    t").
    const char *caption = "";
    // Status-bar prompt while the entry is highlighted; empty when none.
    const char *statusPrompt = "";
    // Tool tip of the toolbar button (the caption without mnemonic and keys
    // when the table gives none).
    const char *toolTip = "";
    // Name of the toolbar picture; empty for commands without a button.
    const char *icon = "";
    // Shown with a check mark in some state (isChecked gives it).
    bool checkable = false;
};

// One key of the accelerator table: the portable key text and its command.
struct Accelerator {
    const char *keys;
    CommandId id;
};

// A top-level menu: its title and entries (CommandId::None is a separator).
struct MenuDefinition {
    const char *title;
    std::span<const CommandId> entries;
};

// Every command of the window, in menu order, then the ones without a menu
// entry.
std::span<const CommandInfo> allCommands();
// The row of `id`; the row of CommandId::None (all texts empty) for a number
// that is not in the table.
const CommandInfo &commandInfo(CommandId id);

std::span<const MenuDefinition> mainMenu();
std::span<const CommandId> firstToolBar();
std::span<const CommandId> secondToolBar();
std::span<const CommandId> contextMenu(ContextMenuId kind);
// The keys of the window (function keys, Ctrl combinations, Alt+K and the
// plain letter keys of the editing commands).
std::span<const Accelerator> accelerators();

// Whether `id` can run in the document's present state. Commands without a
// rule of their own are always enabled; the update check, which has no
// operation, is never enabled. Printing, the preview, the figures and the PDF
// report need a survey with points; page and printer setup are always
// enabled.
bool isEnabled(CommandId id, const SurveyDocument &document);

// The check mark of a mode command in the present state; nothing for
// commands without one and for the bar toggles, whose state the window keeps.
std::optional<bool> isChecked(CommandId id, const SurveyDocument &document);

} // namespace talvex
