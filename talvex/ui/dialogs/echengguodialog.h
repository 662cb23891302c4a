#pragma once
// "成果计算显示": depth, equivalent velocity and predominant period of every
// point, one line each, and the site classes under the list. Shows only;
// both buttons close.

#include <QDialog>

class QLabel;
class QListWidget;

namespace talvex {

class SurveyData;

class EChengGuoDialog : public QDialog {
    Q_OBJECT
public:
    explicit EChengGuoDialog(const SurveyData &survey, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QLabel *siteClasses() const { return m_siteClasses; }

private:
    QListWidget *m_list = nullptr;
    QLabel *m_siteClasses = nullptr;
};

} // namespace talvex
