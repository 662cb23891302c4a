#include "kivaro/ui/caboutdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivaro {

CAboutDialog::CAboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于 KIVARO"));
    auto *layout = new QVBoxLayout(this);
    // The suite's one version number, the same that KIVARO --version prints.
    auto *line = new QLabel(QStringLiteral("KIVARO %1 版").arg(QStringLiteral(PROJECT_VERSION)), this);
    layout->addWidget(line);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}

} // namespace kivaro
