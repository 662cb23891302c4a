#pragma once
// A table of exported results (a heading row, then rows of numbers and texts)
// and its two spreadsheet forms: CSV (UTF-8 with BOM, comma-separated,
// fields quoted as RFC 4180 asks) and an Excel workbook (.xlsx) with a sheet
// per table. The exports build their content once as a DataTable and every
// file form is written from it.

#include "common/fileio.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <vector>

namespace common {

// One cell: empty, a text, or a number shown with a fixed count of decimals.
struct TableCell {
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    double number = 0.0; // the value as its text shows it (rounded to `decimals`)
    int decimals = 0;
    QString text; // the text, or the number as printed ("." as decimal point)
    // For a text read from a GBK field: its bytes as stored, which the GBK
    // text tables write unchanged (a decoded text may not encode back to them).
    QByteArray stored;

    static TableCell empty() { return {}; }
    static TableCell ofText(const QString &text);
    // A number printed like printf("%.Nf") in the C locale. A value that is
    // not finite becomes a text cell ("nan", "inf"), as spreadsheets hold no
    // such numbers.
    static TableCell ofNumber(double value, int decimals);
    static TableCell ofInteger(long long value) { return ofNumber(double(value), 0); }
    // A text that holds a plain decimal number ("-12", "3.50") becomes a
    // number cell with as many decimals as it shows; any other text stays text.
    static TableCell fromText(const QString &text);
};

struct DataTable {
    QString sheetName; // the workbook's sheet: at most 31 characters, none of []:*?/\ .
    QStringList headings;
    // The rows: held in `rows`, or, when `makeRow` is set, made one at a time
    // (row index -> cells) for `generatedRows` rows, so that a large table
    // (every sample of every trace) is never held whole. `makeRow` may refer
    // to data that must outlive the writing.
    std::vector<std::vector<TableCell>> rows;
    std::size_t generatedRows = 0;
    std::function<std::vector<TableCell>(std::size_t)> makeRow;
    // The printed page header of the sheet (left, centre, right), e.g. the
    // project, the hole and the test date.
    QString headerLeft, headerCenter, headerRight;

    std::size_t rowCount() const { return makeRow ? generatedRows : rows.size(); }
    std::vector<TableCell> row(std::size_t index) const { return makeRow ? makeRow(index) : rows[index]; }
};

// A field of a CSV line: quoted (inner quotes doubled) when it holds a
// comma, a quote or a line break.
QString csvField(const QString &text);
// Rows of fields as CSV: UTF-8 with BOM, CR LF line ends.
QByteArray csvText(const std::vector<QStringList> &rows);
// The table as CSV: the heading row, then the rows, numbers as printed.
QByteArray csvText(const DataTable &table);

// Writes `tables` as a workbook, one sheet each, replacing `path` only when the
// whole workbook was made (nothing is left at `path` on failure). Each sheet
// has its heading row bold and frozen, numbers as numbers with their decimals
// as number format, column widths fitted to the content and the page header
// of the table.
FileError writeWorkbook(const QString &path, const std::vector<DataTable> &tables);

} // namespace common
