#include "talvex/ui/dialogs/cpointnumdialog.h"

#include "talvex/ui/dialogs/dialogfields.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace talvex {

CPointNumDialog::CPointNumDialog(int window, common::Messenger &messenger, QWidget *parent)
    : QDialog(parent), m_messenger(messenger), m_value(window)
{
    setWindowTitle(QStringLiteral("点数设定"));
    auto *label = new QLabel(QStringLiteral("平滑点数:"), this);
    m_edit = new QLineEdit(QString::number(window), this);
    label->setBuddy(m_edit);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_edit);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPointNumDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPointNumDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    m_edit->selectAll();
}

void CPointNumDialog::accept()
{
    if (!readIntField(m_edit, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), m_messenger, m_value))
        return;
    QDialog::accept();
}

} // namespace talvex
