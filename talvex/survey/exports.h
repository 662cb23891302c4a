#pragma once
// Text exports of a survey for other programs: the waveforms as
// comma-separated numbers, the point and the layer velocities as
// TAB-separated tables that spreadsheet programs open. GBK text, CR LF line
// ends, "." as decimal point whatever the locale.

#include "common/fileio.h"

#include <QByteArray>
#include <QString>

namespace talvex {

class SurveyData;

QByteArray waveformText(const SurveyData &survey);
QByteArray pointVelocityTable(const SurveyData &survey);
QByteArray layerVelocityTable(const SurveyData &survey);

// The commands write to the chosen path with ".txt" or ".xls" appended,
// always, also when the path already ends in it. `written` receives the name.
common::FileError ExportWaveforms(const SurveyData &survey, const QString &chosenPath, QString *written = nullptr);
common::FileError ExportPointTable(const SurveyData &survey, const QString &chosenPath, QString *written = nullptr);
common::FileError ExportLayerTable(const SurveyData &survey, const QString &chosenPath, QString *written = nullptr);

} // namespace talvex
