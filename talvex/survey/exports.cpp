#include "talvex/survey/exports.h"

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/survey/surveydata.h"

#include <QFileInfo>
#include <QStringEncoder>

namespace talvex {

namespace {

using common::DataTable;
using common::TableCell;

// GBK text of a fixed field as a cell, its stored bytes kept.
TableCell storedText(const std::string &bytes)
{
    TableCell cell = TableCell::ofText(common::decodeGbk(bytes));
    cell.stored = QByteArray::fromStdString(bytes);
    return cell;
}

QString fieldText(const std::string &bytes)
{
    return common::decodeGbk(bytes);
}

void setPageHeader(DataTable &table, const SurveyData &survey)
{
    const SurveyHeader &h = survey.header;
    table.headerLeft = QStringLiteral("工程名称：") + fieldText(common::readFixedText(h.projectName));
    table.headerCenter = QStringLiteral("孔号：") + fieldText(common::readFixedText(h.holeNumber));
    table.headerRight = QStringLiteral("测试日期：") + fieldText(common::readFixedText(h.testDate));
}

DataTable waveformData(const SurveyData &survey)
{
    DataTable table;
    table.sheetName = QStringLiteral("波形数据");
    table.headings << QStringLiteral("测点深度(米)") << QStringLiteral("方向");
    for (int i = 1; i <= kTraceLength; ++i)
        table.headings << QString::number(i);
    // A row per trace, made as it is written: the samples of a large survey
    // are never held twice.
    table.generatedRows = survey.points.size() * 2;
    table.makeRow = [&survey](std::size_t index) {
        const TlvOne &pt = survey.points[index / 2];
        const bool positive = index % 2 == 0;
        std::vector<TableCell> row;
        row.reserve(kTraceLength + 2);
        row.push_back(TableCell::ofNumber(pt.depth, 1));
        row.push_back(TableCell::ofText(positive ? QStringLiteral("正向") : QStringLiteral("反向")));
        for (const std::int16_t v : positive ? pt.positive : pt.negative)
            row.push_back(TableCell::ofInteger(v));
        return row;
    };
    return table;
}

DataTable pointData(const SurveyData &survey)
{
    DataTable table;
    table.sheetName = QStringLiteral("测点波速");
    table.headings = QStringList{QStringLiteral("测点深度(米)"),
                                 QStringLiteral("留空"),
                                 QStringLiteral("留空"),
                                 QStringLiteral("波初至时(毫秒)"),
                                 QStringLiteral("等效波速(米/秒)"),
                                 QStringLiteral("测点波速(米/秒)")};
    for (const TlvOne &pt : survey.points) {
        table.rows.push_back({TableCell::ofNumber(pt.depth, 1), TableCell::empty(), TableCell::empty(),
                              TableCell::ofNumber(pt.travelTime(), 2), TableCell::ofNumber(pt.equivVelocity, 2),
                              TableCell::ofNumber(pt.pointVelocity, 2)});
    }
    return table;
}

DataTable layerData(const SurveyData &survey)
{
    DataTable table;
    table.sheetName = QStringLiteral("分层波速");
    table.headings = QStringList{QStringLiteral("土层"), QStringLiteral("分层开始(米)"), QStringLiteral("分层结束(米)"),
                                 QStringLiteral("层波速(米/秒)"), QStringLiteral("层描述")};
    int number = 0;
    for (const DiChengOne &layer : survey.layers) {
        table.rows.push_back({TableCell::ofInteger(++number), TableCell::ofNumber(layer.top, 2),
                              TableCell::ofNumber(layer.bottom, 2), TableCell::ofNumber(layer.velocity, 1),
                              storedText(common::readFixedText(layer.description))});
    }
    return table;
}

// A cell as GBK text: the stored bytes of a field, else the text encoded
// (the tables' own texts and numbers are all representable).
QByteArray gbkCell(const TableCell &cell)
{
    if (!cell.stored.isNull())
        return cell.stored;
    QStringEncoder encoder("GBK");
    return encoder.encode(cell.text);
}

// The TAB-separated GBK form of a table, CR LF after each line.
QByteArray gbkTable(const DataTable &table)
{
    QByteArray out;
    for (qsizetype c = 0; c < table.headings.size(); ++c) {
        out += gbkCell(TableCell::ofText(table.headings[c]));
        out += c + 1 < table.headings.size() ? "\t" : "\r\n";
    }
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        const std::vector<TableCell> row = table.row(r);
        for (std::size_t c = 0; c < row.size(); ++c) {
            out += gbkCell(row[c]);
            out += c + 1 < row.size() ? "\t" : "\r\n";
        }
    }
    return out;
}

bool hasSuffix(const QString &path, const QString &suffix)
{
    return QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<ExportFormat> exportFormatNamed(const QString &name)
{
    if (name == QStringLiteral("xls"))
        return ExportFormat::Xls;
    if (name == QStringLiteral("xlsx"))
        return ExportFormat::Xlsx;
    if (name == QStringLiteral("csv"))
        return ExportFormat::Csv;
    return std::nullopt;
}

ExportFormat exportFormatOfName(const QString &chosenPath)
{
    if (hasSuffix(chosenPath, QStringLiteral("xlsx")))
        return ExportFormat::Xlsx;
    if (hasSuffix(chosenPath, QStringLiteral("csv")))
        return ExportFormat::Csv;
    return ExportFormat::Xls;
}

common::DataTable exportTable(ExportKind kind, const SurveyData &survey)
{
    DataTable table = kind == ExportKind::Waveforms ? waveformData(survey)
        : kind == ExportKind::Points                ? pointData(survey)
                                                    : layerData(survey);
    setPageHeader(table, survey);
    return table;
}

QByteArray waveformText(const SurveyData &survey)
{
    // The text form keeps the samples only (from the third column on), each
    // followed by a comma, a line per trace.
    const DataTable table = exportTable(ExportKind::Waveforms, survey);
    QByteArray out = gbkCell(TableCell::ofText(
        QStringLiteral("数据格式为：第一米正向波形数据，第一米负向波形数据，......，每个波形长度都是1024个数据")));
    out += "\r\n";
    out.reserve(out.size() + qsizetype(table.rowCount()) * 1024 * 7);
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        const std::vector<TableCell> row = table.row(r);
        for (std::size_t c = 2; c < row.size(); ++c) {
            out += row[c].text.toLatin1();
            out += ',';
        }
        out += "\r\n";
    }
    return out;
}

QByteArray pointVelocityTable(const SurveyData &survey)
{
    return gbkTable(exportTable(ExportKind::Points, survey));
}

QByteArray layerVelocityTable(const SurveyData &survey)
{
    return gbkTable(exportTable(ExportKind::Layers, survey));
}

QString exportPath(ExportKind kind, ExportFormat format, const QString &chosenPath)
{
    switch (format) {
    case ExportFormat::Xls:
        return chosenPath + (kind == ExportKind::Waveforms ? QStringLiteral(".txt") : QStringLiteral(".xls"));
    case ExportFormat::Xlsx:
        return hasSuffix(chosenPath, QStringLiteral("xlsx")) ? chosenPath : chosenPath + QStringLiteral(".xlsx");
    case ExportFormat::Csv:
        return hasSuffix(chosenPath, QStringLiteral("csv")) ? chosenPath : chosenPath + QStringLiteral(".csv");
    }
    return chosenPath;
}

common::FileError writeExport(ExportKind kind, ExportFormat format, const SurveyData &survey, const QString &chosenPath,
                              QString *written)
{
    const QString path = exportPath(kind, format, chosenPath);
    if (written)
        *written = path;
    switch (format) {
    case ExportFormat::Xls:
        return common::writeFileAtomically(path,
                                           kind == ExportKind::Waveforms    ? waveformText(survey)
                                               : kind == ExportKind::Points ? pointVelocityTable(survey)
                                                                            : layerVelocityTable(survey));
    case ExportFormat::Xlsx: return common::writeWorkbook(path, {exportTable(kind, survey)});
    case ExportFormat::Csv: return common::writeFileAtomically(path, common::csvText(exportTable(kind, survey)));
    }
    return {false, QStringLiteral("未知的导出格式")};
}

common::FileError ExportWaveforms(const SurveyData &survey, const QString &chosenPath, QString *written)
{
    return writeExport(ExportKind::Waveforms, ExportFormat::Xls, survey, chosenPath, written);
}

common::FileError ExportPointTable(const SurveyData &survey, const QString &chosenPath, QString *written)
{
    return writeExport(ExportKind::Points, ExportFormat::Xls, survey, chosenPath, written);
}

common::FileError ExportLayerTable(const SurveyData &survey, const QString &chosenPath, QString *written)
{
    return writeExport(ExportKind::Layers, ExportFormat::Xls, survey, chosenPath, written);
}

} // namespace talvex
