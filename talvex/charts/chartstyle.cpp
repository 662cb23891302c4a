#include "talvex/charts/chartstyle.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
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
