#pragma once
// The file and folder dialogs of talvex with their titles and filters: open,
// save as, import of layers and of one field record, the three exports, the
// base name of the bitmap figures, the PDF report, and the folder of field
// records.

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;

enum class FileDialogKind {
    OpenSurvey, // "打开数据文件"
    SaveSurveyAs, // "另存为"
    ImportLayers, // "打开源数据文件" (导入分层参数)
    ImportRecord, // "导入原始数据"
    ExportWaveforms, // "保存数据文本文件"
    ExportPointTable, // "保存数据文件", offered as <hole>号孔测点波速
    ExportLayerTable, // "保存数据文件", offered as <hole>号孔分层波速
    ExportFigures, // "保存数据图形文件": the base name of the figures, used as typed
    ExportPdfReport, // "输出PDF报告": a .pdf file
};

// The dialog of `kind`, set up but not shown: title, filter, open or save,
// an existing file required for the open dialogs. `initialName` is the file
// name (or path) offered.
std::unique_ptr<QFileDialog> makeFileDialog(FileDialogKind kind, QWidget *parent,
                                            const QString &initialName = QString());

// The name a save dialog offers: the hole number and "号孔测点波速" or
// "号孔分层波速" for the tables (characters a file name cannot hold replaced
// by "_"), nothing for the other kinds.
QString offeredFileName(FileDialogKind kind, const SurveyData &survey);

// The file the export of `kind` writes for a chosen name: a name ending in
// ".xlsx" or ".csv" as it is (that form is written), any other with ".txt"
// (waveforms) or ".xls" (tables) appended, always. Other kinds: the chosen
// name.
QString exportTargetName(FileDialogKind kind, const QString &chosen);

// Shows the dialog and returns the chosen path, empty on cancel. For the
// exports, the workbook or CSV filter adds its extension when the name lacks
// it, and the overwrite question is asked about the file that is actually
// written (the chosen name with its extension appended); No returns empty.
// The figures' base names no file: the window asks about the figure files
// themselves.
QString askFileName(FileDialogKind kind, QWidget *parent, common::Messenger &messenger,
                    const QString &initialName = QString());

// The folder browser of "导入文件夹数据" ("选择数据文件夹"); empty on cancel.
QString askRecordFolder(QWidget *parent, const QString &startFolder = QString());

} // namespace talvex
