#include "talvex/charts/chartstyle.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace talvex::charts {

QPen cosmeticPen(const QColor &colour)
{
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}

QPen solidPen(const QPainter &painter, const QColor &colour, int width)
{
    const QTransform &t = painter.deviceTransform();
    const double scale = std::sqrt(std::abs(t.determinant()));
    if (width <= 0 || double(width) * scale < 1.0)
        return cosmeticPen(colour);
    QPen pen(colour, width);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QFont viewFont(int height)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(height);
    // Weight 500 of the 100...900 scale.
    font.setWeight(QFont::Medium);
    return font;
}

QStringList songFontSubstitutes()
{
    return {QStringLiteral("SimSun"),
            QStringLiteral("AR PL UMing CN"),
            QStringLiteral("AR PL SungtiL GB"),
            QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Source Han Serif SC"),
            QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Noto Sans CJK SC")};
}

void installSongFontSubstitution()
{
    QFont::insertSubstitutions(QStringLiteral("宋体"), songFontSubstitutes());
}

void ensureSongFontSubstitution()
{
    if (QFont::substitutes(QStringLiteral("宋体")).isEmpty())
        installSongFontSubstitution();
}

QString fitTextToWidth(QPainter &painter, const QString &text, double width, double minimumScale)
{
    const QFont given = painter.font();
    if (QFontMetricsF(given).horizontalAdvance(text) <= width)
        return text;
    QFont font = given;
    const bool pixels = given.pixelSize() > 0;
    const double size = pixels ? double(given.pixelSize()) : given.pointSizeF();
    const double smallest = size * minimumScale;
    // Step down one percent of the size at a time until the text fits.
    for (double scale = 0.99; scale * size >= smallest; scale -= 0.01) {
        if (pixels)
            font.setPixelSize(std::max(1, int(size * scale)));
        else
            font.setPointSizeF(size * scale);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width) {
            painter.setFont(font);
            return text;
        }
    }
    painter.setFont(font);
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, std::max(0.0, width));
}

namespace {

QFont scaledFont(const QFont &given, double scale)
{
    QFont font = given;
    if (given.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(given.pixelSize() * scale)));
    else
        font.setPointSizeF(given.pointSizeF() * scale);
    return font;
}

// `text` broken into two lines no wider than `width` in `metrics`: at the
// last space that leaves a second line that fits, else where the first line
// is full (Chinese text has no spaces); empty when it cannot be.
QStringList twoLines(const QFontMetricsF &metrics, const QString &text, double width)
{
    int full = 0;
    while (full < text.size() && metrics.horizontalAdvance(text.left(full + 1)) <= width)
        ++full;
    if (full == 0 || full >= text.size())
        return {};
    const auto split = [&](int cut) -> QStringList {
        const QString rest = text.mid(cut).trimmed();
        if (cut <= 0 || metrics.horizontalAdvance(rest) > width)
            return {};
        return {text.left(cut).trimmed(), rest};
    };
    if (const int space = text.lastIndexOf(QLatin1Char(' '), full); space > 0) {
        if (const QStringList lines = split(space); !lines.isEmpty())
            return lines;
    }
    return split(full);
}

} // namespace

QStringList fitTextToBox(QPainter &painter, const QString &text, QSizeF size)
{
    const QFont given = painter.font();
    // The size one line would need.
    double oneLine = 0.0;
    for (double scale = 1.0; scale >= kMinimumFontScale - 1e-9; scale -= 0.01) {
        if (QFontMetricsF(scaledFont(given, scale)).horizontalAdvance(text) <= size.width()) {
            oneLine = scale;
            break;
        }
    }
    if (oneLine >= 0.999) {
        painter.setFont(given);
        return {text};
    }
    // Two lines when they can be set larger than one line.
    for (double scale = 1.0; scale > oneLine && scale >= kMinimumFontScale - 1e-9; scale -= 0.01) {
        const QFont font = scaledFont(given, scale);
        const QFontMetricsF metrics(font);
        if (2.0 * metrics.height() > size.height())
            continue;
        const QStringList lines = twoLines(metrics, text, size.width());
        if (!lines.isEmpty()) {
            painter.setFont(font);
            return lines;
        }
    }
    painter.setFont(given);
    return {fitTextToWidth(painter, text, size.width())};
}

void drawTextAt(QPainter &painter, int x, int y, const QString &text)
{
    const QFontMetrics metrics(painter.font());
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
}

int drawWrappedText(QPainter &painter, int left, int right, int top, const QString &text)
{
    if (text.isEmpty() || right <= left)
        return top;
    // Breaks between words and between Chinese characters; a word longer
    // than the box is broken where it reaches the edge.
    QTextLayout layout(text, painter.font(), painter.device());
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(right - left);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    layout.draw(&painter, QPointF(left, top));
    return top + int(std::ceil(y));
}

} // namespace talvex::charts
