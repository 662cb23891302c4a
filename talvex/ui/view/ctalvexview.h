#pragma once
// The main view of talvex: a scroll view over the open survey in one of six
// display modes, with the time cursor, the depth cursor and the selections
// the commands act on.
//
// Painting is two layers: the static scene (traces, texts, charts) is drawn
// once per change into an image the size of the viewport, and the moving
// lines (time cursor, depth cursor, dragged boundary) are drawn over it. A
// cursor move repaints two thin strips from that image and never draws a
// trace. What a click or key does lives in ViewInteraction; this widget only
// converts its events to logical units (100 per inch at the view's scale)
// and repaints what the document says changed.

#include "talvex/document/arrivalsuggestions.h"
#include "talvex/settings/printsettings.h"
#include "talvex/settings/viewstate.h"
#include "talvex/ui/view/viewinteraction.h"
#include "talvex/ui/view/viewmodecommands.h"
#include "talvex/ui/view/viewreadout.h"
#include "talvex/ui/view/viewzoom.h"

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QTransform>
#include <memory>
#include <vector>

namespace talvex {

class SurveyDocument;
class TalvexSettings;
namespace charts {
struct ViewScene;
}

class CtalvexView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // The zoom ("视图比例") and the page setup ("打印设置") come from the
    // program's settings and go back there when the view is destroyed.
    explicit CtalvexView(SurveyDocument &document, QWidget *parent = nullptr);
    // The same with the settings kept in an INI file (tests).
    CtalvexView(SurveyDocument &document, const QString &settingsFile, QWidget *parent = nullptr);
    ~CtalvexView() override;

    double scale() const { return m_zoom.scale(); }
    // The readout bar's label, value and unit and the six status panes as
    // they are now (the signals below announce later changes).
    CursorReadout readout() const { return m_readout; }
    QStringList statusTexts() const { return m_statusTexts; }

    // Logical position of a viewport pixel and the other way round.
    QPoint toLogical(QPoint viewportPos) const;
    QPoint toViewport(QPoint logical) const;

    // How many times the static scene was painted into the cached image.
    int scenePaintCount() const { return m_scenePaints; }
    // y of the boundary line being dragged in the histogram, -1 for none.
    int dragLineY() const { return m_interaction.dragLineY(); }

    // Title of the histogram's velocity curve (print settings' curve name).
    void setCurveName(int curveName);

    // The page setup of the printed report and the figures; changed by the
    // page setup dialog only. Its curve name titles the histogram's curve.
    const PrintSettings &printSettings() const { return m_printSettings; }
    void setPrintSettings(const PrintSettings &settings);

    // Points the interval check flags (one per point; empty for none),
    // marked in the multi-trace view.
    void setFlaggedPoints(std::vector<bool> flagged);
    // Makes point `point` (1-based) current and, in the multi-trace view,
    // scrolls its row into sight.
    void showPoint(int point);

public slots:
    // "显示原始曲线图" (F2).
    void showMultiTrace();
    // "单道、多道显示切换" (toolbar).
    void toggleSingleTrace();
    // "显示原始波形" (toolbar), and after a field record was read.
    void showRawRecord();
    // "显示波形直方图" (F3).
    void showVelocityHistogram();
    // "显示时距曲线图".
    void showTimeDistance();
    // "视图放大 5%" / "视图缩小 5%".
    void zoomIn();
    void zoomOut();
    // The cursor operations of the mouse and the arrow keys, for callers
    // that place a cursor themselves.
    void MoveTimeCursor(int x);
    void MoveDepthCursor(int y);

signals:
    // The readout bar: "当前时间:"/"ms", "当前深度:"/"m" or "当前频率:"/"Hz"
    // with the cursor's value; all empty in the time-distance chart.
    void readoutChanged(const QString &label, const QString &value, const QString &unit);
    // Status panes 1 ... 6 of the current point.
    void statusTextsChanged(const QStringList &texts);
    // A right click asks for a context menu: 0 waveform (modes 0 and 1),
    // 1 layer (histogram), 2 raw record (ContextMenuId).
    void contextMenuRequested(int menuKind, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    CtalvexView(SurveyDocument &document, std::unique_ptr<TalvexSettings> settings, QWidget *parent);

    charts::ViewScene scene() const;
    // The suggestions the last scene showed.
    mutable ArrivalSuggestions::Snapshot m_sceneSuggestions;
    // Logical units to viewport pixels at the current scale and scroll.
    QTransform sceneTransform() const;
    QRect deviceRect(const QRect &logical) const;
    QPoint scrollPosition() const;
    void scrollTo(QPoint position);

    void renderCache();
    void invalidateScene();
    void updateScrollBars();
    void applyZoom(bool changed);
    void refreshReadouts();

    void surveyChanged();
    void viewStateChanged();
    // After ViewInteraction changed the view state or the drag line.
    void interactionDone(int dragLineBefore);

    SurveyDocument &m_document;
    std::unique_ptr<TalvexSettings> m_settings;
    PrintSettings m_printSettings;
    ViewZoom m_zoom;
    ViewInteraction m_interaction;
    ScrollMemory m_scrollMemory;
    ViewState m_shown; // the view state the picture shows
    int m_curveName = 0;
    std::vector<bool> m_flaggedPoints;

    QPixmap m_cache;
    bool m_cacheValid = false;
    int m_scenePaints = 0;

    CursorReadout m_readout;
    QStringList m_statusTexts;
};

} // namespace talvex
