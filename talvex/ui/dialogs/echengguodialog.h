#pragma once
// "成果计算显示": depth, equivalent velocity and predominant period of every
// point, one line each. Shows only; both buttons close.

#include <QDialog>

class QListWidget;

namespace talvex {

class SurveyData;

class EChengGuoDialog : public QDialog {
    Q_OBJECT
public:
    explicit EChengGuoDialog(const SurveyData &survey, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }

private:
    QListWidget *m_list = nullptr;
};

} // namespace talvex
