#include "sedra/ui/cdeploydlg.h"

#include "common/gbk.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace sedra {

CDeployDlg::CDeployDlg(const SedraParameters &parameters, QWidget *parent)
    : QDialog(parent),
      m_result(parameters),
      m_site(new QLineEdit(this)),
      m_point(new QLineEdit(this)),
      m_gain(new QComboBox(this)),
      m_length(new QComboBox(this)),
      m_interval(new QLineEdit(this)),
      m_delay(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("配置采样参数"));
    const CDeployDlgModel model(parameters);
    m_site->setText(model.siteName);
    m_point->setText(model.testPoint);
    m_gain->addItems(CDeployDlgModel::gainTexts());
    m_gain->setCurrentIndex(model.gainIndex);
    m_length->addItems(CDeployDlgModel::lengthTexts());
    m_length->setCurrentIndex(model.lengthIndex);
    m_interval->setText(model.intervalText);
    m_delay->setText(model.delayText);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("工地名称"), m_site);
    form->addRow(QStringLiteral("测试点号"), m_point);
    form->addRow(QStringLiteral("放大倍数"), m_gain);
    form->addRow(QStringLiteral("采样长度"), m_length);
    form->addRow(QStringLiteral("采样间隔(us)"), m_interval);
    form->addRow(QStringLiteral("延迟时间(ms)"), m_delay);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDeployDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDeployDlg::reject);
}

void CDeployDlg::accept()
{
    CDeployDlgModel model(m_result);
    model.siteName = m_site->text();
    model.testPoint = m_point->text();
    model.gainIndex = m_gain->currentIndex();
    model.lengthIndex = m_length->currentIndex();
    model.intervalText = m_interval->text();
    model.delayText = m_delay->text();
    QString problem = model.validate();
    if (problem.isEmpty()) {
        const QString bad = common::unencodableGbk(model.siteName + model.testPoint);
        if (!bad.isEmpty())
            problem = QStringLiteral("以下字符不能保存到数据文件中，请修改：%1").arg(bad);
    }
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        return;
    }
    m_result = model.accept(m_result);
    QDialog::accept();
}

} // namespace sedra
