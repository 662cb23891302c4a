#include "talvex/ui/dialogs/echengguodialog.h"

#include "talvex/analysis/echengguodialogmodel.h"
#include "talvex/ui/dialogs/dialogfields.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvex {

EChengGuoDialog::EChengGuoDialog(const SurveyData &survey, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("成果计算显示"));
    auto *heading = new QLabel(EChengGuoDialogModel::heading(), this);
    m_list = new QListWidget(this);
    m_list->addItems(EChengGuoDialogModel::lines(survey));
    // The lines line up their columns with spaces, which needs digits and
    // spaces of one width.
    m_list->setFont(fixedPitchFont(m_list->font()));
    heading->setFont(m_list->font());
    m_list->setMinimumSize(520, 300);
    m_siteClasses = new QLabel(EChengGuoDialogModel::siteLines(survey).join(QLatin1Char('\n')), this);
    m_siteClasses->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &EChengGuoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EChengGuoDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_list);
    layout->addWidget(m_siteClasses);
    layout->addWidget(buttons);
}

} // namespace talvex
