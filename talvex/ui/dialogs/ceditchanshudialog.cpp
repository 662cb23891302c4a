#include "talvex/ui/dialogs/ceditchanshudialog.h"

#include "common/messenger.h"
#include "talvex/analysis/ceditchanshudialogmodel.h"
#include "talvex/document/surveydocument.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/ui/dialogs/dialogfields.h"
#include "talvex/ui/dialogs/typinglimitvalidator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace talvex {

namespace {

constexpr HoleText kTextFields[4]
    = {HoleText::ProjectName, HoleText::HoleNumber, HoleText::Personnel, HoleText::TestDate};

float *numberField(HoleParameters &v, int i)
{
    float *fields[6]
        = {&v.holeDepth, &v.pointSpacing, &v.plankLength, &v.sourceDistance, &v.overburden, &v.computationDepth};
    return fields[i];
}

} // namespace

CEditChanShuDialog::CEditChanShuDialog(SurveyDocument &document, Purpose purpose, common::Messenger &messenger,
                                       QWidget *parent)
    : QDialog(parent), m_document(document), m_purpose(purpose), m_messenger(messenger)
{
    if (purpose == Purpose::NewSurvey) {
        setWindowTitle(QStringLiteral("建立新文件对话框"));
        m_values = newSurveyDefaults(document.survey(), QDate::currentDate());
    } else {
        setWindowTitle(QStringLiteral("测孔参数修改"));
        m_values = document.survey().header;
    }

    auto *grid = new QGridLayout;
    const auto addLabel = [this, grid](const char *text, QWidget *buddy, int row, int column) {
        auto *label = new QLabel(QString::fromUtf8(text), this);
        label->setBuddy(buddy);
        grid->addWidget(label, row, column);
    };
    const auto addUnit
        = [this, grid](int row, int column) { grid->addWidget(new QLabel(QStringLiteral("m"), this), row, column); };

    for (int i = 0; i < 4; ++i)
        m_texts[i] = new QLineEdit(this);
    // The project name is limited to 24 characters as typed (a longer stored
    // name is shown and kept); the other texts to the bytes of their fields.
    const HoleParameters sizes;
    const std::pair<TypingLimitValidator::Unit, int> limits[4]
        = {{TypingLimitValidator::Unit::Characters, CEditChanShuDialogModel::kProjectNameMaxChars},
           {TypingLimitValidator::Unit::GbkBytes, int(sizes.holeNumber.size())},
           {TypingLimitValidator::Unit::GbkBytes, int(sizes.personnel.size())},
           {TypingLimitValidator::Unit::GbkBytes, int(sizes.testDate.size())}};
    for (int i = 0; i < 4; ++i) {
        auto *validator = new TypingLimitValidator(limits[i].first, limits[i].second, m_texts[i]);
        validator->setStoredText(m_texts[i], CEditChanShuDialogModel::text(m_values, kTextFields[i]));
    }

    for (int i = 0; i < 6; ++i) {
        m_numbers[i] = new QLineEdit(floatFieldText(*numberField(m_values, i)), this);
    }

    m_personnelLabel = new QComboBox(this);
    m_personnelLabel->addItems({QStringLiteral("测 试 人:"), QStringLiteral("测试单位:"), QStringLiteral("测试仪器:")});
    m_personnelLabel->setCurrentIndex(std::clamp(m_values.personnelLabel, 0, 2));
    m_method = new QComboBox(this);
    m_method->addItems({QStringLiteral("单孔"), QStringLiteral("跨孔")});
    m_method->setCurrentIndex(m_values.method != 0 ? 1 : 0);
    m_microtremor = new QCheckBox(QStringLiteral("地脉动测试"), this);
    m_microtremor->setChecked(m_values.microtremorTest != 0);

    addLabel("工 程 名:", m_texts[0], 0, 0);
    grid->addWidget(m_texts[0], 0, 1, 1, 5);
    addLabel("孔 编 号:", m_texts[1], 1, 0);
    grid->addWidget(m_texts[1], 1, 1);
    addLabel("测试日期:", m_texts[3], 1, 3);
    grid->addWidget(m_texts[3], 1, 4);
    grid->addWidget(m_personnelLabel, 2, 0);
    grid->addWidget(m_texts[2], 2, 1);
    addLabel("测试方法:", m_method, 2, 3);
    grid->addWidget(m_method, 2, 4);
    const char *const numberLabels[6]
        = {"测孔深度:", "测点间隔:", "激振板长:", "激振距离:", "覆盖层厚度:", "覆盖层计算厚度:"};
    for (int i = 0; i < 6; ++i) {
        const int row = 3 + i / 2;
        const int column = (i % 2) * 3;
        addLabel(numberLabels[i], m_numbers[i], row, column);
        grid->addWidget(m_numbers[i], row, column + 1);
        addUnit(row, column + 2);
    }
    grid->addWidget(m_microtremor, 6, 0, 1, 3);
    grid->setColumnMinimumWidth(2, 16);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    // Tab goes through the boxes as they are laid out: by rows.
    const QList<QWidget *> order
        = {m_texts[0],   m_texts[1],   m_texts[3],   m_personnelLabel, m_texts[2],   m_method,     m_numbers[0],
           m_numbers[1], m_numbers[2], m_numbers[3], m_numbers[4],     m_numbers[5], m_microtremor};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditChanShuDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditChanShuDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

bool CEditChanShuDialog::readValues(HoleParameters &values)
{
    CEditChanShuDialogModel model(m_document.survey(), m_document.undo(), m_messenger);
    for (int i = 0; i < 4; ++i) {
        if (!model.setText(values, kTextFields[i], m_texts[i]->text())) {
            refocusField(m_texts[i]);
            return false;
        }
    }
    for (int i = 0; i < 6; ++i) {
        if (!readFloatField(m_numbers[i], m_messenger, *numberField(values, i)))
            return false;
    }
    values.personnelLabel = m_personnelLabel->currentIndex();
    // A stored method other than 0 and 1 is a cross-hole test too: it is kept
    // unless the user chooses the other method.
    if (m_method->currentIndex() != (values.method != 0 ? 1 : 0))
        values.method = std::uint8_t(m_method->currentIndex());
    values.microtremorTest = m_microtremor->isChecked() ? 1 : 0;
    if (!model.validate(values, m_purpose == Purpose::NewSurvey)) {
        if (const auto field = model.refusedField())
            refocusField(m_numbers[int(*field)]);
        return false;
    }
    return true;
}

void CEditChanShuDialog::accept()
{
    HoleParameters values = m_values;
    if (!readValues(values))
        return;
    if (m_purpose == Purpose::NewSurvey) {
        m_document.newSurvey(values);
    } else {
        CEditChanShuDialogModel model(m_document.survey(), m_document.undo(), m_messenger);
        if (!model.apply(values))
            return;
    }
    m_values = values;
    QDialog::accept();
}

} // namespace talvex
