#include "sedra/ui/cprintset.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace sedra {

CPrintSet::CPrintSet(const PrintInfo &info, QWidget *parent)
    : QDialog(parent),
      m_info(info),
      m_header(new QLineEdit(info.header, this)),
      m_site(new QLineEdit(info.siteName, this)),
      m_point(new QLineEdit(info.testPoint, this)),
      m_date(new QDateEdit(info.testDate.date(), this)),
      m_right(new QCheckBox(QStringLiteral("显示右侧参数"), this))
{
    setWindowTitle(QStringLiteral("设置打印相关信息"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_right->setChecked(info.showRightValues);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("页眉:"), m_header);
    form->addRow(QStringLiteral("工地名称:"), m_site);
    form->addRow(QStringLiteral("测试点号:"), m_point);
    form->addRow(QStringLiteral("测试日期:"), m_date);
    form->addRow(m_right);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPrintSet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPrintSet::reject);
}

PrintInfo CPrintSet::edited() const
{
    PrintInfo out = m_info;
    out.header = m_header->text();
    out.siteName = m_site->text();
    out.testPoint = m_point->text();
    out.testDate = QDateTime(m_date->date(), m_info.testDate.time());
    out.showRightValues = m_right->isChecked();
    return out;
}

} // namespace sedra
