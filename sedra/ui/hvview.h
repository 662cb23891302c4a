// The H/V mode of the window: the three components over time with every
// window shaded kept or rejected (a click toggles a window by hand), the
// window curves with the mean curve, its band and f0, the SESAME table, the
// peaks and the depth to the stiff layer for a Vs typed in. It shows a
// record read from a file, or one that grows while it is recorded: then
// the analysis is brought up to date after every completed window and an
// indicator says when the data are enough to stop.
#pragma once

#include "sedra/core/hvanalysis.h"
#include "sedra/core/threecomponent.h"
#include "sedra/render/hvpainter.h"

#include <QWidget>
#include <memory>

class QDoubleSpinBox;
class QLabel;

namespace sedra {

class HvView : public QWidget {
    Q_OBJECT
public:
    explicit HvView(QWidget *parent = nullptr);
    ~HvView() override;

    // Analyses `record` with `options` (the Vs typed in is added); returns
    // the reason when it cannot be analysed (the view is then empty).
    QString setRecord(ThreeComponentRecord record, const HvOptions &options = {});
    // Starts a record that grows, sampled every `sampleInterval` seconds;
    // returns why it cannot be analysed, empty when it can.
    QString startLive(double sampleInterval, const HvOptions &options = {});
    // Appends samples of a growing record; returns the windows completed.
    int appendLive(const ThreeComponentRecord &added);
    // Ends a growing record: the view keeps its analysis and hand marks as
    // those of a finished record.
    void finishLive();
    bool isLive() const { return m_live != nullptr; }

    bool hasResult() const { return !result().windows.empty() || !m_record.components[0].empty(); }
    const HvResult &result() const;
    const ThreeComponentRecord &record() const { return m_record; }
    // hvDataSufficient() of the current result, as the indicator shows it.
    bool dataSufficient() const;

    // Toggles window `index` by hand: a window in use is rejected, one not
    // in use is kept. False for an index the result does not have.
    bool toggleWindow(int index);

    // Where the parts are drawn (widget coordinates).
    QRectF windowsRect() const;
    QRectF curvesRect() const;
    QLabel *sufficiencyIndicator() const { return m_indicator; }
    QDoubleSpinBox *vsEdit() const { return m_vs; }
    QDoubleSpinBox *vsSigmaEdit() const { return m_vsSigma; }

    // What the tooltip of window `index` says: its verdict and reasons.
    QString windowToolTip(int index) const;

signals:
    void resultChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    HvOptions optionsWithVs(HvOptions options) const;
    void velocityChanged();
    void resultUpdated();
    HvPaintStyle style() const;
    QRectF sideRect() const;

    ThreeComponentRecord m_record;
    HvResult m_result;
    std::unique_ptr<HvLiveAnalysis> m_live;
    QDoubleSpinBox *m_vs = nullptr;
    QDoubleSpinBox *m_vsSigma = nullptr;
    QLabel *m_indicator = nullptr;
    QLabel *m_vsLabel = nullptr;
};

} // namespace sedra
