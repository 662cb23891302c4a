#include "sedra/ui/commandtable.h"

#include "common/commandtables.h"

#include <algorithm>
#include <array>

namespace sedra {

namespace {

using enum CommandId;
using Key = QKeySequence::StandardKey;
using Pixmap = QStyle::StandardPixmap;

// clang-format off
constexpr std::array kCommands = {
    CommandInfo{Open,            "打开(&O)...",         "打开一个数据文件",                 Key::Open,       Pixmap::SP_DialogOpenButton},
    CommandInfo{Save,            "保存(&S)",            "保存当前数据",                     Key::Save,       Pixmap::SP_DialogSaveButton},
    CommandInfo{SaveAs,          "另存为(&A)...",       "用新名字保存当前数据",             Key::UnknownKey, std::nullopt},
    CommandInfo{SaveAcquisition, "保存本次采集数据",    "保存本次采集的原始数据",           Key::UnknownKey, std::nullopt},
    CommandInfo{Print,           "打印(&P)...",         "打印当前页面",                     Key::Print,      Pixmap::SP_ComputerIcon},
    CommandInfo{PrintPreview,    "打印预览(&V)",        "显示整页的打印效果",               Key::UnknownKey, Pixmap::SP_FileDialogContentsView},
    CommandInfo{PageSetup,       "打印设置(&R)...",     "选择打印机和页面",                 Key::UnknownKey, std::nullopt},
    CommandInfo{ExportText,      "保存为TXT数据格式",   "把当前数据保存为文本文件",         Key::UnknownKey, std::nullopt},
    CommandInfo{Snapshot,        "生成当前数据图片",    "把当前显示保存为图片",             Key::UnknownKey, std::nullopt},
    CommandInfo{RecentFiles,     "最近文件",            "打开最近用过的数据文件",           Key::UnknownKey, std::nullopt},
    CommandInfo{Exit,            "退出(&X)",            "退出程序",                         Key::UnknownKey, std::nullopt},
    CommandInfo{ToolBar,         "工具栏(&T)",          "显示或隐藏工具栏",                 Key::UnknownKey, std::nullopt, true},
    CommandInfo{StatusBar,       "状态栏(&S)",          "显示或隐藏状态栏",                 Key::UnknownKey, std::nullopt, true},
    CommandInfo{Configure,       "配置参数(&C)",        "设置采集参数",                     Key::UnknownKey, std::nullopt},
    CommandInfo{StartSampling,   "开始采集数据(&S)",    "按当前参数开始采集",               Key::UnknownKey, std::nullopt},
    CommandInfo{PrintInfo,       "打印相关信息",        "在页面上显示或隐藏测试信息",       Key::UnknownKey, std::nullopt, true},
    CommandInfo{PrintSettings,   "设置打印相关信息",    "编辑页面上的测试信息",             Key::UnknownKey, std::nullopt},
    CommandInfo{DigitalFilter,   "数字滤波",            "对当前数据做数字滤波",             Key::UnknownKey, std::nullopt},
    CommandInfo{SmartKeyboard,   "智能键盘",            "输入文字前自动打开屏幕键盘",       Key::UnknownKey, std::nullopt, true},
    CommandInfo{OpenKeyboard,    "打开键盘",            "打开屏幕键盘",                     Key::UnknownKey, std::nullopt},
    CommandInfo{HvMode,          "H/V 分析",            "显示 H/V 谱比分析，代替六道显示",  Key::UnknownKey, std::nullopt, true},
    CommandInfo{OpenThreeComponent, "打开三分量记录...", "读入三分量记录（miniSEED、SAC、SEG-2、CWD、文本）做 H/V 分析", Key::UnknownKey, std::nullopt},
    CommandInfo{HvRecording,     "H/V 长时间采集...",   "连续采集三分量记录，每采完一个窗口更新 H/V", Key::UnknownKey, std::nullopt},
    CommandInfo{HvStop,          "结束长时间采集",      "结束长时间采集，保留已采集的数据", Key::UnknownKey, std::nullopt},
    CommandInfo{HelpTopics,      "帮助主题...",         "显示本程序的用户手册（网页）",     Key::HelpContents, std::nullopt},
    CommandInfo{UserManual,      "用户手册",            "打开本程序的用户手册（PDF）",      Key::UnknownKey, std::nullopt},
    CommandInfo{About,           "关于 地脉动(&A)...",  "显示程序的版本",                   Key::UnknownKey, Pixmap::SP_MessageBoxQuestion},
};

constexpr std::array kFileMenu = {Open, Save, SaveAs, SaveAcquisition, None,
                                  Print, PrintPreview, PageSetup, None,
                                  ExportText, Snapshot, None,
                                  RecentFiles, None,
                                  Exit};
constexpr std::array kViewMenu = {ToolBar, StatusBar};
constexpr std::array kToolsMenu = {PrintInfo, PrintSettings, DigitalFilter};
constexpr std::array kKeyboardMenu = {SmartKeyboard, OpenKeyboard};
constexpr std::array kHvMenu = {HvMode, None, OpenThreeComponent, None, HvRecording, HvStop};
constexpr std::array kHelpMenu = {HelpTopics, UserManual, None, About};

const std::array kMenus = {
    MenuDefinition{"文件(&F)", kFileMenu},
    MenuDefinition{"查看(&V)", kViewMenu},
    MenuDefinition{"", {}, Configure},
    MenuDefinition{"", {}, StartSampling},
    MenuDefinition{"工具(&T)", kToolsMenu},
    MenuDefinition{"键盘(&K)", kKeyboardMenu},
    MenuDefinition{"H/V(&Y)", kHvMenu},
    MenuDefinition{"帮助(&H)", kHelpMenu},
};

constexpr std::array kToolBar = {Open, Save, PrintPreview, Print, About, None, Snapshot, SaveAcquisition, ExportText};
// clang-format on

const CommandInfo kNone{};

} // namespace

std::span<const CommandInfo> allCommands()
{
    return kCommands;
}

const CommandInfo &commandInfo(CommandId id)
{
    return common::commandRow(allCommands(), id, kNone);
}

std::span<const MenuDefinition> mainMenu()
{
    return kMenus;
}

std::span<const CommandId> toolBar()
{
    return kToolBar;
}

bool isEnabled(CommandId id, const CommandState &state)
{
    switch (id) {
    // The card is set up and started only while it is there and idle.
    case Configure:
    case StartSampling:
    case HvRecording: return state.cardPresent && !state.acquiring;
    case HvStop: return state.hvRecording;
    case Save:
    case SaveAs: return state.hasSamples;
    case None: return false;
    default: return true;
    }
}

std::optional<bool> isChecked(CommandId id, const CommandState &state)
{
    switch (id) {
    case PrintInfo: return state.showTestInfo;
    case SmartKeyboard: return state.smartKeyboard;
    case HvMode: return state.hvMode;
    default: return std::nullopt;
    }
}

} // namespace sedra
