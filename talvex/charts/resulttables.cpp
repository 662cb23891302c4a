#include "talvex/charts/resulttables.h"

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/sitevelocity.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/survey/surveydata.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace talvex::charts {

namespace {

// Sizes of one output: 0.01 mm in print, pixels in the bitmap.
struct TableNumbers {
    int rowHeight;
    int labelWidth; // heading table's label cells
    int fontHeight;
    int padding; // text inside a cell
    int penWidth;
};

TableNumbers headingNumbers(PatternOutput output)
{
    if (output == PatternOutput::Print)
        return {600, 1800, 300, 100, 10};
    return {24, 72, 12, 4, 1};
}

TableNumbers depthTableNumbers(PatternOutput output)
{
    if (output == PatternOutput::Print)
        return {600, 0, 300, 50, 10};
    return {24, 0, 10, 2, 1};
}

QString fieldText(const auto &field)
{
    return common::decodeGbk(common::readFixedText(field));
}

// Text in `cell`, vertically centred, left-aligned after `padding` or
// centred; where it would leave its cell, in a smaller font or on two lines,
// and shortened with an ellipsis only where neither fits.
void cellText(QPainter &p, const QRect &cell, int padding, const QString &text, bool centred = false)
{
    const QFont font = p.font();
    const QRect inner = cell.adjusted(padding, 0, -padding, 0);
    const QStringList lines = fitTextToBox(p, text, QSizeF(std::max(0, inner.width()), cell.height()));
    const int flags = Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft);
    if (lines.size() == 1) {
        p.drawText(inner, flags | Qt::TextSingleLine, lines.front());
    } else {
        const QRect upper(inner.left(), inner.top(), inner.width(), inner.height() / 2);
        const QRect lower(inner.left(), upper.bottom() + 1, inner.width(), inner.height() - upper.height());
        p.drawText(upper, flags | Qt::TextSingleLine, lines[0]);
        p.drawText(lower, flags | Qt::TextSingleLine, lines[1]);
    }
    p.setFont(font);
}

QString personnelLabelText(int label)
{
    switch (label) {
    case 0: return QStringLiteral("测试人员");
    case 2: return QStringLiteral("测试仪器");
    default: return QStringLiteral("测试单位");
    }
}

} // namespace

std::vector<std::array<HeadingPair, 2>> headingTableRows(SurveyData &survey, const HeadingTableOptions &options)
{
    const SurveyHeader &header = survey.header;
    std::vector<std::array<HeadingPair, 2>> rows{
        {HeadingPair{QStringLiteral("工程名称"), fieldText(header.projectName)},
         HeadingPair{personnelLabelText(options.personnelLabel), fieldText(header.personnel)}},
        {HeadingPair{QStringLiteral("测孔编号"), fieldText(header.holeNumber)},
         HeadingPair{QStringLiteral("测试日期"), fieldText(header.testDate)}},
    };
    if (options.overburdenRow) {
        // The stored site velocity follows the points whenever this row is
        // drawn (not when there is no overburden: the value stays as it was).
        UpdateSiteVelocity(survey);
        rows.push_back(
            {HeadingPair{QStringLiteral("覆盖层厚度"), QString::asprintf("%2.1f m", double(header.overburden))},
             HeadingPair{QStringLiteral("等效波速"), QString::asprintf("%2.2fm/s", double(header.siteVelocity))}});
    }
    if (options.siteClassRow)
        rows.push_back(siteClassRow(survey));
    return rows;
}

std::array<HeadingPair, 2> siteClassRow(const SurveyData &survey)
{
    const SiteClassification site = ClassifySite(survey);
    std::array<HeadingPair, 2> row{HeadingPair{QStringLiteral("场地类别"), QStringLiteral("—")},
                                   HeadingPair{QStringLiteral("Vs30"), QStringLiteral("—")}};
    if (!site.ok())
        return row;
    const auto categoryText = [](SiteCategory c) { return QString::fromLatin1(siteCategoryName(c)) + u'类'; };
    row[0].value = categoryText(site.category);
    // The hole ended in soft ground: the category is that of the overburden
    // reached, and a thicker one would change it.
    if (site.categoryIfThicker)
        row[0].value += QStringLiteral("（覆盖层更厚时可能为%1）").arg(categoryText(*site.categoryIfThicker));
    row[1].value = QString::asprintf("%.1fm/s", double(site.vs30));
    if (site.vs30Extrapolated)
        row[1].value += QStringLiteral("(外推)");
    row[1].value
        += QStringLiteral(" NEHRP %1 EC8 %2")
               .arg(QString::fromLatin1(nehrpClassName(site.nehrp)), QString::fromLatin1(ec8GroundName(site.ec8)));
    return row;
}

int DrawHeadingTable(QPainter &p, PatternOutput output, const QRect &rect, SurveyData &survey,
                     const HeadingTableOptions &options)
{
    const TableNumbers n = headingNumbers(output);
    const auto rows = headingTableRows(survey, options);

    const int left = rect.left();
    const int right = rect.left() + rect.width() - 1; // the frame's rules lie on the outermost pixels
    const int second = left + rect.width() * 6 / 10;
    const int rowsBottom = rect.top() + int(rows.size()) * n.rowHeight;
    const int frameBottom = std::max(rect.top() + rect.height(), rowsBottom + 1);

    p.save();
    p.setPen(solidPen(p, Qt::black, n.penWidth));
    p.setBrush(Qt::NoBrush);
    p.setFont(viewFont(n.fontHeight));
    p.drawRect(QRect(left, rect.top(), right - left, frameBottom - rect.top() - 1));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int y = rect.top() + int(r) * n.rowHeight;
        p.drawLine(left, y + n.rowHeight, right, y + n.rowHeight);
        const std::array<int, 3> edges{left, second, right};
        for (int i = 0; i < 2; ++i) {
            const int labelRight = std::min(edges[i] + n.labelWidth, edges[i + 1]);
            if (i > 0)
                p.drawLine(edges[i], y, edges[i], y + n.rowHeight);
            p.drawLine(labelRight, y, labelRight, y + n.rowHeight);
            cellText(p, QRect(edges[i], y, labelRight - edges[i], n.rowHeight), n.padding, rows[r][i].label, true);
            cellText(p, QRect(labelRight, y, edges[i + 1] - labelRight, n.rowHeight), n.padding, rows[r][i].value);
        }
    }
    p.restore();
    return rowsBottom;
}

void DrawTimeDepthTable(QPainter &p, PatternOutput output, const QRect &rect, const SurveyData &survey)
{
    const TableNumbers n = depthTableNumbers(output);
    constexpr int kGroups = 4;
    constexpr int kColumns = 3 * kGroups;
    const int count = int(survey.points.size());
    const int dataRows = (count + kGroups - 1) / kGroups;
    const int allRows = dataRows + 2;
    // A survey with more points than the rectangle holds at the usual row
    // height gets lower rows (and a smaller font) rather than losing points
    // off the bottom.
    const int rowHeight = std::max(1, std::min(n.rowHeight, rect.height() / allRows));
    const int fontHeight = std::max(1, std::min(n.fontHeight, rowHeight * 9 / 10));
    const int width = rect.width();
    const auto columnX = [&](int c) { return rect.left() + int(std::lround(double(width) * c / kColumns)); };
    const int top = rect.top();
    const int headingBottom = top + 2 * rowHeight;
    const int bottom = top + allRows * rowHeight;

    p.save();
    p.setPen(solidPen(p, Qt::black, n.penWidth));
    p.setBrush(Qt::NoBrush);
    QFont font = viewFont(fontHeight);
    p.setFont(font);
    p.drawRect(QRect(rect.left(), top, width - 1, bottom - top));
    for (int c = 1; c < kColumns; ++c)
        p.drawLine(columnX(c), top, columnX(c), bottom);
    p.drawLine(rect.left(), headingBottom, rect.left() + width - 1, headingBottom);
    // Data rows are ruled too when they are tall enough for the rules to help.
    if (rowHeight >= n.rowHeight / 2)
        for (int r = 1; r < dataRows; ++r)
            p.drawLine(rect.left(), headingBottom + r * rowHeight, rect.left() + width - 1,
                       headingBottom + r * rowHeight);

    static const std::array<std::pair<const char *, const char *>, 3> headings{
        {{"测点深", "(m)"}, {"走 时", "(ms)"}, {"波 速", "(m/s)"}}};
    for (int c = 0; c < kColumns; ++c) {
        const QRect nameCell(columnX(c), top, columnX(c + 1) - columnX(c), rowHeight);
        cellText(p, nameCell, n.padding, QString::fromUtf8(headings[std::size_t(c % 3)].first), true);
        cellText(p, nameCell.translated(0, rowHeight), n.padding,
                 QString::fromUtf8(headings[std::size_t(c % 3)].second), true);
    }
    for (int i = 0; i < count; ++i) {
        const TlvOne &point = survey.points[std::size_t(i)];
        const int group = i / dataRows;
        const int y = headingBottom + (i % dataRows) * rowHeight;
        const std::array<double, 3> values{double(point.depth), double(point.travelTime()),
                                           double(point.pointVelocity)};
        for (int k = 0; k < 3; ++k) {
            const int c = group * 3 + k;
            cellText(p, QRect(columnX(c), y, columnX(c + 1) - columnX(c), rowHeight), n.padding,
                     QString::asprintf("%.1f", values[std::size_t(k)]), true);
        }
    }
    p.restore();
}

} // namespace talvex::charts
