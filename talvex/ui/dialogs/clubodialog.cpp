#include "talvex/ui/dialogs/clubodialog.h"

#include "common/messenger.h"
#include "talvex/ui/dialogs/dialogfields.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace talvex {

CLuBoDialog::CLuBoDialog(const FilterSettings &remembered, common::Messenger &messenger, float traceInterval,
                         QWidget *parent)
    : QDialog(parent), m_model(remembered), m_messenger(messenger)
{
    m_model.setTraceInterval(traceInterval);
    setWindowTitle(QStringLiteral("滤波设定"));

    m_upperLabel = new QLabel(QStringLiteral("滤波上限:"), this);
    m_lowerLabel = new QLabel(QStringLiteral("滤波下限:"), this);
    m_upper = new QLineEdit(this);
    m_lower = new QLineEdit(this);
    // The upper box takes digits only.
    m_upper->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_upper));
    m_upperLabel->setBuddy(m_upper);
    m_lowerLabel->setBuddy(m_lower);

    auto *fields = new QGridLayout;
    fields->addWidget(m_upperLabel, 0, 0);
    fields->addWidget(m_upper, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Hz"), this), 0, 2);
    fields->addWidget(m_lowerLabel, 1, 0);
    fields->addWidget(m_lower, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Hz"), this), 1, 2);

    auto *group = new QGroupBox(QStringLiteral("滤波方式"), this);
    auto *groupLayout = new QGridLayout(group);
    m_kinds = new QButtonGroup(this);
    const char *const names[] = {"低通滤波", "高通滤波", "带通滤波", "带阻滤波"};
    for (int kind = 0; kind < 4; ++kind) {
        auto *radio = new QRadioButton(QString::fromUtf8(names[kind]), group);
        m_kinds->addButton(radio, kind);
        groupLayout->addWidget(radio, kind / 2, kind % 2);
    }
    connect(m_kinds, &QButtonGroup::idClicked, this, &CLuBoDialog::chooseKind);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLuBoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLuBoDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(group);
    layout->addWidget(buttons);

    // Opening runs the choice of the remembered kind: its defaults are shown.
    m_kinds->button(int(m_model.kind()))->setChecked(true);
    showModel();
}

void CLuBoDialog::chooseKind(int kind)
{
    m_model.selectKind(FilterKind(kind));
    showModel();
}

void CLuBoDialog::showModel()
{
    m_upper->setEnabled(m_model.upperEnabled());
    m_lower->setEnabled(m_model.lowerEnabled());
    m_upperLabel->setText(m_model.upperLabel());
    m_lowerLabel->setText(m_model.lowerLabel());
    m_upper->setText(QString::number(m_model.upper()));
    m_lower->setText(QString::number(m_model.lower()));
}

bool CLuBoDialog::readFrequency(QLineEdit *edit, qint16 &value)
{
    const auto parsed = CLuBoDialogModel::parseFrequency(edit->text());
    if (!parsed) {
        m_messenger.show(intFieldMessage(edit->text(), -32768, 32767), common::MessageKind::Warning);
        refocusField(edit);
        return false;
    }
    value = *parsed;
    return true;
}

void CLuBoDialog::accept()
{
    qint16 upper = 0;
    qint16 lower = 0;
    if (!readFrequency(m_upper, upper) || !readFrequency(m_lower, lower))
        return;
    m_model.setUpper(upper);
    m_model.setLower(lower);
    if (const QString why = m_model.problem(); !why.isEmpty()) {
        m_messenger.show(why, common::MessageKind::Warning);
        refocusField(m_model.upperEnabled() ? m_upper : m_lower);
        return;
    }
    QDialog::accept();
}

} // namespace talvex
