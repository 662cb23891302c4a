#include "talvex/ui/dialogs/pickqualitydialog.h"

#include "common/messenger.h"
#include "talvex/ui/dialogs/dialogfields.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvex {

const char *const kQualityRangeMessage = "请输入一个介于 0 和 1 之间的数。";

PickQualityDialog::PickQualityDialog(float minQuality, common::Messenger &messenger, QWidget *parent)
    : QDialog(parent), m_messenger(messenger), m_value(minQuality)
{
    setWindowTitle(QString::fromUtf8("采用全部拾取建议"));
    auto *label = new QLabel(QString::fromUtf8("最低质量(0~1):"), this);
    m_edit = new QLineEdit(floatFieldText(minQuality), this);
    m_edit->setObjectName(QStringLiteral("minQuality"));
    label->setBuddy(m_edit);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_edit);

    auto *note = new QLabel(QString::fromUtf8("质量不低于此值的拾取建议将设为尚未拾取的测点的S波初至。"), this);
    m_replace = new QCheckBox(QString::fromUtf8("替换已有的拾取"), this);
    m_replace->setObjectName(QStringLiteral("replaceExisting"));
    m_replace->setChecked(false);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QString::fromUtf8("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &PickQualityDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PickQualityDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(note);
    layout->addWidget(m_replace);
    layout->addWidget(buttons);
    m_edit->selectAll();
}

bool PickQualityDialog::replaceExisting() const
{
    return m_replace->isChecked();
}

void PickQualityDialog::accept()
{
    float value = m_value;
    if (!readFloatField(m_edit, m_messenger, value))
        return;
    if (!(value >= 0.0f && value <= 1.0f)) {
        m_messenger.show(QString::fromUtf8(kQualityRangeMessage), common::MessageKind::Warning);
        refocusField(m_edit);
        return;
    }
    m_value = value;
    QDialog::accept();
}

} // namespace talvex
