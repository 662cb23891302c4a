#include "talvex/document/commandtable.h"

#include "common/commandtables.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/document/surveydocument.h"
#include "talvex/processing/editcommands.h"

#include <algorithm>
#include <array>

namespace talvex {

namespace {

using enum CommandId;

// clang-format off
constexpr std::array kCommands = {
    // 文件(&F)
    CommandInfo{FileNew,          "新建(&N)\tCtrl+N",      "建立新文档",                 "新建",         "new"},
    CommandInfo{FileOpen,         "打开(&O)...\tCtrl+O",   "打开一个现有文档",           "打开",         "open"},
    CommandInfo{FileSave,         "保存(&S)\tCtrl+S",      "保存活动文档",               "保存",         "save"},
    CommandInfo{FileSaveAs,       "另存为(&A)...",         "将活动文档以一个新文件名保存", "另存为",     ""},
    CommandInfo{FilePrint,        "打印(&P)...\tCtrl+P",   "打印活动文档",               "打印",         "print"},
    CommandInfo{FilePrintPreview, "打印预览(&V)",          "显示整页",                   "打印预览",     "preview"},
    CommandInfo{PageSetup,        "页面设置(&W)",          "设置打印时的页面格式",       "页面设置",     "pagesetup"},
    CommandInfo{PrintSetup,       "打印设置(&R)...",       "改变打印机及打印选项",       "打印设置",     ""},
    CommandInfo{ExportFigures,    "输出图形文件",          "输出BMP格式的打印成果",      "输出图形文件", ""},
    CommandInfo{ExportPdfReport,  "输出PDF报告",           "输出PDF格式的打印成果",      "输出PDF报告",  ""},
    CommandInfo{ExportPointTable, "输出测点波速",          "输出测点波速到EXCEL文件保存", "输出测点波速", ""},
    CommandInfo{ExportLayerTable, "输出分层波速",          "输出分层波速到EXCEL文件保存", "输出分层波速", ""},
    CommandInfo{ExportWaveforms,  "输出波形数据",          "输出原始波形数据供用户处理", "输出波形数据", ""},
    CommandInfo{RecentFiles,      "最近文件",              "打开该文档",                 "最近文件",     ""},
    CommandInfo{AppExit,          "退出(&X)",              "退出应用程序；提示保存文档", "退出",         ""},
    // 编辑(&E)
    CommandInfo{Undo,                "撤消(&U)\tCtrl+Z", "撤消最后一步操作",             "撤消",         "undo"},
    CommandInfo{EnterSurveyLog,      "输入工勘资料",     "输入工勘资料",                 "输入工勘资料", "surveylog"},
    CommandInfo{EditHoleParameters,  "修改测孔参数",     "修改测孔参数",                 "修改测孔参数", "hole"},
    CommandInfo{EditPointParameters, "修改测点参数",     "修改当前测点的参数",           "修改当前测点的参数", "point"},
    CommandInfo{EditLayers,          "分层参数修改",     "人工分层设置",                 "人工分层设置", "layers"},
    CommandInfo{ImportRecord,        "导入原始数据",     "导入一个原始数据到当前测点",   "导入原始数据", "importrecord"},
    CommandInfo{ImportFolder,        "导入文件夹数据",   "导入文件夹数据",               "导入文件夹数据", "importfolder"},
    CommandInfo{ImportLayers,        "导入分层参数",     "从另一个数据文件里导入分层参数", "导入分层参数", ""},
    CommandInfo{ShowResults,         "成果计算显示",     "",                             "成果计算显示", ""},
    CommandInfo{ShowSoilIndices,     "物性指标计算",     "",                             "物性指标计算", ""},
    CommandInfo{SetPositiveTrace,    "设为正向数据",     "将当前选中道设为正向数据",     "设为正向数据", "positive"},
    CommandInfo{SetNegativeTrace,    "设为反向数据",     "将当前选中道设为反向数据",     "设为反向数据", "negative"},
    CommandInfo{SetTriggerPoint,     "设为外触发点",     "将光标所在点设为触发时间",     "设为外触发点", "trigger"},
    CommandInfo{InsertLayer,         "插入一个土层",     "在当前位置插入一个土层",       "插入一个土层", "insertlayer"},
    CommandInfo{DeleteLayer,         "删除一个土层",     "删除当前选中的土层",           "删除一个土层", "deletelayer"},
    CommandInfo{SuggestLayers,       "建议分层",         "按时距曲线的折点建议分层",     "建议分层",     ""},
    // 波形处理(&K)
    CommandInfo{SetSArrival,      "设为S波初至...    t", "将光标所在点设为S波的初至时间", "设为S波初至", "sarrival"},
    CommandInfo{SetPArrival,      "设为P波初至",         "将光标所在点设为P波的初至时间", "设为P波初至", ""},
    CommandInfo{SetRArrival,      "设为R波初至",         "将光标所在点设为R波的初至时间", "设为R波初至", ""},
    CommandInfo{ToggleArrivalSuggestions,    "自动拾取建议",        "显示各测点自动拾取的S波初至建议及其质量", "自动拾取建议", "", true},
    CommandInfo{AcceptArrivalSuggestion,     "采用拾取建议    y",   "将当前测点的拾取建议设为S波初至", "采用拾取建议", ""},
    CommandInfo{AcceptAllArrivalSuggestions, "采用全部拾取建议...", "将质量不低于给定值的拾取建议全部设为S波初至", "采用全部拾取建议", ""},
    CommandInfo{ZeroBeforeCursor, "波形前清...     q",   "将光标所在点以前的波形清零",   "波形前清",     "zerobefore"},
    CommandInfo{ZeroAfterCursor,  "波形后清...     h",   "将光标所在点以后的波形清零",   "波形后清",     "zeroafter"},
    CommandInfo{DigitalFilter,    "数字滤波...     b",   "对当前道的波形进行数字滤波",   "数字滤波",     "filter"},
    CommandInfo{ShowSpectrum,     "频谱分析...     f",   "对当前道的波形进行频谱分析",   "频谱分析",     ""},
    CommandInfo{SmoothTrace,      "波形平滑...     o",   "对当前道的波形进行平滑处理",   "波形平滑",     "smooth"},
    CommandInfo{RemoveTraceDC,    "剔除直流...     d",   "将当前的波形里的直流成份剔除", "剔除直流",     "removedc"},
    CommandInfo{ShiftEarlier,     "波形前移...     -",   "波形前移一个点",               "波形前移",     "shiftearlier"},
    CommandInfo{ShiftLater,       "波形后移...     =",   "波形后移一个点",               "波形后移",     "shiftlater"},
    CommandInfo{InvertTrace,      "波形反相...     r",   "将当前波形反相",               "波形反相",     "invert"},
    CommandInfo{InvertAllPoints,  "所有波形反相",        "所选波形全部反相",             "所有波形反相", "invertall"},
    CommandInfo{ShiftEarlierTen,  "波形前移10点    a",   "",                             "波形前移10点", ""},
    CommandInfo{ShiftLaterTen,    "波形后移10点    z",   "",                             "波形后移10点", ""},
    CommandInfo{InsertPoint,      "插入一个测点    w",   "在当前的测点前增加一个测点",   "插入一个测点", "insertpoint"},
    CommandInfo{DeletePoint,      "删除当前测点    e",   "将当前的测点删除",             "删除当前测点", "deletepoint"},
    CommandInfo{SortPoints,       "测点快速排序",        "对各测点的数据按测点深度进行排序", "测点快速排序", ""},
    CommandInfo{RecalculateAll,   "重算所有波速",        "重新计算所有的波速",           "重算所有波速", ""},
    CommandInfo{ReviewIntervals,  "层间时间检查...",     "用相邻测点波形的互相关检查拾取的层间时间，列出不一致的测点", "层间时间检查", ""},
    // 查看(&V)
    CommandInfo{ViewToolBar,      "工具栏(&T)",          "显示或隐藏工具栏",   "工具栏",       "", true},
    CommandInfo{ViewStatusBar,    "状态栏(&S)",          "显示或隐藏状态栏",   "状态栏",       "", true},
    CommandInfo{ShowWaveforms,    "显示原始曲线图...   F2", "显示叠加原始曲线图", "显示原始曲线图", "waveforms", true},
    CommandInfo{ShowHistogram,    "显示波形直方图...   F3", "显示波速直方图",   "显示波速直方图", "histogram", true},
    CommandInfo{ShowTimeDistance, "显示时距曲线图",      "显示时距曲线图",     "显示时距曲线图", ""},
    CommandInfo{ZoomIn,           "视图放大 5%",         "将视图放大5%",       "视图放大",     "zoomin"},
    CommandInfo{ZoomOut,          "视图缩小 5%",         "将视图缩小5%",       "视图缩小",     "zoomout"},
    // 帮助(&H)
    CommandInfo{HelpTopics,       "帮助主题...F1",       "显示帮助文件",       "帮助主题",     ""},
    CommandInfo{UserManual,       "用户手册",            "",                   "用户手册",     ""},
    CommandInfo{WebSupport,       "网上技术支持",        "",                   "网上技术支持", ""},
    CommandInfo{UpdateCheck,      "网上更新检查",        "",                   "网上更新检查", ""},
    CommandInfo{About,            "关于Korvane(&A)...",  "显示程序信息，版本号和版权", "关于", "about"},
    // Toolbar, context menu and keyboard only
    CommandInfo{ToggleSingleTrace,   "单道、多道显示切换", "单道、多道显示切换", "单道、多道显示切换", "singletrace", true},
    CommandInfo{ShowRawRecord,       "显示原始波形",      "显示原始波形",       "显示原始波形", "rawrecord", true},
    CommandInfo{ExportFiguresButton, "输出成果到BMP图形文件", "输出成果到BMP图形文件", "输出成果到BMP图形文件", "figure"},
    CommandInfo{CompressDisplay,     "波形压缩...",       "",                   "波形压缩",     ""},
    CommandInfo{ExpandDisplay,       "波形扩展...",       "",                   "波形扩展",     ""},
    CommandInfo{RestoreDisplay,      "波形复原...",       "",                   "波形复原",     ""},
    CommandInfo{OnScreenKeyboard,    "屏幕键盘",          "",                   "屏幕键盘",     ""},
    CommandInfo{NextPane,            "下一窗格",          "",                   "下一窗格",     ""},
    CommandInfo{PreviousPane,        "上一窗格",          "",                   "上一窗格",     ""},
};

constexpr std::array kFileMenu = {FileNew, FileOpen, FileSave, FileSaveAs, None, FilePrint, FilePrintPreview,
                                  PageSetup, PrintSetup, None, ExportFigures, ExportPdfReport, ExportPointTable,
                                  ExportLayerTable, ExportWaveforms, None, RecentFiles, None, AppExit};
constexpr std::array kEditMenu = {Undo, EnterSurveyLog, EditHoleParameters, EditPointParameters, EditLayers,
                                  ImportRecord, ImportFolder, ImportLayers, ShowResults, ShowSoilIndices,
                                  SetPositiveTrace, SetNegativeTrace, SetTriggerPoint, InsertLayer, DeleteLayer,
                                  SuggestLayers};
constexpr std::array kWaveformMenu = {SetSArrival, SetPArrival, SetRArrival, ToggleArrivalSuggestions,
                                      AcceptArrivalSuggestion, AcceptAllArrivalSuggestions, ZeroBeforeCursor, ZeroAfterCursor,
                                      DigitalFilter, ShowSpectrum, SmoothTrace, RemoveTraceDC, ShiftEarlier,
                                      ShiftLater, InvertTrace, InvertAllPoints, ShiftEarlierTen, ShiftLaterTen,
                                      InsertPoint, DeletePoint, SortPoints, RecalculateAll, ReviewIntervals};
constexpr std::array kViewMenu = {ViewToolBar, ViewStatusBar, ShowWaveforms, ShowHistogram, ShowTimeDistance,
                                  ZoomIn, ZoomOut};
constexpr std::array kHelpMenu = {HelpTopics, UserManual, WebSupport, UpdateCheck, About};

constexpr std::array kMainMenu = {
    MenuDefinition{"文件(&F)", kFileMenu},
    MenuDefinition{"编辑(&E)", kEditMenu},
    MenuDefinition{"波形处理(&K)", kWaveformMenu},
    MenuDefinition{"查看(&V)", kViewMenu},
    MenuDefinition{"帮助(&H)", kHelpMenu},
};

constexpr std::array kFirstToolBar = {FileNew, FileOpen, FileSave, PageSetup, None,
                                      Undo, ZoomIn, ZoomOut, ToggleSingleTrace, None,
                                      ShowWaveforms, ShowHistogram, ShowRawRecord, None,
                                      FilePrintPreview, FilePrint, About, ExportFiguresButton};
constexpr std::array kSecondToolBar = {ImportRecord, SetTriggerPoint, SetSArrival, InvertTrace, InvertAllPoints, None,
                                       SmoothTrace, ZeroBeforeCursor, ZeroAfterCursor, DigitalFilter, ShiftEarlier,
                                       ShiftLater, RemoveTraceDC, None,
                                       DeletePoint, InsertPoint, None,
                                       EditHoleParameters, EditPointParameters, EnterSurveyLog, None,
                                       EditLayers, InsertLayer, DeleteLayer, ImportFolder, None,
                                       SetPositiveTrace, SetNegativeTrace};

constexpr std::array kRawRecordContext = {SetTriggerPoint, SetPositiveTrace, SetNegativeTrace, SetSArrival, None,
                                          ZeroBeforeCursor, ZeroAfterCursor, DigitalFilter, SmoothTrace,
                                          RemoveTraceDC, ShiftEarlier, ShiftLater, InvertTrace, CompressDisplay,
                                          ExpandDisplay, RestoreDisplay};
constexpr std::array kWaveformContext = {SetSArrival, AcceptArrivalSuggestion, ImportRecord, ImportFolder, None,
                                         ZeroBeforeCursor, DigitalFilter, ZeroAfterCursor, SmoothTrace,
                                         RemoveTraceDC, ShiftEarlier, ShiftLater, InvertTrace, None,
                                         InsertPoint, DeletePoint, SortPoints, EditPointParameters};
constexpr std::array kLayerContext = {InsertLayer, DeleteLayer, SuggestLayers, None, EditLayers, EnterSurveyLog};

constexpr std::array kAccelerators = {
    Accelerator{"F2", ShowWaveforms},      Accelerator{"F3", ShowHistogram},
    Accelerator{"F6", NextPane},           Accelerator{"Shift+F6", PreviousPane},
    Accelerator{"Ctrl+N", FileNew},        Accelerator{"Ctrl+O", FileOpen},
    Accelerator{"Ctrl+S", FileSave},       Accelerator{"Ctrl+P", FilePrint},
    Accelerator{"Ctrl+Z", Undo},           Accelerator{"Alt+K", OnScreenKeyboard},
    Accelerator{"F1", HelpTopics},
    Accelerator{"T", SetSArrival},         Accelerator{"Y", AcceptArrivalSuggestion},
    Accelerator{"Q", ZeroBeforeCursor},
    Accelerator{"H", ZeroAfterCursor},     Accelerator{"B", DigitalFilter},
    Accelerator{"O", SmoothTrace},         Accelerator{"D", RemoveTraceDC},
    Accelerator{"F", ShowSpectrum},        Accelerator{"R", InvertTrace},
    Accelerator{"E", DeletePoint},         Accelerator{"W", InsertPoint},
    Accelerator{"A", ShiftEarlierTen},     Accelerator{"Z", ShiftLaterTen},
    Accelerator{"-", ShiftEarlier},        Accelerator{"=", ShiftLater},
};
// clang-format on

constexpr CommandInfo kUnknownCommand{};

std::optional<EditCommand> editCommandOf(CommandId id)
{
    switch (id) {
    case ZeroBeforeCursor: return EditCommand::ZeroBeforeCursor;
    case ZeroAfterCursor: return EditCommand::ZeroAfterCursor;
    case ShiftEarlier: return EditCommand::ShiftEarlier;
    case ShiftLater: return EditCommand::ShiftLater;
    case ShiftEarlierTen: return EditCommand::ShiftEarlierTen;
    case ShiftLaterTen: return EditCommand::ShiftLaterTen;
    case InvertTrace: return EditCommand::InvertTrace;
    case InvertAllPoints: return EditCommand::InvertAllPoints;
    case RemoveTraceDC: return EditCommand::RemoveTraceDC;
    case SmoothTrace: return EditCommand::SmoothTrace;
    case DigitalFilter: return EditCommand::DigitalFilter;
    case ShowSpectrum: return EditCommand::ShowSpectrum;
    case SetPositiveTrace: return EditCommand::SetPositiveTrace;
    case SetNegativeTrace: return EditCommand::SetNegativeTrace;
    case CompressDisplay: return EditCommand::CompressDisplay;
    case ExpandDisplay: return EditCommand::ExpandDisplay;
    case RestoreDisplay: return EditCommand::RestoreDisplay;
    case Undo: return EditCommand::Undo;
    default: return std::nullopt;
    }
}

} // namespace

std::span<const CommandInfo> allCommands()
{
    return kCommands;
}

const CommandInfo &commandInfo(CommandId id)
{
    return common::commandRow(allCommands(), id, kUnknownCommand);
}

std::span<const MenuDefinition> mainMenu()
{
    return kMainMenu;
}

std::span<const CommandId> firstToolBar()
{
    return kFirstToolBar;
}

std::span<const CommandId> secondToolBar()
{
    return kSecondToolBar;
}

std::span<const CommandId> contextMenu(ContextMenuId kind)
{
    switch (kind) {
    case ContextMenuId::Waveforms: return kWaveformContext;
    case ContextMenuId::Histogram: return kLayerContext;
    case ContextMenuId::RawRecord: return kRawRecordContext;
    }
    return {};
}

std::span<const Accelerator> accelerators()
{
    return kAccelerators;
}

bool isEnabled(CommandId id, const SurveyDocument &document)
{
    const SurveyData &survey = document.survey();
    const ViewState &view = document.view();
    if (const auto edit = editCommandOf(id))
        return isEnabled(*edit, survey, view, document.undo().available());

    switch (id) {
    case CommandId::FileSave: return document.isModified();
    // Set S-wave arrival, recalculate, sort, delete and edit point, and the two
    // imports into points share one rule: a point and a waveform mode.
    case CommandId::SetSArrival:
    case CommandId::SetPArrival:
    case CommandId::SetRArrival:
    case CommandId::RecalculateAll:
    case CommandId::SortPoints:
    case CommandId::DeletePoint:
    case CommandId::EditPointParameters:
    case CommandId::ImportRecord:
    case CommandId::ImportFolder: return pointCommandsEnabled(survey, view);
    case CommandId::InsertPoint: return insertPointEnabled(view);
    case CommandId::SetTriggerPoint: return setTriggerPointEnabled(view);
    case CommandId::ReviewIntervals: return survey.points.size() >= 2;
    case CommandId::InsertLayer:
    case CommandId::DeleteLayer:
    case CommandId::SuggestLayers: return layerCommandsEnabled(survey, view);
    case CommandId::ToggleArrivalSuggestions: return !survey.points.empty();
    // Accepting needs the suggestions shown, a waveform mode and something
    // to accept: the current point's suggestion, or any one for all.
    case CommandId::AcceptArrivalSuggestion: {
        if (!document.suggestions().shown() || !pointCommandsEnabled(survey, view))
            return false;
        const std::optional<ArrivalSuggestion> current = document.suggestions().forPoint(view.currentPoint - 1);
        return current && isAcceptable(*current, 0.0);
    }
    case CommandId::AcceptAllArrivalSuggestions:
        // Accepting all waits until every point has its suggestion.
        return document.suggestions().shown() && pointCommandsEnabled(survey, view)
            && !document.suggestions().computing() && document.suggestions().anyAcceptable(0.0);
    case CommandId::ImportLayers:
    case CommandId::ShowHistogram: return !survey.points.empty();
    case CommandId::ToggleSingleTrace: return view.canToggleSingleTrace(survey.points.size());
    // The report of a survey without points would be empty charts and
    // tables; the page and printer setup need no survey.
    case CommandId::FilePrint:
    case CommandId::FilePrintPreview:
    case CommandId::ExportFigures:
    case CommandId::ExportFiguresButton:
    case CommandId::ExportPdfReport: return !survey.points.empty();
    case CommandId::PageSetup:
    case CommandId::PrintSetup: return true;
    // The update check has no operation.
    case CommandId::UpdateCheck:
    case CommandId::None: return false;
    // The window has one pane: there is no other pane to move to.
    case CommandId::NextPane:
    case CommandId::PreviousPane: return false;
    default: return true;
    }
}

std::optional<bool> isChecked(CommandId id, const SurveyDocument &document)
{
    const DisplayMode mode = document.view().mode;
    switch (id) {
    case CommandId::ShowWaveforms: return mode == DisplayMode::MultiTrace || mode == DisplayMode::SingleTrace;
    case CommandId::ToggleSingleTrace: return mode == DisplayMode::SingleTrace;
    case CommandId::ShowRawRecord: return mode == DisplayMode::RawRecord;
    case CommandId::ShowHistogram: return mode == DisplayMode::VelocityHistogram;
    case CommandId::ToggleArrivalSuggestions: return document.suggestions().shown();
    default: return std::nullopt;
    }
}

} // namespace talvex
