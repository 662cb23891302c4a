#include "sedra/ui/waitdialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace sedra {

WaitDialog::WaitDialog(QWidget *parent) : QDialog(parent), m_text(new QLabel(this))
{
    setWindowTitle(QStringLiteral("正在采样数据。。。"));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    auto *busy = new QProgressBar(this);
    busy->setRange(0, 0);
    layout->addWidget(busy);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    connect(cancel, &QPushButton::clicked, this, &WaitDialog::reject);
    setMinimumWidth(280);
}

void WaitDialog::setText(const QString &text)
{
    m_text->setText(text);
}

void WaitDialog::reject()
{
    emit cancelRequested();
}

} // namespace sedra
