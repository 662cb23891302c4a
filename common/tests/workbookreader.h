#pragma once
// Reads back what the tests need of an .xlsx workbook: the cells of a sheet
// (shared strings resolved, numbers with their number format and boldness),
// its page header and frozen rows. The parts are taken out of the zip with
// `unzip -p`.

#include <QProcess>
#include <QString>
#include <QXmlStreamReader>
#include <map>
#include <vector>

namespace workbooktest {

// One part of the zip, empty when unzip fails or the part is missing.
inline QByteArray zipPart(const QString &zipPath, const QString &part)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zipPath, part});
    if (!unzip.waitForFinished(30000) || unzip.exitStatus() != QProcess::NormalExit || unzip.exitCode() != 0)
        return {};
    return unzip.readAllStandardOutput();
}

struct Cell {
    bool isNumber = false;
    double number = 0.0;
    QString text; // the shared string of a text cell
    QString numberFormat; // "0.00", "General" ...
    bool bold = false;
};

struct Sheet {
    std::map<QString, Cell> cells; // by reference, "A1"
    QString header; // the odd-page header code
    int frozenRows = 0;
    std::vector<double> columnWidths;
    bool ok = false; // the workbook was read
};

inline QStringList sharedStrings(const QString &zipPath)
{
    QStringList strings;
    QXmlStreamReader xml(zipPart(zipPath, QStringLiteral("xl/sharedStrings.xml")));
    QString current;
    bool inItem = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si")) {
            inItem = true;
            current.clear();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("t") && inItem) {
            current += xml.readElementText();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("si")) {
            strings << current;
            inItem = false;
        }
    }
    return strings;
}

inline Sheet readSheet(const QString &zipPath, int sheetNumber = 1)
{
    Sheet sheet;
    const QStringList strings = sharedStrings(zipPath);

    // Styles: custom number formats, bold fonts, and the cell formats that use them.
    std::map<int, QString> formats{
        {0, QStringLiteral("General")}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")}};
    std::vector<bool> boldFonts;
    std::vector<std::pair<int, int>> cellFormats; // number format id, font id
    {
        QXmlStreamReader xml(zipPart(zipPath, QStringLiteral("xl/styles.xml")));
        QString section;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                if (xml.isEndElement()
                    && (xml.name() == QLatin1String("fonts") || xml.name() == QLatin1String("cellXfs")))
                    section.clear();
                continue;
            }
            const auto name = xml.name();
            const auto a = xml.attributes();
            if (name == QLatin1String("numFmt"))
                formats[a.value(QLatin1String("numFmtId")).toInt()] = a.value(QLatin1String("formatCode")).toString();
            else if (name == QLatin1String("fonts") || name == QLatin1String("cellXfs"))
                section = name.toString();
            else if (name == QLatin1String("font") && section == QLatin1String("fonts"))
                boldFonts.push_back(false);
            else if (name == QLatin1String("b") && section == QLatin1String("fonts") && !boldFonts.empty())
                boldFonts.back() = true;
            else if (name == QLatin1String("xf") && section == QLatin1String("cellXfs"))
                cellFormats.emplace_back(a.value(QLatin1String("numFmtId")).toInt(),
                                         a.value(QLatin1String("fontId")).toInt());
        }
    }

    const QByteArray xmlBytes = zipPart(zipPath, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheetNumber));
    if (xmlBytes.isEmpty())
        return sheet;
    sheet.ok = true;
    QXmlStreamReader xml(xmlBytes);
    QString ref, type;
    int style = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        const auto a = xml.attributes();
        if (name == QLatin1String("c")) {
            ref = a.value(QLatin1String("r")).toString();
            type = a.value(QLatin1String("t")).toString();
            style = a.value(QLatin1String("s")).toInt();
        } else if (name == QLatin1String("v")) {
            Cell cell;
            const QString value = xml.readElementText();
            if (type == QLatin1String("s")) {
                cell.text = strings.value(value.toInt());
            } else {
                cell.isNumber = true;
                cell.number = value.toDouble();
            }
            if (style >= 0 && std::size_t(style) < cellFormats.size()) {
                const auto [numberFormat, font] = cellFormats[std::size_t(style)];
                cell.numberFormat = formats.count(numberFormat) ? formats[numberFormat] : QString::number(numberFormat);
                cell.bold = font >= 0 && std::size_t(font) < boldFonts.size() && boldFonts[std::size_t(font)];
            }
            sheet.cells[ref] = cell;
        } else if (name == QLatin1String("oddHeader")) {
            sheet.header = xml.readElementText();
        } else if (name == QLatin1String("pane") && a.value(QLatin1String("state")) == QLatin1String("frozen")) {
            sheet.frozenRows = a.value(QLatin1String("ySplit")).toInt();
        } else if (name == QLatin1String("col")) {
            const int first = a.value(QLatin1String("min")).toInt();
            const int last = a.value(QLatin1String("max")).toInt();
            for (int c = first; c <= last; ++c) {
                if (std::size_t(c) > sheet.columnWidths.size())
                    sheet.columnWidths.resize(std::size_t(c), 0.0);
                sheet.columnWidths[std::size_t(c - 1)] = a.value(QLatin1String("width")).toDouble();
            }
        }
    }
    return sheet;
}

} // namespace workbooktest
