#include "talvex/ui/dialogs/cselectchanneldlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvex {

CSelectChannelDlg::CSelectChannelDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("选择通道"));
    auto *prompt = new QLabel(QStringLiteral("请选择要导入数据的通道数："), this);
    m_channels = new QComboBox(this);
    m_channels->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    m_channels->setCurrentIndex(0);
    prompt->setBuddy(m_channels);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSelectChannelDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSelectChannelDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_channels);
    layout->addWidget(buttons);
}

int CSelectChannelDlg::channel() const
{
    return m_channels->currentIndex() + 1;
}

} // namespace talvex
