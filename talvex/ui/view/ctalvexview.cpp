#include "talvex/ui/view/ctalvexview.h"

#include "talvex/charts/viewgeometry.h"
#include "talvex/charts/viewpainter.h"
#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace talvex {

namespace {

// Logical units a scroll-bar step moves: a third of a multi-trace row, so
// that one turn of the wheel (three steps) moves one row.
constexpr int kScrollStepUnits = charts::kRowHeight / 3;

} // namespace

CtalvexView::CtalvexView(SurveyDocument &document, QWidget *parent)
    : CtalvexView(document, std::make_unique<TalvexSettings>(), parent)
{
}

CtalvexView::CtalvexView(SurveyDocument &document, const QString &settingsFile, QWidget *parent)
    : CtalvexView(document, std::make_unique<TalvexSettings>(settingsFile), parent)
{
}

CtalvexView::CtalvexView(SurveyDocument &document, std::unique_ptr<TalvexSettings> settings, QWidget *parent)
    : QAbstractScrollArea(parent),
      m_document(document),
      m_settings(std::move(settings)),
      m_printSettings(m_settings->printSettings()),
      m_zoom(m_settings->viewScale()),
      m_interaction(document.survey(), document.view()),
      m_shown(document.view())
{
    m_curveName = m_printSettings.curveName;
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // Every pixel comes from the cached scene image.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

    connect(&m_document, &SurveyDocument::pointsChanged, this, &CtalvexView::surveyChanged);
    connect(&m_document, &SurveyDocument::layersChanged, this, &CtalvexView::surveyChanged);
    connect(&m_document, &SurveyDocument::headerChanged, this, &CtalvexView::surveyChanged);
    connect(&m_document, &SurveyDocument::recordChanged, this, &CtalvexView::surveyChanged);
    connect(&m_document, &SurveyDocument::repaintRequested, this, &CtalvexView::surveyChanged);
    connect(&m_document, &SurveyDocument::viewChanged, this, &CtalvexView::viewStateChanged);
    connect(&m_document, &SurveyDocument::suggestionsChanged, this, &CtalvexView::invalidateScene);

    updateScrollBars();
    m_readout
        = cursorReadout(m_document.survey(), m_document.view(), m_document.record(), m_document.editor().spectrum());
    m_statusTexts = statusPaneTexts(m_document.survey(), m_document.view());
}

CtalvexView::~CtalvexView()
{
    m_settings->setViewScale(m_zoom.percent());
    m_settings->setPrintSettings(m_printSettings);
}

void CtalvexView::setCurveName(int curveName)
{
    if (curveName == m_curveName)
        return;
    m_curveName = curveName;
    invalidateScene();
}

void CtalvexView::setPrintSettings(const PrintSettings &settings)
{
    m_printSettings = settings;
    setCurveName(settings.curveName);
}

charts::ViewScene CtalvexView::scene() const
{
    // The suggestions as computed so far (the worker publishes the rest);
    // the scene is painted into the cached image, so moving the time cursor
    // neither computes nor draws them again. The snapshot is kept while the
    // scene is in use.
    const ArrivalSuggestions &suggestions = m_document.suggestions();
    m_sceneSuggestions = suggestions.shown() ? suggestions.current() : nullptr;
    return charts::ViewScene{m_document.survey(),
                             m_document.view(),
                             m_document.record(),
                             m_document.editor().rawDisplay(),
                             m_document.editor().spectrum(),
                             m_curveName,
                             nullptr,
                             m_sceneSuggestions.get(),
                             m_flaggedPoints.empty() ? nullptr : &m_flaggedPoints};
}

void CtalvexView::setFlaggedPoints(std::vector<bool> flagged)
{
    if (flagged == m_flaggedPoints)
        return;
    m_flaggedPoints = std::move(flagged);
    invalidateScene();
}

void CtalvexView::showPoint(int point)
{
    ViewState &view = m_document.view();
    if (point < 1 || std::size_t(point) > m_document.survey().points.size())
        return;
    view.currentPoint = point;
    m_document.notifyViewChanged();
    if (view.mode != DisplayMode::MultiTrace)
        return;
    const int top = charts::multiTraceRowTop(point - 1);
    const QPoint first = toViewport(QPoint(0, top));
    const QPoint last = toViewport(QPoint(0, top + charts::kRowHeight));
    if (first.y() < 0 || last.y() > viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + first.y());
}

QTransform CtalvexView::sceneTransform() const
{
    // 100 logical units are one inch at scale 1.
    const double sx = viewport()->logicalDpiX() / 100.0 * m_zoom.scale();
    const double sy = viewport()->logicalDpiY() / 100.0 * m_zoom.scale();
    const QPoint scroll = scrollPosition();
    return QTransform(sx, 0, 0, sy, -scroll.x(), -scroll.y());
}

QPoint CtalvexView::toLogical(QPoint viewportPos) const
{
    const QPointF p = sceneTransform().inverted().map(QPointF(viewportPos) + QPointF(0.5, 0.5));
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

QPoint CtalvexView::toViewport(QPoint logical) const
{
    const QPointF p = sceneTransform().map(QPointF(logical));
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

QRect CtalvexView::deviceRect(const QRect &logical) const
{
    return sceneTransform().mapRect(QRectF(logical)).toAlignedRect().adjusted(-1, -1, 1, 1);
}

QPoint CtalvexView::scrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CtalvexView::scrollTo(QPoint position)
{
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}

void CtalvexView::renderCache()
{
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize pixels = viewport()->size() * ratio;
    if (m_cache.size() != pixels)
        m_cache = QPixmap(pixels);
    m_cache.setDevicePixelRatio(ratio);
    m_cache.fill(Qt::white);

    QPainter painter(&m_cache);
    const QTransform transform = sceneTransform();
    painter.setTransform(transform);
    const QRect clip = transform.inverted().mapRect(QRectF(viewport()->rect())).toAlignedRect().adjusted(-1, -1, 1, 1);
    charts::paintScene(painter, scene(), clip);
    ++m_scenePaints;
    m_cacheValid = true;
}

void CtalvexView::invalidateScene()
{
    m_cacheValid = false;
    viewport()->update();
}

void CtalvexView::paintEvent(QPaintEvent *event)
{
    if (!m_cacheValid || m_cache.size() != viewport()->size() * viewport()->devicePixelRatioF())
        renderCache();
    QPainter painter(viewport());
    // A cursor move invalidates two thin strips that may lie far apart:
    // copy each from the cached scene, not the rectangle spanning both.
    const qreal ratio = m_cache.devicePixelRatio();
    for (const QRect &target : event->region()) {
        const QRectF source(target.x() * ratio, target.y() * ratio, target.width() * ratio, target.height() * ratio);
        painter.drawPixmap(QRectF(target), m_cache, source);
    }
    painter.setClipRegion(event->region());
    painter.setTransform(sceneTransform());
    charts::paintOverlay(painter, scene(), m_interaction.dragLineY());
}

void CtalvexView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    invalidateScene();
}

void CtalvexView::scrollContentsBy(int, int)
{
    invalidateScene();
}

void CtalvexView::updateScrollBars()
{
    const QSize extent = charts::sceneExtent(scene());
    const QTransform t = sceneTransform();
    const int width = int(std::ceil(extent.width() * t.m11()));
    const int height = int(std::ceil(extent.height() * t.m22()));
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setSingleStep(std::max(1, int(kScrollStepUnits * t.m11())));
    verticalScrollBar()->setRange(0, std::max(0, height - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(std::max(1, int(kScrollStepUnits * t.m22())));
}

void CtalvexView::surveyChanged()
{
    // A command may change the mode and the survey at once (the histogram
    // recomputes its layers): take the mode first, so that the scroll
    // position is remembered before the new extent cuts it short.
    if (!(m_document.view() == m_shown))
        viewStateChanged();
    updateScrollBars();
    invalidateScene();
    refreshReadouts();
}

void CtalvexView::viewStateChanged()
{
    const ViewState before = m_shown;
    const ViewState &now = m_document.view();
    m_shown = now;
    if (now.mode != before.mode) {
        m_interaction.cancelDrag();
        const std::optional<QPoint> target = m_scrollMemory.switchMode(before.mode, now.mode, scrollPosition());
        updateScrollBars();
        if (target)
            scrollTo(*target);
        invalidateScene();
    } else if (now.currentPoint != before.currentPoint || now.selectedTrace != before.selectedTrace
               || now.selectedChannel != before.selectedChannel) {
        // The markers and the point's row belong to the scene.
        invalidateScene();
    } else {
        if (now.cursorX != before.cursorX) {
            viewport()->update(deviceRect(charts::timeCursorStrip(before, before.cursorX)));
            viewport()->update(deviceRect(charts::timeCursorStrip(now, now.cursorX)));
        }
        if (now.depthCursor != before.depthCursor) {
            viewport()->update(deviceRect(charts::depthCursorStrip(before.depthCursor)));
            viewport()->update(deviceRect(charts::depthCursorStrip(now.depthCursor)));
        }
    }
    refreshReadouts();
}

void CtalvexView::refreshReadouts()
{
    const CursorReadout readout
        = cursorReadout(m_document.survey(), m_document.view(), m_document.record(), m_document.editor().spectrum());
    if (!(readout == m_readout)) {
        m_readout = readout;
        emit readoutChanged(readout.label, readout.value, readout.unit);
    }
    const QStringList texts = statusPaneTexts(m_document.survey(), m_document.view());
    if (texts != m_statusTexts) {
        m_statusTexts = texts;
        emit statusTextsChanged(texts);
    }
}

void CtalvexView::interactionDone(int dragLineBefore)
{
    const int dragLine = m_interaction.dragLineY();
    if (dragLine != dragLineBefore) {
        if (dragLineBefore >= 0)
            viewport()->update(deviceRect(charts::dragLineStrip(dragLineBefore)));
        if (dragLine >= 0)
            viewport()->update(deviceRect(charts::dragLineStrip(dragLine)));
    }
    m_document.notifyViewChanged();
}

void CtalvexView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        event->accept(); // the menu opens on the release
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const int dragBefore = m_interaction.dragLineY();
    m_interaction.pressLeft(toLogical(event->position().toPoint()));
    if (m_interaction.draggedLayer() >= 0)
        viewport()->setCursor(Qt::SplitVCursor);
    interactionDone(dragBefore);
}

void CtalvexView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = toLogical(event->position().toPoint());
    if (m_interaction.overBoundary(p) || m_interaction.draggedLayer() >= 0)
        viewport()->setCursor(Qt::SplitVCursor);
    else
        viewport()->unsetCursor();
    if (!m_interaction.buttonDown())
        return;
    const int dragBefore = m_interaction.dragLineY();
    m_interaction.moveMouse(p);
    interactionDone(dragBefore);
}

void CtalvexView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = toLogical(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        const int dragBefore = m_interaction.dragLineY();
        // A moved boundary reaches the document through the survey's change
        // route (layersChanged), which repaints the chart.
        m_interaction.releaseLeft(p);
        interactionDone(dragBefore);
        if (!m_interaction.overBoundary(p))
            viewport()->unsetCursor();
    } else if (event->button() == Qt::RightButton) {
        if (const std::optional<ContextMenuId> menu = m_interaction.releaseRight())
            emit contextMenuRequested(int(*menu), event->globalPosition().toPoint());
    } else {
        QAbstractScrollArea::mouseReleaseEvent(event);
    }
}

void CtalvexView::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse's menu opens on the right button's release; the menu key
    // opens the same menu at the time cursor's row.
    event->accept();
    if (event->reason() != QContextMenuEvent::Keyboard)
        return;
    if (const std::optional<ContextMenuId> menu = m_interaction.releaseRight())
        emit contextMenuRequested(int(*menu), viewport()->mapToGlobal(event->pos()));
}

void CtalvexView::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
        || !m_interaction.pressKey(event->key())) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
    m_document.notifyViewChanged();
}

void CtalvexView::showMultiTrace()
{
    ShowMultiTrace(m_document.view());
    m_document.notifyViewChanged();
}

void CtalvexView::toggleSingleTrace()
{
    if (ToggleSingleTrace(m_document.survey(), m_document.view()))
        m_document.notifyViewChanged();
}

void CtalvexView::showRawRecord()
{
    ShowRawRecord(m_document.view());
    m_document.notifyViewChanged();
}

void CtalvexView::showVelocityHistogram()
{
    if (!ShowVelocityHistogram(m_document.survey(), m_document.view()))
        return;
    m_document.notifyViewChanged();
}

void CtalvexView::showTimeDistance()
{
    ShowTimeDistance(m_document.view());
    m_document.notifyViewChanged();
}

void CtalvexView::applyZoom(bool changed)
{
    if (!changed)
        return;
    updateScrollBars();
    invalidateScene();
}

void CtalvexView::zoomIn()
{
    const QPoint corner = toLogical(QPoint(0, 0));
    applyZoom(m_zoom.zoomIn());
    scrollTo(sceneTransform().map(corner) + scrollPosition());
}

void CtalvexView::zoomOut()
{
    const QPoint corner = toLogical(QPoint(0, 0));
    applyZoom(m_zoom.zoomOut());
    scrollTo(sceneTransform().map(corner) + scrollPosition());
}

void CtalvexView::MoveTimeCursor(int x)
{
    if (m_interaction.MoveTimeCursor(x))
        m_document.notifyViewChanged();
}

void CtalvexView::MoveDepthCursor(int y)
{
    if (m_interaction.MoveDepthCursor(y))
        m_document.notifyViewChanged();
}

} // namespace talvex
