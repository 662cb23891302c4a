#include "talvex/ui/dialogs/patternpreview.h"

#include "talvex/charts/soilpatterns.h"

#include <QPainter>

namespace talvex {

PatternPreview::PatternPreview(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(sizeHint());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PatternPreview::setCode(int code)
{
    m_code = code;
    m_picture = code == 0 ? QImage() : charts::soilPattern(code);
    update();
}

void PatternPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!m_picture.isNull())
        painter.drawImage(rect().adjusted(1, 1, -1, -1), m_picture);
}

} // namespace talvex
