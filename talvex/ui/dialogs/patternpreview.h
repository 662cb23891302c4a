#pragma once
// The preview of a column pattern in the survey-log dialog: the pattern's
// 150 x 100 picture stretched into the control inside a 1-pixel margin, over
// a white background. Code 0 and codes without a picture show white.

#include <QImage>
#include <QWidget>

namespace talvex {

class PatternPreview : public QWidget {
    Q_OBJECT
public:
    explicit PatternPreview(QWidget *parent = nullptr);

    void setCode(int code);
    int code() const { return m_code; }

    QSize sizeHint() const override { return {152, 102}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_code = 0;
    QImage m_picture;
};

} // namespace talvex
