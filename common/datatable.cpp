#include "common/datatable.h"

#include "common/numberformat.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <xlsxwriter.h>

namespace common {

TableCell TableCell::ofText(const QString &text)
{
    TableCell cell;
    cell.kind = text.isEmpty() ? Kind::Empty : Kind::Text;
    cell.text = text;
    return cell;
}

TableCell TableCell::ofNumber(double value, int decimals)
{
    const std::string printed = formatFixed(value, decimals);
    if (!std::isfinite(value))
        return ofText(QString::fromStdString(printed));
    TableCell cell;
    cell.kind = Kind::Number;
    cell.decimals = decimals;
    cell.text = QString::fromStdString(printed);
    // The value the text shows, so that the workbook holds what the text
    // tables print.
    std::from_chars(printed.data(), printed.data() + printed.size(), cell.number);
    return cell;
}

TableCell TableCell::fromText(const QString &text)
{
    static const QRegularExpression plainNumber(QStringLiteral("^-?(0|[1-9][0-9]{0,14})(\\.([0-9]{1,10}))?$"));
    const QRegularExpressionMatch match = plainNumber.match(text);
    if (!match.hasMatch())
        return ofText(text);
    TableCell cell;
    cell.kind = Kind::Number;
    cell.decimals = int(match.capturedLength(3));
    cell.text = text;
    const std::string bytes = text.toStdString();
    std::from_chars(bytes.data(), bytes.data() + bytes.size(), cell.number);
    return cell;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray csvText(const std::vector<QStringList> &rows)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QStringList &row : rows) {
        QStringList cells;
        for (const QString &cell : row)
            cells << csvField(cell);
        bytes += cells.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return bytes;
}

QByteArray csvText(const DataTable &table)
{
    QByteArray bytes = csvText(std::vector<QStringList>{table.headings});
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        QStringList fields;
        for (const TableCell &cell : table.row(r))
            fields << csvField(cell.text);
        bytes += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return bytes;
}

namespace {

// Width of a text in the workbook's column units: East Asian characters
// take two.
int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

QString sheetNameOf(const DataTable &table, int index)
{
    QString name = table.sheetName;
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        name.replace(c, QLatin1Char('_'));
    name = name.left(31);
    // Nor may a sheet name begin or end with an apostrophe.
    if (name.startsWith(QLatin1Char('\'')))
        name[0] = QLatin1Char('_');
    if (name.endsWith(QLatin1Char('\'')))
        name[name.size() - 1] = QLatin1Char('_');
    if (name.isEmpty())
        name = QStringLiteral("Sheet%1").arg(index + 1);
    return name;
}

// The page header: "&L…&C…&R…" with "&" of the texts doubled, shortened
// (the longest part first) to the 255 bytes a header may have.
QByteArray headerText(const DataTable &table)
{
    QString parts[3] = {table.headerLeft, table.headerCenter, table.headerRight};
    const auto compose = [&parts] {
        QString header;
        const char *codes[3] = {"&L", "&C", "&R"};
        for (int i = 0; i < 3; ++i) {
            if (parts[i].isEmpty())
                continue;
            QString escaped = parts[i];
            escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
            header += QLatin1String(codes[i]) + escaped;
        }
        return header.toUtf8();
    };
    QByteArray header = compose();
    while (header.size() > 255) {
        QString *longest = std::max_element(std::begin(parts), std::end(parts),
                                            [](const QString &a, const QString &b) { return a.size() < b.size(); });
        longest->chop(1);
        header = compose();
    }
    return header;
}

QString workbookError(lxw_error error)
{
    return QStringLiteral("不能生成 Excel 工作簿（错误 %1：%2）")
        .arg(int(error))
        .arg(QString::fromUtf8(lxw_strerror(error)));
}

// Fills one sheet. Returns the first error of the library, LXW_NO_ERROR when
// all was written.
lxw_error writeSheet(lxw_workbook *workbook, lxw_worksheet *sheet, const DataTable &table, lxw_format *bold,
                     std::map<int, lxw_format *> &numberFormats)
{
    const auto numberFormat = [&](int decimals) {
        auto it = numberFormats.find(decimals);
        if (it == numberFormats.end()) {
            lxw_format *format = workbook_add_format(workbook);
            const QByteArray code = decimals > 0 ? "0." + QByteArray(decimals, '0') : QByteArray("0");
            format_set_num_format(format, code.constData());
            it = numberFormats.emplace(decimals, format).first;
        }
        return it->second;
    };

    std::vector<int> widths(std::size_t(table.headings.size()), 0);
    for (int c = 0; c < table.headings.size(); ++c) {
        const lxw_error e
            = worksheet_write_string(sheet, 0, lxw_col_t(c), table.headings[c].toUtf8().constData(), bold);
        if (e != LXW_NO_ERROR)
            return e;
        widths[std::size_t(c)] = displayWidth(table.headings[c]);
    }
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        const std::vector<TableCell> row = table.row(r);
        if (row.size() > widths.size())
            widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            const TableCell &cell = row[c];
            lxw_error e = LXW_NO_ERROR;
            const auto rowIndex = lxw_row_t(r + 1);
            const auto colIndex = lxw_col_t(c);
            if (cell.kind == TableCell::Kind::Number)
                e = worksheet_write_number(sheet, rowIndex, colIndex, cell.number, numberFormat(cell.decimals));
            else if (cell.kind == TableCell::Kind::Text)
                e = worksheet_write_string(sheet, rowIndex, colIndex, cell.text.toUtf8().constData(), nullptr);
            if (e != LXW_NO_ERROR)
                return e;
            widths[c] = std::max(widths[c], displayWidth(cell.text));
        }
    }
    const std::size_t columns = widths.size();
    for (std::size_t c = 0; c < columns; ++c) {
        const double width = std::clamp(widths[c] + 2, 6, 80);
        const lxw_error e = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr);
        if (e != LXW_NO_ERROR)
            return e;
    }
    worksheet_freeze_panes(sheet, 1, 0);
    const QByteArray header = headerText(table);
    if (!header.isEmpty())
        return worksheet_set_header(sheet, header.constData());
    return LXW_NO_ERROR;
}

} // namespace

FileError writeWorkbook(const QString &path, const std::vector<DataTable> &tables)
{
    // The library writes to a file of its own; it is made in a private
    // temporary folder and copied into place whole.
    QTemporaryDir folder;
    if (!folder.isValid())
        return {false, QStringLiteral("不能建立临时文件夹：%1").arg(folder.errorString())};
    const QString scratch = folder.filePath(QStringLiteral("workbook.xlsx"));

    lxw_workbook *workbook = workbook_new(QFile::encodeName(scratch).constData());
    if (!workbook)
        return {false, QStringLiteral("不能生成 Excel 工作簿")};
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    std::map<int, lxw_format *> numberFormats;
    lxw_error error = LXW_NO_ERROR;
    for (std::size_t i = 0; i < tables.size() && error == LXW_NO_ERROR; ++i) {
        const QByteArray name = sheetNameOf(tables[i], int(i)).toUtf8();
        lxw_worksheet *sheet = workbook_add_worksheet(workbook, name.constData());
        if (!sheet)
            error = LXW_ERROR_SHEETNAME_ALREADY_USED;
        else
            error = writeSheet(workbook, sheet, tables[i], bold, numberFormats);
    }
    const lxw_error closed = workbook_close(workbook); // frees the workbook whatever happened
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        return {false, workbookError(error)};

    std::vector<std::uint8_t> bytes;
    FileError read = readWholeFile(scratch, bytes);
    if (!read.ok)
        return read;
    return writeFileAtomically(path, bytes);
}

} // namespace common
