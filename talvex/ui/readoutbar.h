#pragma once
// The readout bar beside the first toolbar: the cursor value of the view
// with its label and unit ("当前时间:" ... "ms").

#include <QWidget>

class QLabel;
class QLineEdit;

namespace talvex {

class ReadoutBar : public QWidget {
    Q_OBJECT

public:
    explicit ReadoutBar(QWidget *parent = nullptr);

    void setReadout(const QString &label, const QString &value, const QString &unit);

    QString label() const;
    QString value() const;
    QString unit() const;

private:
    QLabel *m_label = nullptr;
    QLineEdit *m_value = nullptr;
    QLabel *m_unit = nullptr;
};

} // namespace talvex
