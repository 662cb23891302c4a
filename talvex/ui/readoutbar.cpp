#include "talvex/ui/readoutbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace talvex {

ReadoutBar::ReadoutBar(QWidget *parent)
    : QWidget(parent),
      m_label(new QLabel(QString::fromUtf8("当前时间:"), this)),
      m_value(new QLineEdit(this)),
      m_unit(new QLabel(QStringLiteral("ms"), this))
{
    // Shown, not typed into: the view writes it as the cursor moves.
    m_value->setReadOnly(true);
    m_value->setFocusPolicy(Qt::NoFocus);
    m_value->setAlignment(Qt::AlignRight);
    m_value->setFixedWidth(m_value->fontMetrics().horizontalAdvance(QStringLiteral("00000.00")) + 12);
    m_unit->setMinimumWidth(m_unit->fontMetrics().horizontalAdvance(QStringLiteral("Hz")) + 4);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(4);
    layout->addWidget(m_label);
    layout->addWidget(m_value);
    layout->addWidget(m_unit);
    // Keeps its size when the toolbar row has room to spare.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void ReadoutBar::setReadout(const QString &label, const QString &value, const QString &unit)
{
    m_label->setText(label);
    m_value->setText(value);
    m_unit->setText(unit);
}

QString ReadoutBar::label() const
{
    return m_label->text();
}

QString ReadoutBar::value() const
{
    return m_value->text();
}

QString ReadoutBar::unit() const
{
    return m_unit->text();
}

} // namespace talvex
