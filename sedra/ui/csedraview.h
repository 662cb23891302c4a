// The main view: the six bands of the record on show, cursors by mouse and
// arrow keys, the pop-up menu with the details box.
#pragma once

#include "sedra/core/sedradocument.h"
#include "sedra/render/bandpainter.h"

#include <QWidget>

namespace sedra {

class CSEDRAView : public QWidget {
    Q_OBJECT
public:
    explicit CSEDRAView(SedraDocument &document, QWidget *parent = nullptr);

    // The rectangle the bands fill; readouts go to its right.
    QRectF bandArea() const;
    // How the window draws the bands: its own font, each trace kept above
    // the strip of its band's ticks and labels.
    BandOptions bandOptions() const;
    // Shows "详细信息" (also reached through the pop-up menu).
    void showDetails();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    SedraDocument &m_document;
};

} // namespace sedra
