#include "talvex/ui/commandicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <cmath>
#include <functional>
#include <map>
#include <string>

namespace talvex {

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 140, 0);
const QColor kRed(210, 0, 0);
const QColor kYellow(240, 200, 60);
const QColor kGrey(128, 128, 128);

// A small trace between x0 and x1 around `centre`: a decaying wave that
// starts at `start` (flat before), amplitude `amp`, sign `sign`.
void wave(QPainter &p, int x0, int x1, int centre, int amp, const QColor &colour, int start = -1, int sign = 1)
{
    p.setPen(QPen(colour, 1));
    QPolygon line;
    for (int x = x0; x <= x1; ++x) {
        double y = 0.0;
        if (x >= start && start >= 0) {
            const double t = x - start;
            y = sign * amp * std::sin(t * 1.1) * std::exp(-t / 9.0);
        } else if (start < 0) {
            y = sign * amp * std::sin((x - x0) * 1.1);
        }
        line << QPoint(x, centre - int(std::lround(y)));
    }
    p.drawPolyline(line);
}

void arrow(QPainter &p, QPoint from, QPoint to, const QColor &colour)
{
    p.setPen(QPen(colour, 1));
    p.drawLine(from, to);
    p.setBrush(colour);
    QPolygon head;
    if (from.y() == to.y()) {
        const int d = to.x() > from.x() ? -1 : 1;
        head << to << QPoint(to.x() + 3 * d, to.y() - 3) << QPoint(to.x() + 3 * d, to.y() + 3);
    } else {
        const int d = to.y() > from.y() ? -1 : 1;
        head << to << QPoint(to.x() - 3, to.y() + 3 * d) << QPoint(to.x() + 3, to.y() + 3 * d);
    }
    p.drawPolygon(head);
    p.setBrush(Qt::NoBrush);
}

void page(QPainter &p, int right = 12)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(2, 0), QPoint(right - 3, 0), QPoint(right, 3), QPoint(right, 14), QPoint(2, 14)}));
    p.setBrush(Qt::NoBrush);
    p.drawLine(right - 3, 0, right - 3, 3);
    p.drawLine(right - 3, 3, right, 3);
}

void folder(QPainter &p)
{
    p.setPen(Qt::black);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({QPoint(0, 3), QPoint(5, 3), QPoint(6, 5), QPoint(14, 5), QPoint(14, 13), QPoint(0, 13)}));
    p.setBrush(Qt::NoBrush);
}

void plus(QPainter &p, int cx, int cy, const QColor &colour)
{
    p.fillRect(cx - 3, cy - 1, 7, 3, colour);
    p.fillRect(cx - 1, cy - 3, 3, 7, colour);
}

void minus(QPainter &p, int cx, int cy, const QColor &colour)
{
    p.fillRect(cx - 3, cy - 1, 7, 3, colour);
}

void cross(QPainter &p, int cx, int cy, const QColor &colour)
{
    p.setPen(QPen(colour, 2));
    p.drawLine(cx - 3, cy - 3, cx + 3, cy + 3);
    p.drawLine(cx - 3, cy + 3, cx + 3, cy - 3);
}

void magnifier(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(1, 1, 10, 10);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(10, 10, 14, 14);
}

// Soil bands of a column: three layers with their boundaries.
void bands(QPainter &p)
{
    p.setPen(Qt::black);
    p.fillRect(1, 1, 9, 4, QColor(230, 210, 150));
    p.fillRect(1, 5, 9, 4, QColor(190, 160, 110));
    p.fillRect(1, 9, 9, 5, QColor(150, 150, 150));
    p.drawRect(1, 1, 9, 13);
    p.drawLine(1, 5, 10, 5);
    p.drawLine(1, 9, 10, 9);
}

void letter(QPainter &p, const QRect &box, const QString &text, const QColor &colour)
{
    QFont font = p.font();
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

using Drawing = std::function<void(QPainter &)>;

// Keyed by the command's picture name (plain ASCII).
const std::map<std::string, Drawing> &drawings()
{
    static const std::map<std::string, Drawing> table = {
        {"new", [](QPainter &p) { page(p); }},
        {"open",
         [](QPainter &p) {
             folder(p);
             p.setBrush(QColor(250, 230, 130));
             p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(12, 13), QPoint(0, 13)}));
         }},
        {"save",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.setBrush(QColor(40, 70, 170));
             p.drawRect(1, 1, 13, 13);
             p.fillRect(4, 2, 7, 5, Qt::white);
             p.fillRect(4, 9, 7, 5, QColor(200, 200, 200));
             p.fillRect(8, 10, 2, 3, QColor(40, 70, 170));
         }},
        {"pagesetup",
         [](QPainter &p) {
             page(p);
             p.setPen(QPen(kBlue, 1, Qt::DotLine));
             p.drawRect(4, 3, 5, 9);
         }},
        {"undo",
         [](QPainter &p) {
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(QPen(kBlue, 2));
             QPainterPath path(QPointF(4, 6));
             path.cubicTo(QPointF(10, 2), QPointF(16, 8), QPointF(9, 13));
             p.drawPath(path);
             p.setBrush(kBlue);
             p.setPen(Qt::NoPen);
             p.drawPolygon(QPolygon({QPoint(1, 6), QPoint(6, 2), QPoint(7, 9)}));
         }},
        {"zoomin",
         [](QPainter &p) {
             magnifier(p);
             plus(p, 6, 6, Qt::black);
         }},
        {"zoomout",
         [](QPainter &p) {
             magnifier(p);
             minus(p, 6, 6, Qt::black);
         }},
        {"singletrace",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.drawRect(0, 0, 15, 14);
             wave(p, 1, 14, 7, 5, kMagenta, 3);
         }},
        {"waveforms",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.drawRect(0, 0, 15, 14);
             wave(p, 1, 14, 3, 2, kMagenta, 4);
             wave(p, 1, 14, 7, 2, kBlue, 5);
             wave(p, 1, 14, 11, 2, kMagenta, 6);
         }},
        {"histogram",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.drawLine(1, 1, 14, 1);
             p.drawLine(1, 1, 1, 14);
             p.setPen(kBlue);
             p.drawPolyline(
                 QPolygon({QPoint(4, 1), QPoint(4, 5), QPoint(8, 5), QPoint(8, 9), QPoint(12, 9), QPoint(12, 14)}));
         }},
        {"rawrecord",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.drawRect(3, 0, 12, 14);
             p.drawLine(3, 7, 15, 7);
             wave(p, 4, 14, 3, 2, kMagenta, 6);
             wave(p, 4, 14, 11, 2, kMagenta, 8);
             p.setBrush(kMagenta);
             p.setPen(Qt::NoPen);
             p.drawPolygon(QPolygon({QPoint(2, 3), QPoint(0, 1), QPoint(0, 5)}));
         }},
        {"preview",
         [](QPainter &p) {
             page(p, 10);
             p.setPen(Qt::black);
             p.setBrush(Qt::white);
             p.drawEllipse(6, 6, 6, 6);
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(Qt::black, 2));
             p.drawLine(12, 12, 15, 14);
         }},
        {"print",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.setBrush(Qt::white);
             p.drawRect(4, 0, 8, 5);
             p.setBrush(QColor(190, 190, 190));
             p.drawRect(1, 5, 14, 6);
             p.setBrush(Qt::white);
             p.drawRect(4, 9, 8, 5);
             p.fillRect(12, 7, 2, 1, kGreen);
         }},
        {"about",
         [](QPainter &p) {
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(Qt::NoPen);
             p.setBrush(kBlue);
             p.drawEllipse(1, 0, 14, 14);
             letter(p, QRect(1, 0, 14, 14), QStringLiteral("?"), Qt::white);
         }},
        {"figure",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.setBrush(QColor(200, 230, 255));
             p.drawRect(0, 1, 15, 12);
             p.setBrush(kGreen);
             p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(6, 6), QPoint(9, 10), QPoint(11, 8), QPoint(15, 13)}));
             p.setBrush(kYellow);
             p.setPen(Qt::NoPen);
             p.drawEllipse(10, 2, 4, 4);
         }},
        {"importrecord",
         [](QPainter &p) {
             wave(p, 0, 15, 11, 3, kMagenta, 2);
             arrow(p, QPoint(8, 0), QPoint(8, 7), kGreen);
         }},
        {"trigger",
         [](QPainter &p) {
             wave(p, 0, 15, 9, 4, kMagenta, 6);
             p.setPen(QPen(kRed, 1));
             p.drawLine(6, 1, 6, 14);
             p.setBrush(kRed);
             p.drawPolygon(QPolygon({QPoint(6, 1), QPoint(11, 3), QPoint(6, 5)}));
         }},
        {"sarrival",
         [](QPainter &p) {
             wave(p, 0, 15, 10, 4, kMagenta, 7);
             p.setPen(QPen(Qt::black, 1));
             p.drawLine(7, 3, 7, 14);
             letter(p, QRect(0, 0, 7, 8), QStringLiteral("S"), Qt::black);
         }},
        {"invert",
         [](QPainter &p) {
             wave(p, 0, 10, 7, 5, kMagenta, 1);
             arrow(p, QPoint(13, 2), QPoint(13, 13), Qt::black);
         }},
        {"invertall",
         [](QPainter &p) {
             wave(p, 0, 10, 3, 2, kMagenta, 1);
             wave(p, 0, 10, 11, 2, kMagenta, 1, -1);
             arrow(p, QPoint(13, 1), QPoint(13, 6), Qt::black);
             arrow(p, QPoint(13, 13), QPoint(13, 8), Qt::black);
         }},
        {"smooth",
         [](QPainter &p) {
             p.setPen(kGrey);
             p.drawPolyline(
                 QPolygon({QPoint(0, 4), QPoint(2, 1), QPoint(3, 5), QPoint(5, 0), QPoint(6, 4), QPoint(8, 2)}));
             p.setRenderHint(QPainter::Antialiasing);
             p.setPen(QPen(kMagenta, 1.5));
             QPainterPath path(QPointF(0, 11));
             path.cubicTo(QPointF(5, 5), QPointF(10, 15), QPointF(15, 9));
             p.drawPath(path);
         }},
        {"zerobefore",
         [](QPainter &p) {
             p.setPen(kMagenta);
             p.drawLine(0, 7, 7, 7);
             wave(p, 8, 15, 7, 5, kMagenta, 8);
             p.setPen(Qt::black);
             p.drawLine(7, 0, 7, 14);
             letter(p, QRect(0, 0, 7, 7), QStringLiteral("0"), kRed);
         }},
        {"zeroafter",
         [](QPainter &p) {
             wave(p, 0, 7, 7, 5, kMagenta, 0);
             p.setPen(kMagenta);
             p.drawLine(8, 7, 15, 7);
             p.setPen(Qt::black);
             p.drawLine(8, 0, 8, 14);
             letter(p, QRect(9, 0, 7, 7), QStringLiteral("0"), kRed);
         }},
        {"filter",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.setBrush(QColor(170, 200, 240));
             p.drawPolygon(
                 QPolygon({QPoint(0, 1), QPoint(15, 1), QPoint(9, 8), QPoint(9, 14), QPoint(6, 14), QPoint(6, 8)}));
         }},
        {"shiftearlier",
         [](QPainter &p) {
             wave(p, 0, 15, 10, 3, kMagenta, 4);
             arrow(p, QPoint(14, 3), QPoint(2, 3), Qt::black);
         }},
        {"shiftlater",
         [](QPainter &p) {
             wave(p, 0, 15, 10, 3, kMagenta, 6);
             arrow(p, QPoint(1, 3), QPoint(13, 3), Qt::black);
         }},
        {"removedc",
         [](QPainter &p) {
             p.setPen(QPen(kGrey, 1, Qt::DotLine));
             p.drawLine(0, 10, 15, 10);
             wave(p, 0, 11, 5, 3, kMagenta, 0);
             arrow(p, QPoint(14, 2), QPoint(14, 10), kRed);
         }},
        {"deletepoint",
         [](QPainter &p) {
             wave(p, 0, 15, 4, 2, kMagenta, 2);
             p.setPen(kGrey);
             p.drawLine(0, 8, 15, 8);
             cross(p, 8, 11, kRed);
         }},
        {"insertpoint",
         [](QPainter &p) {
             wave(p, 0, 15, 4, 2, kMagenta, 2);
             p.setPen(kGrey);
             p.drawLine(0, 8, 15, 8);
             plus(p, 8, 11, kGreen);
         }},
        {"hole",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.drawLine(0, 3, 15, 3);
             p.fillRect(1, 0, 4, 3, QColor(120, 80, 40)); // the plank at the surface
             p.fillRect(9, 3, 3, 12, QColor(200, 200, 200));
             p.drawLine(9, 3, 9, 14);
             p.drawLine(12, 3, 12, 14);
             p.setBrush(kMagenta);
             p.setPen(Qt::NoPen);
             p.drawEllipse(9, 9, 3, 3);
         }},
        {"point",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.drawLine(3, 0, 3, 14);
             p.setBrush(kMagenta);
             p.drawEllipse(1, 5, 4, 4);
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(kBlue, 2));
             p.drawLine(8, 13, 14, 4); // a pencil
             p.fillRect(7, 13, 2, 2, Qt::black);
         }},
        {"surveylog",
         [](QPainter &p) {
             p.setPen(Qt::black);
             p.drawRect(4, 0, 7, 14);
             for (int x = 6; x < 11; x += 2)
                 p.drawPoint(x, 2);
             for (int x = 5; x < 11; x += 3)
                 p.drawPoint(x + 1, 4);
             p.drawLine(4, 5, 11, 5);
             p.drawLine(5, 7, 7, 7);
             p.drawLine(8, 8, 10, 8);
             p.drawLine(5, 9, 7, 9);
             p.drawLine(4, 10, 11, 10);
             p.drawEllipse(6, 11, 2, 2);
         }},
        {"layers",
         [](QPainter &p) {
             bands(p);
             p.setPen(kBlue);
             p.drawPolyline(QPolygon({QPoint(12, 1), QPoint(12, 5), QPoint(14, 5), QPoint(14, 14)}));
         }},
        {"insertlayer",
         [](QPainter &p) {
             bands(p);
             plus(p, 12, 11, kGreen);
         }},
        {"deletelayer",
         [](QPainter &p) {
             bands(p);
             minus(p, 12, 11, kRed);
         }},
        {"importfolder",
         [](QPainter &p) {
             folder(p);
             wave(p, 2, 12, 9, 2, kMagenta, 3);
         }},
        {"positive",
         [](QPainter &p) {
             wave(p, 0, 15, 9, 4, kMagenta, 3);
             plus(p, 12, 3, kMagenta);
         }},
        {"negative",
         [](QPainter &p) {
             wave(p, 0, 15, 9, 4, kBlue, 3, -1);
             minus(p, 12, 3, kBlue);
         }},
    };
    return table;
}

} // namespace

QImage commandPicture(const QString &name)
{
    const auto found = drawings().find(name.toStdString());
    if (found == drawings().end())
        return {};
    QImage image(kToolButtonWidth, kToolButtonHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    found->second(painter);
    painter.end();
    return image;
}

QIcon commandIcon(const QString &name)
{
    const QImage picture = commandPicture(name);
    return picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture));
}

} // namespace talvex
