#pragma once
// Every command of the microtremor window in one table: its number, menu
// caption, status prompt, standard key and toolbar picture, whether it
// carries a check mark, and the one rule that decides when it can run. The
// window builds its actions, menus and toolbar from this table and binds
// each command to its handler in one handler table (cmainframe.cpp); nothing
// else names a command by text.

#include <QKeySequence>
#include <QStyle>
#include <optional>
#include <span>

namespace sedra {

enum class CommandId {
    None = 0, // a separator in a menu or toolbar list

    // 文件(&F)
    Open,
    Save,
    SaveAs,
    SaveAcquisition,
    Print,
    PrintPreview,
    PageSetup,
    ExportText,
    Snapshot,
    RecentFiles, // the place of the recent-file submenu
    Exit,
    // 查看(&V)
    ToolBar,
    StatusBar,
    // On the menu bar itself
    Configure,
    StartSampling,
    // 工具(&T)
    PrintInfo,
    PrintSettings,
    DigitalFilter,
    // 键盘(&K)
    SmartKeyboard,
    OpenKeyboard,
    // H/V(&Y)
    HvMode,
    OpenThreeComponent,
    HvRecording,
    HvStop,
    // 帮助(&H)
    HelpTopics, // the manual as HTML (F1)
    UserManual, // the manual as PDF
    About,
};

struct CommandInfo {
    CommandId id = CommandId::None;
    // Menu text as shown, UTF-8; "&" marks the mnemonic.
    const char *caption = "";
    // Status-bar prompt while the entry is highlighted.
    const char *statusPrompt = "";
    // The platform's key of the command; UnknownKey for none.
    QKeySequence::StandardKey key = QKeySequence::UnknownKey;
    // The toolbar picture from the style; nothing for commands without one.
    std::optional<QStyle::StandardPixmap> icon;
    // Shown with a check mark (the handler is told the new state).
    bool checkable = false;
};

// What the enabling and check rules look at.
struct CommandState {
    bool cardPresent = false;
    bool acquiring = false; // an acquisition job is running
    bool hasSamples = false; // the document holds a record
    bool showTestInfo = false; // 打印相关信息 is on
    bool smartKeyboard = false; // 智能键盘 is on
    bool hvMode = false; // the H/V view is shown instead of the six bands
    bool hvRecording = false; // a long recording with live H/V is running
};

// An entry of the menu bar: a menu of `entries` (CommandId::None a
// separator), or, when `command` is set, a command standing on the bar.
struct MenuDefinition {
    const char *title;
    std::span<const CommandId> entries;
    CommandId command = CommandId::None;
};

// Every command of the window, in menu order.
std::span<const CommandInfo> allCommands();
// The row of `id`; the row of CommandId::None (all texts empty) for a number
// that is not in the table.
const CommandInfo &commandInfo(CommandId id);

std::span<const MenuDefinition> mainMenu();
std::span<const CommandId> toolBar();

// Whether `id` can run: the card commands need a card and no acquisition
// running, saving needs a record, stopping a long recording needs one
// running; the rest always can.
bool isEnabled(CommandId id, const CommandState &state);
// The check mark of the option commands; nothing for the others and for the
// bar toggles, whose state the window keeps.
std::optional<bool> isChecked(CommandId id, const CommandState &state);

} // namespace sedra
