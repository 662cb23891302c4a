#include "talvex/charts/resulttables.h"

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/siteuncertainty.h"
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

std::vector<std::array<HeadingPair, 2>> headingTableRows(const SurveyData &survey, const HeadingTableOptions &options)
{
    const SurveyHeader &header = survey.header;
    std::vector<std::array<HeadingPair, 2>> rows{
        {HeadingPair{QStringLiteral("工程名称"), fieldText(header.projectName)},
         HeadingPair{personnelLabelText(options.personnelLabel), fieldText(header.personnel)}},
        {HeadingPair{QStringLiteral("测孔编号"), fieldText(header.holeNumber)},
         HeadingPair{QStringLiteral("测试日期"), fieldText(header.testDate)}},
    };
    if (options.overburdenRow) {
        rows.push_back(
            {HeadingPair{QStringLiteral("覆盖层厚度"), QString::asprintf("%2.1f m", double(header.overburden))},
             HeadingPair{QStringLiteral("等效波速"), siteVelocityText(survey)}});
    }
    if (options.siteClassRow)
        rows.push_back(siteClassRow(survey, options.siteClasses));
    return rows;
}

QString siteVelocityText(const SurveyData &survey)
{
    const SurveyHeader &header = survey.header;
    const QString value = QString::asprintf("%2.2fm/s", double(header.siteVelocity));
    const float d0 = header.computationDepth;
    // The points the figure runs through: down to the first at or below d0.
    int unpicked = 0;
    bool reached = false;
    float deepest = 0.0f;
    for (const TlvOne &p : survey.points) {
        deepest = std::max(deepest, p.depth);
        if (reached)
            continue;
        unpicked += p.sArrival > 0 ? 0 : 1;
        reached = p.depth >= d0;
    }
    if (survey.points.empty())
        return value + QStringLiteral("（没有测点）");
    const bool zero = header.siteVelocity == 0.0f && header.overburden > 0.0f;
    if (zero && d0 > deepest)
        return value
            + QStringLiteral("（测点只到%1m，未到计算深度%2m）")
                  .arg(QString::asprintf("%.1f", double(deepest)), QString::asprintf("%.1f", double(d0)));
    // A figure through unpicked points is no measurement.
    if (unpicked > 0)
        return QStringLiteral("—（计算深度%1m内%2个测点未拾取）")
            .arg(QString::asprintf("%.1f", double(d0)))
            .arg(unpicked);
    if (zero)
        return value + QStringLiteral("（计算深度内有测点波速为0）");
    return value;
}

std::array<HeadingPair, 2> siteClassRow(const SurveyData &survey, const SiteClassification *siteClasses)
{
    const SiteClassification site = siteClasses ? *siteClasses : ClassifySiteWithBounds(survey);
    std::array<HeadingPair, 2> row{HeadingPair{QStringLiteral("场地类别"), QStringLiteral("—")},
                                   HeadingPair{QStringLiteral("Vs30"), QStringLiteral("—")}};
    if (!site.ok()) {
        // Why there is no class, in place of one.
        if (!survey.points.empty())
            row[0].value += QStringLiteral("（%1）").arg(site.problem);
        return row;
    }
    const auto categoryText = [](SiteCategory c) { return QString::fromLatin1(siteCategoryName(c)) + u'类'; };
    QStringList notes;
    // The hole ended in soft ground: the category is that of the overburden
    // reached, and a thicker one would change it.
    if (site.categoryIfThicker)
        notes << QStringLiteral("覆盖层更厚时可能为%1").arg(categoryText(*site.categoryIfThicker));
    if (site.bounds && !site.bounds->otherCategories.empty()) {
        QStringList others;
        for (SiteCategory c : site.bounds->otherCategories)
            others << categoryText(c);
        notes << QStringLiteral("在误差范围内可能为%1").arg(others.join(QStringLiteral("或")));
    }
    // The row has room for the one note an engineer must see; the full
    // account (also points whose times do not increase with depth) is in
    // the results list.
    if (site.unpickedPoints > 0)
        notes << QStringLiteral("%1个测点未拾取初至，未计入").arg(site.unpickedPoints);
    row[0].value = categoryText(site.category);
    if (!notes.isEmpty())
        row[0].value += QStringLiteral("（%1）").arg(notes.join(QStringLiteral("；")));
    row[1].value = QString::asprintf("%.1fm/s", double(site.vs30));
    if (site.bounds && site.bounds->vs30.known())
        row[1].value += QString::asprintf("(%.1f~%.1f)", double(site.bounds->vs30.low), double(site.bounds->vs30.high));
    if (site.vs30Extrapolated)
        row[1].value += QStringLiteral("(外推)");
    const auto withOthers = [](const char *name, const auto &others, auto nameOf) {
        QString text = QString::fromLatin1(name);
        for (const auto c : others)
            text += u'/' + QString::fromLatin1(nameOf(c));
        return text;
    };
    static const std::vector<NehrpClass> noNehrp;
    static const std::vector<Ec8Ground> noEc8;
    row[1].value
        += QStringLiteral(" NEHRP %1 EC8 %2")
               .arg(withOthers(nehrpClassName(site.nehrp), site.bounds ? site.bounds->otherNehrp : noNehrp,
                               nehrpClassName),
                    withOthers(ec8GroundName(site.ec8), site.bounds ? site.bounds->otherEc8 : noEc8, ec8GroundName));
    return row;
}

int DrawHeadingTable(QPainter &p, PatternOutput output, const QRect &rect, const SurveyData &survey,
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
