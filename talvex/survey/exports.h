#pragma once
// Exports of a survey for other programs: the waveforms, the point and the
// layer velocities. Each is one table (exportTable) written in one of three
// forms:
// - Xls, the program's own: the waveforms as comma-separated numbers (.txt),
//   the velocities as TAB-separated tables (.xls) that spreadsheet programs
//   open; GBK text, CR LF line ends, "." as decimal point whatever the locale;
// - Xlsx, an Excel workbook with the table on one sheet;
// - Csv, UTF-8 text with BOM, comma-separated, one heading row.

#include "common/datatable.h"
#include "common/fileio.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace talvex {

class SurveyData;

enum class ExportKind { Waveforms, Points, Layers };
enum class ExportFormat { Xls, Xlsx, Csv };

// "xls", "xlsx", "csv" (as the command line names them), nothing for others.
std::optional<ExportFormat> exportFormatNamed(const QString &name);

// The table of an export: its columns, rows, sheet name and the page header
// (project, hole, test date). Waveforms: a row per trace (the positive then
// the negative blow of each point): depth, direction, the 1024 samples; its
// rows are made as they are written and read `survey`, which must outlive
// the table.
common::DataTable exportTable(ExportKind kind, const SurveyData &survey);

// The Xls forms.
QByteArray waveformText(const SurveyData &survey);
QByteArray pointVelocityTable(const SurveyData &survey);
QByteArray layerVelocityTable(const SurveyData &survey);

// The form a name chosen in the window's save dialog asks for: Xlsx for a
// name ending in ".xlsx", Csv for ".csv" (any case), else Xls.
ExportFormat exportFormatOfName(const QString &chosenPath);

// The file an export writes for a chosen path: for Xls the path with ".txt"
// (waveforms) or ".xls" (tables) appended, always, also when the path already
// ends in it; for Xlsx and Csv the path as chosen when it ends in ".xlsx" or
// ".csv" (any case), else with that appended.
QString exportPath(ExportKind kind, ExportFormat format, const QString &chosenPath);

// Writes the export to exportPath(kind, format, chosenPath), whole or not at
// all. `written` receives the name.
common::FileError writeExport(ExportKind kind, ExportFormat format, const SurveyData &survey, const QString &chosenPath,
                              QString *written = nullptr);

// The Xls form of each export.
common::FileError ExportWaveforms(const SurveyData &survey, const QString &chosenPath, QString *written = nullptr);
common::FileError ExportPointTable(const SurveyData &survey, const QString &chosenPath, QString *written = nullptr);
common::FileError ExportLayerTable(const SurveyData &survey, const QString &chosenPath, QString *written = nullptr);

} // namespace talvex
