#include "talvex/ui/dialogs/pagepreviewbox.h"

#include "talvex/ui/dialogs/pagepreviewgeometry.h"

#include <QPainter>

namespace talvex {

PagePreviewBox::PagePreviewBox(QWidget *parent) : QWidget(parent)
{
    // A4 proportions: the margins in mm, taken as pixels, then look right.
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize PagePreviewBox::sizeHint() const
{
    return QSize(220, 320);
}

void PagePreviewBox::setSettings(const PrintSettings &settings)
{
    m_settings = settings;
    update();
}

void PagePreviewBox::paintEvent(QPaintEvent *)
{
    ++m_paints;
    const PagePreviewGeometry geometry = pagePreviewGeometry(size(), m_settings);
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(QPen(Qt::red, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(geometry.page);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(geometry.heading);
    painter.drawLine(geometry.footer);
    painter.setPen(QPen(Qt::blue, 1));
    painter.drawRects(geometry.cells.data(), int(geometry.cells.size()));
}

} // namespace talvex
