#include "sedra/ui/clvbodlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace sedra {

CLVBODLG::CLVBODLG(const FilterSettings &settings, QWidget *parent)
    : QDialog(parent),
      m_result(settings),
      m_lowPass(new QLineEdit(this)),
      m_highPass(new QLineEdit(this)),
      m_kinds(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("数字滤波"));
    const CLVBODLGModel model(settings);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_lowPass->setText(model.lowPassText());
    m_highPass->setText(model.highPassText());
    form->addRow(QStringLiteral("低通截止频率（Hz）："), m_lowPass);
    form->addRow(QStringLiteral("高通截止频率（Hz）："), m_highPass);
    layout->addLayout(form);

    auto *kinds = new QHBoxLayout;
    const QStringList names{QStringLiteral("低通滤波"), QStringLiteral("高通滤波"), QStringLiteral("带通滤波"),
                            QStringLiteral("带阻滤波")};
    for (int k = 0; k < names.size(); ++k) {
        auto *radio = new QRadioButton(names[k], this);
        m_kinds->addButton(radio, k);
        kinds->addWidget(radio);
    }
    m_kinds->button(int(model.kind()))->setChecked(true);
    layout->addLayout(kinds);

    auto *channels = new QHBoxLayout;
    const QStringList channelNames{QStringLiteral("第一道"), QStringLiteral("第二道"), QStringLiteral("第三道")};
    for (int c = 0; c < 3; ++c) {
        m_channels[c] = new QCheckBox(channelNames[c], this);
        m_channels[c]->setChecked(model.channel(c));
        channels->addWidget(m_channels[c]);
    }
    layout->addLayout(channels);

    auto *hint = new QLabel(CLVBODLGModel::hint(), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLVBODLG::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLVBODLG::reject);
}

void CLVBODLG::accept()
{
    CLVBODLGModel model(m_result);
    model.setLowPassText(m_lowPass->text());
    model.setHighPassText(m_highPass->text());
    model.setKind(FilterKind(std::max(0, m_kinds->checkedId())));
    for (int c = 0; c < 3; ++c)
        model.setChannel(c, m_channels[c]->isChecked());
    m_result = model.accept(m_result);
    QDialog::accept();
}

} // namespace sedra
