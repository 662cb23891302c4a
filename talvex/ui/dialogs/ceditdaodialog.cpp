#include "talvex/ui/dialogs/ceditdaodialog.h"

#include "talvex/document/surveydocument.h"
#include "talvex/ui/dialogs/dialogfields.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvex {

namespace {

float *floatField(PointDialogValues &v, int i)
{
    float *fields[7] = {&v.depth, &v.interval, &v.delay, &v.crossDistance, &v.sArrivalMs, &v.pArrivalMs, &v.rArrivalMs};
    return fields[i];
}

} // namespace

CEditDaoDialog::CEditDaoDialog(SurveyDocument &document, common::Messenger &messenger, QWidget *parent)
    : QDialog(parent), m_model(document.survey(), document.view(), document.undo(), messenger), m_messenger(messenger)
{
    setWindowTitle(QStringLiteral("测点参数修改"));
    PointDialogValues shown = m_model.values();

    const char *const labels[8]
        = {"测点深度:", "采样间隔:", "采样延时:", "跨孔距离:", "S 波初至:", "P 波初至:", "R 波初至:", "放大倍数:"};
    const char *const units[8] = {"m", "us", "ms", "m", "ms", "ms", "ms", ""};
    auto *grid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        m_fields[i] = new QLineEdit(this);
        auto *label = new QLabel(QString::fromUtf8(labels[i]), this);
        label->setBuddy(m_fields[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(m_fields[i], i, 1);
        grid->addWidget(new QLabel(QString::fromUtf8(units[i]), this), i, 2);
    }
    for (int i = 0; i < 7; ++i) {
        m_fields[i]->setText(floatFieldText(*floatField(shown, i)));
    }
    m_fields[7]->setText(QString::number(shown.gain));
    m_fields[7]->setReadOnly(true);
    m_fields[7]->setFocusPolicy(Qt::NoFocus);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    ok->setEnabled(m_model.hasPoint());
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditDaoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditDaoDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void CEditDaoDialog::accept()
{
    if (!m_model.hasPoint())
        return;
    PointDialogValues values = m_model.values();
    for (int i = 0; i < 7; ++i) {
        if (!readFloatField(m_fields[i], m_messenger, *floatField(values, i)))
            return;
    }
    // A value the model refuses (an interval of 0 with arrivals, an arrival
    // beyond the trace) keeps the dialog open with the model's message.
    if (!m_model.apply(values))
        return;
    QDialog::accept();
}

} // namespace talvex
