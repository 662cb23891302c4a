#include "talvex/charts/patternpictures.h"

#include "talvex/charts/soilpatterns.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <array>
#include <cmath>

namespace talvex::charts {

namespace {

// Lines or courses that run across the whole picture.
enum class Ground {
    None,
    Bedding, // horizontal lines every a units (sedimentary rock beds)
    DashedBedding, // dashed horizontal lines every a units (fissile shale)
    Brick, // courses a high, joints b apart, staggered (limestone)
    SlantBrick, // courses a high, joints slanted, b apart (dolomite)
    WavyBrick, // wavy courses a high, joints b apart (marble)
    Slant, // "/" lines a apart (fills, slate, fault rocks)
    Wavy, // wavy lines a apart, amplitude b (schists, gneisses)
};

// Small symbols set on a grid.
enum class Motif {
    None,
    Dot, // filled square, size = side
    Dash, // horizontal line, size = length
    Circle, // size = radius
    Triangle, // size = side
    Block, // angular stone, size = width
    Plus, // size = arm span
    Cross, // "x", size = span
    Vee, // "V", size = span
    Caret, // inverted "V"
    Tee, // "T"
    Tick, // vertical line, size = length
    Slash, // "/", size = span
    Wave, // "~", size = length
    Tuft, // three blades of grass
};

struct Symbols {
    Motif motif = Motif::None;
    int size = 0;
    int dx = 0; // spacing along a row
    int dy = 0; // spacing between rows; odd rows are shifted by dx / 2
};

struct Design {
    Ground ground = Ground::None;
    int a = 0;
    int b = 0;
    Symbols first;
    Symbols second; // set halfway between the rows of `first`
};

// One design per built-in code 1 ... 82, in catalogue order.
const std::array<Design, 82> &designs()
{
    using G = Ground;
    using M = Motif;
    static const std::array<Design, 82> table = {{
        // 01 素填土 02 杂填土 03 冲填土 04 耕表土: fills hatched, with what they hold
        {G::Slant, 18, 0, {M::Dot, 2, 36, 18}, {}},
        {G::Slant, 18, 0, {M::Triangle, 8, 40, 30}, {M::Circle, 3, 40, 30}},
        {G::Slant, 18, 0, {M::Wave, 12, 36, 20}, {}},
        {G::None, 0, 0, {M::Tuft, 10, 30, 25}, {M::Dot, 2, 30, 25}},
        // 05 粉质粘土 06 粘土 07 淤泥质粘土 08 淤泥
        {G::None, 0, 0, {M::Dash, 12, 25, 14}, {M::Slash, 6, 50, 14}},
        {G::None, 0, 0, {M::Dash, 14, 25, 10}, {}},
        {G::None, 0, 0, {M::Dash, 14, 25, 14}, {M::Wave, 10, 50, 14}},
        {G::None, 0, 0, {M::Wave, 12, 25, 12}, {}},
        // 09 粘质粉土 10 砂质粉土 11 粉土 12 粉质亚砂土 13 亚砂土 14 粉质亚粘土
        {G::None, 0, 0, {M::Dash, 10, 30, 14}, {M::Dot, 2, 15, 14}},
        {G::None, 0, 0, {M::Dot, 2, 12, 12}, {M::Dash, 8, 36, 12}},
        {G::None, 0, 0, {M::Dash, 8, 24, 12}, {M::Dot, 2, 24, 12}},
        {G::None, 0, 0, {M::Dot, 2, 14, 14}, {M::Slash, 6, 28, 14}},
        {G::None, 0, 0, {M::Dot, 2, 12, 12}, {M::Slash, 6, 48, 12}},
        {G::None, 0, 0, {M::Dash, 12, 30, 14}, {M::Slash, 6, 30, 14}},
        // 15 黄土 16 黄土状亚砂土 17 黄土状亚粘土: loess with its vertical joints
        {G::None, 0, 0, {M::Tick, 10, 18, 16}, {M::Dot, 2, 36, 16}},
        {G::None, 0, 0, {M::Tick, 10, 24, 16}, {M::Dot, 2, 12, 16}},
        {G::None, 0, 0, {M::Tick, 10, 24, 16}, {M::Dash, 8, 24, 16}},
        // 18 红粘土 19 软粘土 20 淤泥质亚粘土
        {G::Slant, 30, 0, {M::Dash, 14, 25, 12}, {}},
        {G::None, 0, 0, {M::Dash, 16, 22, 8}, {M::Wave, 8, 44, 8}},
        {G::None, 0, 0, {M::Wave, 10, 30, 14}, {M::Dash, 8, 30, 14}},
        // 21 粉细砂 22 细砂 23 粉砂 24 中细砂 25 中砂 26 中粗砂 27 粗砂 28 砾砂 29 砾粗砂:
        // dots, larger and sparser as the grain coarsens
        {G::None, 0, 0, {M::Dot, 1, 6, 6}, {}},
        {G::None, 0, 0, {M::Dot, 2, 10, 9}, {}},
        {G::None, 0, 0, {M::Dot, 1, 8, 8}, {M::Dash, 6, 32, 8}},
        {G::None, 0, 0, {M::Dot, 2, 14, 12}, {M::Dot, 1, 14, 12}},
        {G::None, 0, 0, {M::Dot, 3, 14, 12}, {}},
        {G::None, 0, 0, {M::Dot, 3, 18, 14}, {M::Dot, 4, 18, 14}},
        {G::None, 0, 0, {M::Dot, 4, 18, 16}, {}},
        {G::None, 0, 0, {M::Dot, 3, 16, 16}, {M::Circle, 4, 32, 16}},
        {G::None, 0, 0, {M::Dot, 4, 20, 18}, {M::Circle, 5, 40, 18}},
        // 30 漂石 31 块石 32 卵石 33 碎石 34 圆砾 35 角砾:
        // rounded stones as circles, angular ones as triangles and blocks
        {G::None, 0, 0, {M::Circle, 15, 50, 40}, {}},
        {G::None, 0, 0, {M::Block, 26, 50, 40}, {}},
        {G::None, 0, 0, {M::Circle, 8, 30, 25}, {}},
        {G::None, 0, 0, {M::Triangle, 14, 30, 25}, {}},
        {G::None, 0, 0, {M::Circle, 4, 18, 15}, {}},
        {G::None, 0, 0, {M::Triangle, 8, 18, 15}, {}},
        // 36 微风化岩 37 中风化岩 38 强风化岩: rock broken more and more
        {G::Brick, 25, 50, {M::Cross, 8, 50, 25}, {}},
        {G::Brick, 25, 50, {M::Cross, 8, 50, 25}, {M::Slash, 8, 50, 25}},
        {G::DashedBedding, 25, 0, {M::Cross, 8, 30, 25}, {M::Dot, 2, 15, 25}},
        // 39 泥炭
        {G::None, 0, 0, {M::Tuft, 10, 25, 20}, {M::Dash, 12, 25, 20}},
        // 40 角砾岩 41 砾岩 42 钙质砾岩 43 砂砾岩: clasts between bedding lines
        {G::Bedding, 25, 0, {M::Triangle, 9, 25, 25}, {}},
        {G::Bedding, 25, 0, {M::Circle, 6, 25, 25}, {}},
        {G::Brick, 25, 50, {M::Circle, 6, 50, 25}, {}},
        {G::Bedding, 25, 0, {M::Circle, 5, 30, 25}, {M::Dot, 2, 15, 25}},
        // 44 砂岩 45 泥质砂岩 46 钙质砂岩 47 粉砂岩
        {G::Bedding, 25, 0, {M::Dot, 2, 12, 8}, {}},
        {G::Bedding, 25, 0, {M::Dot, 2, 15, 25}, {M::Dash, 10, 30, 25}},
        {G::Brick, 20, 50, {M::Dot, 2, 10, 10}, {}},
        {G::Bedding, 20, 0, {M::Dot, 1, 6, 6}, {}},
        // 48 页岩 49 砂质页岩 50 钙质页岩 51 泥岩
        {G::DashedBedding, 8, 0, {}, {}},
        {G::DashedBedding, 12, 0, {M::Dot, 2, 16, 12}, {}},
        {G::DashedBedding, 12, 0, {M::Tick, 10, 40, 24}, {}},
        {G::Bedding, 30, 0, {M::Dash, 10, 20, 10}, {}},
        // 52 石灰岩 53 泥质灰岩 54 泥灰岩 55 白云质灰岩 56 白云岩 57 硅质岩: brick courses
        {G::Brick, 20, 50, {}, {}},
        {G::Brick, 20, 50, {M::Dash, 12, 50, 20}, {}},
        {G::Brick, 25, 60, {M::Dash, 14, 30, 25}, {}},
        {G::Brick, 20, 50, {M::Slash, 8, 50, 20}, {}},
        {G::SlantBrick, 20, 50, {}, {}},
        {G::Brick, 20, 50, {M::Triangle, 7, 50, 20}, {}},
        // 58 橄榄岩 59 辉岩 60 角闪岩 61 辉长岩 62 闪长岩 63 花岗岩: intrusive rocks, crosses
        {G::None, 0, 0, {M::Cross, 8, 24, 20}, {M::Dot, 3, 24, 20}},
        {G::None, 0, 0, {M::Cross, 8, 16, 14}, {}},
        {G::None, 0, 0, {M::Cross, 10, 30, 20}, {M::Dash, 8, 30, 20}},
        {G::None, 0, 0, {M::Cross, 8, 30, 20}, {M::Plus, 8, 30, 20}},
        {G::None, 0, 0, {M::Cross, 10, 24, 20}, {}},
        {G::None, 0, 0, {M::Plus, 10, 24, 20}, {}},
        // 64 玄武岩 65 安山岩 66 流纹岩 67 正长岩: volcanic V marks, syenite T marks
        {G::None, 0, 0, {M::Vee, 10, 25, 20}, {}},
        {G::None, 0, 0, {M::Caret, 10, 25, 20}, {}},
        {G::Wavy, 20, 3, {M::Vee, 8, 40, 20}, {}},
        {G::None, 0, 0, {M::Tee, 10, 24, 20}, {}},
        // 68 板岩 69 千枚岩 70 片岩 71 石英片岩 72 片麻岩 73 变粒岩 74 闪岩: foliated rocks
        {G::Slant, 8, 0, {}, {}},
        {G::Wavy, 8, 2, {}, {}},
        {G::Wavy, 20, 4, {M::Dash, 8, 30, 20}, {}},
        {G::Wavy, 16, 3, {M::Dot, 2, 16, 16}, {}},
        {G::Wavy, 20, 4, {M::Plus, 7, 30, 20}, {}},
        {G::Wavy, 25, 3, {M::Dot, 1, 8, 8}, {}},
        {G::Wavy, 20, 4, {M::Cross, 7, 30, 20}, {}},
        // 75 石英岩 76 变质砂岩 77 大理岩 78 白云质大理岩
        {G::Brick, 25, 40, {M::Dot, 3, 20, 25}, {}},
        {G::Wavy, 25, 4, {M::Dot, 2, 12, 12}, {}},
        {G::WavyBrick, 20, 50, {}, {}},
        {G::WavyBrick, 20, 50, {M::Slash, 8, 50, 20}, {}},
        // 79 断层泥 80 断层角砾岩
        {G::Slant, 12, 0, {M::Dash, 10, 30, 24}, {}},
        {G::Slant, 24, 0, {M::Triangle, 9, 30, 24}, {}},
        // 81 凝灰岩 82 残积土
        {G::None, 0, 0, {M::Vee, 8, 30, 20}, {M::Dot, 2, 15, 20}},
        {G::None, 0, 0, {M::Triangle, 7, 30, 25}, {M::Dot, 2, 15, 25}},
    }};
    return table;
}

void drawMotif(QPainter &p, Motif motif, int size, int x, int y)
{
    const int h = size / 2;
    switch (motif) {
    case Motif::None: break;
    case Motif::Dot: p.fillRect(QRect(x - h, y - h, size, size), Qt::black); break;
    case Motif::Dash: p.drawLine(x - h, y, x - h + size - 1, y); break;
    case Motif::Circle: p.drawEllipse(QPoint(x, y), size, size); break;
    case Motif::Triangle: {
        const QPolygon triangle{QPoint(x - h, y + h), QPoint(x + h, y + h), QPoint(x, y - h)};
        p.drawPolygon(triangle);
        break;
    }
    case Motif::Block: {
        const QPolygon block{QPoint(x - h, y - h / 3), QPoint(x - h / 3, y - h / 2), QPoint(x + h, y - h / 3),
                             QPoint(x + h / 2, y + h / 2), QPoint(x - h / 2, y + h / 3)};
        p.drawPolygon(block);
        break;
    }
    case Motif::Plus:
        p.drawLine(x - h, y, x + h, y);
        p.drawLine(x, y - h, x, y + h);
        break;
    case Motif::Cross:
        p.drawLine(x - h, y - h, x + h, y + h);
        p.drawLine(x - h, y + h, x + h, y - h);
        break;
    case Motif::Vee:
        p.drawLine(x - h, y - h, x, y + h);
        p.drawLine(x, y + h, x + h, y - h);
        break;
    case Motif::Caret:
        p.drawLine(x - h, y + h, x, y - h);
        p.drawLine(x, y - h, x + h, y + h);
        break;
    case Motif::Tee:
        p.drawLine(x - h, y - h, x + h, y - h);
        p.drawLine(x, y - h, x, y + h);
        break;
    case Motif::Tick: p.drawLine(x, y - h, x, y + h); break;
    case Motif::Slash: p.drawLine(x - h, y + h, x + h, y - h); break;
    case Motif::Wave: {
        QPainterPath wave(QPointF(x - h, y));
        wave.cubicTo(QPointF(x - h / 2.0, y - 4), QPointF(x - h / 2.0, y - 4), QPointF(x, y));
        wave.cubicTo(QPointF(x + h / 2.0, y + 4), QPointF(x + h / 2.0, y + 4), QPointF(x + h, y));
        p.drawPath(wave);
        break;
    }
    case Motif::Tuft:
        p.drawLine(x - h, y + h, x + h, y + h);
        p.drawLine(x, y + h, x, y - h);
        p.drawLine(x, y + h, x - h, y - h / 2);
        p.drawLine(x, y + h, x + h, y - h / 2);
        break;
    }
}

// Symbols on a staggered grid, shifted by (shiftX, shiftY).
// Rows and columns reach past the edges so that cut symbols show at the
// borders, as in a picture cut out of a larger drawing.
void drawSymbols(QPainter &p, const Symbols &s, int shiftX, int shiftY)
{
    if (s.motif == Motif::None || s.dx <= 0 || s.dy <= 0)
        return;
    // Row 0 is the first whole row inside the picture, so that symbols set
    // in brick courses of the same height sit between the joints.
    int row = -1;
    for (int y = s.dy / 2 + shiftY - s.dy; y < kPatternHeight + s.dy; y += s.dy, ++row) {
        const int offset = (row & 1) * (s.dx / 2);
        for (int x = s.dx / 2 + offset + shiftX - s.dx; x < kPatternWidth + s.dx; x += s.dx)
            drawMotif(p, s.motif, s.size, x, y);
    }
}

void drawWavyLine(QPainter &p, int y, int amplitude, int wavelength)
{
    QPainterPath path(QPointF(0, y));
    for (int x = 0; x < kPatternWidth; x += wavelength) {
        path.cubicTo(QPointF(x + wavelength * 0.25, y - amplitude), QPointF(x + wavelength * 0.25, y - amplitude),
                     QPointF(x + wavelength * 0.5, y));
        path.cubicTo(QPointF(x + wavelength * 0.75, y + amplitude), QPointF(x + wavelength * 0.75, y + amplitude),
                     QPointF(x + wavelength, y));
    }
    p.drawPath(path);
}

void drawGround(QPainter &p, const Design &d)
{
    if (d.a <= 0)
        return;
    const int w = kPatternWidth;
    const int hgt = kPatternHeight;
    switch (d.ground) {
    case Ground::None: break;
    case Ground::Bedding:
        for (int y = d.a; y < hgt; y += d.a)
            p.drawLine(0, y, w - 1, y);
        break;
    case Ground::DashedBedding:
        for (int y = d.a, row = 0; y < hgt; y += d.a, ++row)
            for (int x = (row % 2) * 9 - 9; x < w; x += 18)
                p.drawLine(x, y, x + 11, y);
        break;
    case Ground::Brick:
    case Ground::SlantBrick:
        for (int y = 0, row = 0; y < hgt; y += d.a, ++row) {
            if (y > 0)
                p.drawLine(0, y, w - 1, y);
            for (int x = (row % 2) * (d.b / 2); x < w + d.b; x += d.b) {
                if (d.ground == Ground::Brick)
                    p.drawLine(x, y, x, y + d.a);
                else
                    p.drawLine(x - d.a / 3, y + d.a, x + d.a / 3, y);
            }
        }
        break;
    case Ground::WavyBrick:
        for (int y = 0, row = 0; y < hgt; y += d.a, ++row) {
            if (y > 0)
                drawWavyLine(p, y, 3, 50);
            for (int x = (row % 2) * (d.b / 2); x < w + d.b; x += d.b)
                p.drawLine(x, y + 3, x, y + d.a - 3);
        }
        break;
    case Ground::Slant:
        for (int x = -hgt; x < w; x += d.a)
            p.drawLine(x, hgt, x + hgt, 0);
        break;
    case Ground::Wavy:
        for (int y = 0; y < hgt + d.a; y += d.a)
            drawWavyLine(p, y, d.b, 30);
        break;
    }
}

} // namespace

QImage drawBuiltInPattern(int code)
{
    if (code < 1 || code > int(designs().size()))
        return {};
    const Design &d = designs()[std::size_t(code - 1)];

    QImage canvas(kPatternWidth, kPatternHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        drawGround(p, d);
        drawSymbols(p, d.first, 0, 0);
        // The second kind of symbol goes between the first: in the same rows
        // when the ground has courses or beds (the symbols stay off the
        // lines), otherwise in rows halfway between.
        const bool coursed = d.ground == Ground::Bedding || d.ground == Ground::DashedBedding
            || d.ground == Ground::Brick || d.ground == Ground::SlantBrick || d.ground == Ground::WavyBrick;
        if (coursed)
            drawSymbols(p, d.second, d.first.dx / 4, 0);
        else
            drawSymbols(p, d.second, 0, d.first.dy > 0 ? d.first.dy / 2 : d.second.dy / 2);
    }

    QImage picture(kPatternWidth, kPatternHeight, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < kPatternHeight; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < kPatternWidth; ++x)
            picture.setPixel(x, y, qGray(line[x]) < 128 ? 1 : 0);
    }
    return picture;
}

} // namespace talvex::charts
