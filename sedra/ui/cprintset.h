// Print information dialog "设置打印相关信息".
#pragma once

#include "sedra/core/printinfo.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;

namespace sedra {

class CPrintSet : public QDialog {
    Q_OBJECT
public:
    explicit CPrintSet(const PrintInfo &info, QWidget *parent = nullptr);

    // The values in the fields; the caller asks "是否保存修改到打印？" and
    // applies them with applyPrintSet.
    PrintInfo edited() const;

    QLineEdit *headerEdit() const { return m_header; }
    QLineEdit *siteEdit() const { return m_site; }
    QLineEdit *pointEdit() const { return m_point; }
    QDateEdit *dateEdit() const { return m_date; }
    QCheckBox *rightValuesBox() const { return m_right; }

private:
    PrintInfo m_info;
    QLineEdit *m_header;
    QLineEdit *m_site;
    QLineEdit *m_point;
    QDateEdit *m_date;
    QCheckBox *m_right;
};

} // namespace sedra
