#include "sedra/ui/waitdialog.h"

#include <QLabel>
#include <algorithm>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace sedra {

WaitDialog::WaitDialog(QWidget *parent)
    : QDialog(parent), m_text(new QLabel(this)), m_bar(new QProgressBar(this)), m_progress(new QLabel(this))
{
    setWindowTitle(QStringLiteral("正在采样数据。。。"));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    m_bar->setRange(0, 0); // busy until the first progress is known
    m_bar->setTextVisible(true);
    layout->addWidget(m_bar);
    layout->addWidget(m_progress);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    connect(cancel, &QPushButton::clicked, this, &WaitDialog::reject);
    setMinimumWidth(320);
}

void WaitDialog::setText(const QString &text)
{
    m_text->setText(text);
}

QString WaitDialog::durationText(std::chrono::milliseconds duration)
{
    const long long seconds = std::max<long long>(0, (duration.count() + 999) / 1000);
    if (seconds < 60)
        return QStringLiteral("%1 秒").arg(seconds);
    return QStringLiteral("%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void WaitDialog::setProgress(int read, int total, std::chrono::milliseconds left)
{
    m_bar->setRange(0, std::max(1, total));
    m_bar->setValue(std::clamp(read, 0, std::max(1, total)));
    m_progress->setText(
        QStringLiteral("已采集 %1 / %2 个采样，剩余时间约 %3").arg(read).arg(total).arg(durationText(left)));
}

QString WaitDialog::progressText() const
{
    return m_progress->text();
}

void WaitDialog::reject()
{
    emit cancelRequested();
}

} // namespace sedra
