#pragma once
// The 预览 box of the page setup dialog: paints pagePreviewGeometry() of the
// settings it was last given.

#include "talvex/settings/printsettings.h"

#include <QWidget>

namespace talvex {

class PagePreviewBox : public QWidget {
    Q_OBJECT
public:
    explicit PagePreviewBox(QWidget *parent = nullptr);

    void setSettings(const PrintSettings &settings);
    const PrintSettings &settings() const { return m_settings; }
    // How many times the box was painted (tests see that a change repaints).
    int paintCount() const { return m_paints; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PrintSettings m_settings;
    int m_paints = 0;
};

} // namespace talvex
