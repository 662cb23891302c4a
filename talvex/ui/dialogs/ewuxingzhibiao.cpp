#include "talvex/ui/dialogs/ewuxingzhibiao.h"

#include "talvex/ui/dialogs/dialogfields.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvex {

EWUXINGZHIBIAO::EWUXINGZHIBIAO(common::Messenger &messenger, QWidget *parent) : QDialog(parent), m_messenger(messenger)
{
    setWindowTitle(QStringLiteral("土的物性指标计算"));

    auto *inputs = new QGroupBox(this);
    auto *inputGrid = new QGridLayout(inputs);
    const char *const inputLabels[] = {"剪切波速Vs(m/s)", "压缩波速Vp(m/s)", "土的质量密度ρ(t/m^3 或g/cm^3)"};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(QString::fromUtf8(inputLabels[i]), inputs);
        m_inputs[i] = new QLineEdit(QStringLiteral("0"), inputs);
        label->setBuddy(m_inputs[i]);
        inputGrid->addWidget(label, i, 0);
        inputGrid->addWidget(m_inputs[i], i, 1);
    }

    auto *outputs = new QGroupBox(this);
    auto *outputGrid = new QGridLayout(outputs);
    const char *const outputLabels[]
        = {"动剪切模量 Gd (kPa)：", "动弹性模量 Ed (kPa)：", "动泊松比 μd：", "与动泊松比有关系数 ηs ："};
    for (int i = 0; i < 4; ++i) {
        m_outputs[i] = new QLineEdit(QStringLiteral("0"), outputs);
        m_outputs[i]->setReadOnly(true);
        outputGrid->addWidget(new QLabel(QString::fromUtf8(outputLabels[i]), outputs), i, 0);
        outputGrid->addWidget(m_outputs[i], i, 1);
    }

    // "计算" under the inputs it reads; Enter computes.
    auto *computeButton = new QPushButton(QStringLiteral("计算"), inputs);
    computeButton->setDefault(true);
    inputGrid->addWidget(computeButton, 3, 1, Qt::AlignRight);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setAutoDefault(false);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)->setAutoDefault(false);
    connect(computeButton, &QPushButton::clicked, this, &EWUXINGZHIBIAO::compute);
    connect(buttons, &QDialogButtonBox::accepted, this, &EWUXINGZHIBIAO::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EWUXINGZHIBIAO::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(inputs);
    layout->addWidget(outputs);
    layout->addWidget(buttons);
}

void EWUXINGZHIBIAO::compute()
{
    SoilIndexInputs typed = m_values;
    if (!readFloatField(m_inputs[0], m_messenger, typed.vs) || !readFloatField(m_inputs[1], m_messenger, typed.vp)
        || !readFloatField(m_inputs[2], m_messenger, typed.density))
        return;
    m_values = typed;
    const auto indices = EWUXINGZHIBIAOModel::ComputeSoilIndices(m_values, m_messenger);
    if (!indices)
        return;
    const float shown[] = {indices->shearModulus, indices->elasticModulus, indices->poissonRatio, indices->etaS};
    for (int i = 0; i < 4; ++i)
        m_outputs[i]->setText(EWUXINGZHIBIAOModel::format(shown[i]));
}

} // namespace talvex
