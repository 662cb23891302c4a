#include "talvex/ui/caboutdlg.h"

#include "talvex/ui/programicon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef TALVEX_VERSION
#define TALVEX_VERSION "0.0.0"
#endif

namespace talvex {

QStringList CAboutDlg::lines()
{
    return {
        QString::fromUtf8("剪切波分析系统 2017.12.12 版"),
        QString::fromUtf8("程序版本 %1").arg(QStringLiteral(TALVEX_VERSION)),
        QString::fromUtf8("Qelvorn 工程检测仪器 版权所有"),
        QString::fromUtf8("相关规范规程：\n《建筑抗震设计规范》(GB50011－2010)\n《岩土工程勘察规范》(GB50021－2001)\n"
                          "《高层建筑岩土工程勘察规程》(JGJ72－2004)")};
}

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("关于 剪切波分析系统"));
    auto *icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    auto *texts = new QVBoxLayout;
    for (const QString &line : lines()) {
        auto *label = new QLabel(line, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        texts->addWidget(label);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace talvex
