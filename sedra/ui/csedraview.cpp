#include "sedra/ui/csedraview.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

namespace sedra {

namespace {
constexpr qreal kLeftMargin = 30;
constexpr qreal kRightMargin = 190; // room for the readouts
constexpr qreal kVerticalMargin = 8;
} // namespace

CSEDRAView::CSEDRAView(SedraDocument &document, QWidget *parent) : QWidget(parent), m_document(document)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(640, 480);
    connect(&m_document, &SedraDocument::changed, this, qOverload<>(&QWidget::update));
}

QRectF CSEDRAView::bandArea() const
{
    return QRectF(kLeftMargin, kVerticalMargin, std::max<qreal>(100, width() - kLeftMargin - kRightMargin),
                  std::max<qreal>(60, height() - 2 * kVerticalMargin));
}

BandOptions CSEDRAView::bandOptions() const
{
    BandOptions options;
    options.showRightValues = m_document.printInfo().showRightValues;
    options.font = font();
    options.labelStrip = true;
    return options;
}

void CSEDRAView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    BandPainter::draw(painter, bandArea(), m_document, bandOptions());
}

void CSEDRAView::mousePressEvent(QMouseEvent *event)
{
    const QRectF area = bandArea();
    if (event->button() == Qt::RightButton) {
        QMenu menu(this);
        QAction *details = menu.addAction(QStringLiteral("查看详细信息"));
        menu.addAction(QStringLiteral("退出菜单"));
        if (menu.exec(event->globalPosition().toPoint()) == details)
            showDetails();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF pos = event->position();
    const int band = BandPainter::bandAt(area, pos.y());
    if (band < 0 || pos.x() < area.left() || pos.x() > area.right())
        return;
    const qreal perPoint = area.width() / BandPainter::pointCount(m_document);
    m_document.setCursor(band, (pos.x() - area.left()) / perPoint);
}

void CSEDRAView::keyPressEvent(QKeyEvent *event)
{
    const int n = BandPainter::pointCount(m_document);
    const qreal pointsPerPixel = n / bandArea().width();
    if (event->key() == Qt::Key_Left)
        m_document.moveCursor(-pointsPerPixel, 0, n);
    else if (event->key() == Qt::Key_Right)
        m_document.moveCursor(pointsPerPixel, 0, n);
    else
        QWidget::keyPressEvent(event);
}

void CSEDRAView::showDetails()
{
    // The box's lines end in CR; shown one per line on every platform.
    QString text = m_document.detailsText();
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox::information(this, QStringLiteral("详细信息"), text);
}

} // namespace sedra
