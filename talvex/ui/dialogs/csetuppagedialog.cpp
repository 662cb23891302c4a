#include "talvex/ui/dialogs/csetuppagedialog.h"

#include "talvex/ui/dialogs/clampingspinbox.h"
#include "talvex/ui/dialogs/pagepreviewbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace talvex {

namespace {

ClampingSpinBox *spinBox(PrintSettingRange range, int value, QWidget *parent)
{
    auto *box = new ClampingSpinBox(range.minimum, range.maximum, parent);
    box->setValue(std::clamp(value, range.minimum, range.maximum));
    return box;
}

// A spin box with its unit after it ("mm", "个").
QHBoxLayout *withUnit(QWidget *box, const QString &unit)
{
    auto *row = new QHBoxLayout;
    row->addWidget(box, 1);
    row->addWidget(new QLabel(unit, box->parentWidget()));
    return row;
}

QCheckBox *checkBox(const QString &text, int flag, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setChecked(flag > 0);
    return box;
}

} // namespace

CSetupPageDialog::CSetupPageDialog(const PrintSettings &settings, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("页面设置"));

    m_header = new QLineEdit(settings.headerText, this);
    // Wide enough for the default heading.
    m_header->setMinimumWidth(m_header->fontMetrics().horizontalAdvance(PrintSettings{}.headerText) + 16);
    m_footer = new QComboBox(this);
    m_footer->addItems({QStringLiteral("1."), QStringLiteral(".1."), QStringLiteral("-1-"), QStringLiteral("第1页"),
                        QStringLiteral("审核人")});
    m_footer->setCurrentIndex(std::clamp(settings.footerStyle, kFooterStyleRange.minimum, kFooterStyleRange.maximum));
    m_firstPage = spinBox(kFirstPageNumberRange, settings.firstPageNumber, this);

    m_marginTop = spinBox(kMarginTopRange, settings.marginTop, this);
    m_marginBottom = spinBox(kMarginBottomRange, settings.marginBottom, this);
    m_marginLeft = spinBox(kMarginLeftRange, settings.marginLeft, this);
    m_marginRight = spinBox(kMarginRightRange, settings.marginRight, this);
    m_columns = spinBox(kColumnsPerPageRange, settings.columnsPerPage, this);
    m_rows = spinBox(kRowsPerPageRange, settings.rowsPerPage, this);

    m_waveforms = checkBox(QStringLiteral("打印原始波形图"), settings.printWaveforms, this);
    m_table = checkBox(QStringLiteral("打印时距深度表"), settings.printTable, this);
    m_velocity = checkBox(QStringLiteral("打印波速直方图"), settings.printVelocity, this);
    m_twoCurves = checkBox(QStringLiteral("打印双速度曲线"), settings.printTwoCurves, this);
    m_overburden = checkBox(QStringLiteral("打印覆盖层厚度"), settings.printOverburden, this);
    m_siteClass = checkBox(QStringLiteral("打印场地类别"), settings.printSiteClass, this);

    m_curveName = new QComboBox(this);
    m_curveName->addItems({QStringLiteral("剪切波速曲线Vs(m/s)"), QStringLiteral("压缩波速曲线Vp(m/s)")});
    m_curveName->setCurrentIndex(settings.curveName == 1 ? 1 : 0);

    m_preview = new PagePreviewBox(this);

    // Names of the fields, as the settings call them (tests find them so).
    m_header->setObjectName(QStringLiteral("headerText"));
    m_footer->setObjectName(QStringLiteral("footerStyle"));
    m_firstPage->setObjectName(QStringLiteral("firstPageNumber"));
    m_marginTop->setObjectName(QStringLiteral("marginTop"));
    m_marginBottom->setObjectName(QStringLiteral("marginBottom"));
    m_marginLeft->setObjectName(QStringLiteral("marginLeft"));
    m_marginRight->setObjectName(QStringLiteral("marginRight"));
    m_columns->setObjectName(QStringLiteral("columnsPerPage"));
    m_rows->setObjectName(QStringLiteral("rowsPerPage"));
    m_waveforms->setObjectName(QStringLiteral("printWaveforms"));
    m_siteClass->setObjectName(QStringLiteral("printSiteClass"));
    m_curveName->setObjectName(QStringLiteral("curveName"));

    // Heading and footer.
    auto *pageBox = new QGroupBox(QStringLiteral("页眉页脚"), this);
    auto *pageForm = new QFormLayout(pageBox);
    pageForm->addRow(QStringLiteral("页眉设置"), m_header);
    pageForm->addRow(QStringLiteral("页脚设置"), m_footer);
    pageForm->addRow(QStringLiteral("起始页号"), m_firstPage);

    auto *marginBox = new QGroupBox(QStringLiteral("页边距"), this);
    auto *marginGrid = new QGridLayout(marginBox);
    marginGrid->addWidget(new QLabel(QStringLiteral("上边距"), marginBox), 0, 0);
    marginGrid->addLayout(withUnit(m_marginTop, QStringLiteral("mm")), 0, 1);
    marginGrid->addWidget(new QLabel(QStringLiteral("下边距"), marginBox), 0, 2);
    marginGrid->addLayout(withUnit(m_marginBottom, QStringLiteral("mm")), 0, 3);
    marginGrid->addWidget(new QLabel(QStringLiteral("左边距"), marginBox), 1, 0);
    marginGrid->addLayout(withUnit(m_marginLeft, QStringLiteral("mm")), 1, 1);
    marginGrid->addWidget(new QLabel(QStringLiteral("右边距"), marginBox), 1, 2);
    marginGrid->addLayout(withUnit(m_marginRight, QStringLiteral("mm")), 1, 3);

    auto *gridBox = new QGroupBox(QStringLiteral("原始波形排列"), this);
    auto *gridLayout = new QGridLayout(gridBox);
    gridLayout->addWidget(new QLabel(QStringLiteral("列　数"), gridBox), 0, 0);
    gridLayout->addLayout(withUnit(m_columns, QStringLiteral("个")), 0, 1);
    gridLayout->addWidget(new QLabel(QStringLiteral("行　数"), gridBox), 1, 0);
    gridLayout->addLayout(withUnit(m_rows, QStringLiteral("个")), 1, 1);
    gridLayout->setColumnStretch(2, 1);

    auto *contentBox = new QGroupBox(QStringLiteral("打印内容"), this);
    auto *contentGrid = new QGridLayout(contentBox);
    contentGrid->addWidget(m_waveforms, 0, 0);
    contentGrid->addWidget(m_table, 0, 1);
    contentGrid->addWidget(m_velocity, 1, 0);
    contentGrid->addWidget(m_twoCurves, 1, 1);
    contentGrid->addWidget(m_overburden, 2, 0);
    contentGrid->addWidget(m_siteClass, 3, 0);
    auto *curveRow = new QHBoxLayout;
    curveRow->addWidget(new QLabel(QStringLiteral("波速曲线名称："), contentBox));
    curveRow->addWidget(m_curveName, 1);
    contentGrid->addLayout(curveRow, 4, 0, 1, 2);

    auto *previewGroup = new QGroupBox(QStringLiteral("预览"), this);
    auto *previewLayout = new QVBoxLayout(previewGroup);
    previewLayout->addWidget(m_preview, 0, Qt::AlignCenter);

    auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetupPageDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetupPageDialog::reject);

    auto *fields = new QVBoxLayout;
    fields->addWidget(pageBox);
    fields->addWidget(marginBox);
    fields->addWidget(gridBox);
    fields->addWidget(contentBox);
    fields->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(previewGroup);
    layout->addWidget(buttons);

    // The preview follows the margins, the grid and the two lists.
    for (ClampingSpinBox *box : {m_marginTop, m_marginBottom, m_marginLeft, m_marginRight, m_columns, m_rows})
        connect(box, &QSpinBox::valueChanged, this, &CSetupPageDialog::updatePreview);
    connect(m_footer, &QComboBox::currentIndexChanged, this, &CSetupPageDialog::updatePreview);
    connect(m_curveName, &QComboBox::currentIndexChanged, this, &CSetupPageDialog::updatePreview);
    updatePreview();
    m_header->setFocus();
}

PrintSettings CSetupPageDialog::settings() const
{
    PrintSettings settings;
    settings.headerText = m_header->text();
    settings.footerStyle = m_footer->currentIndex();
    settings.firstPageNumber = m_firstPage->value();
    settings.marginTop = m_marginTop->value();
    settings.marginBottom = m_marginBottom->value();
    settings.marginLeft = m_marginLeft->value();
    settings.marginRight = m_marginRight->value();
    settings.rowsPerPage = m_rows->value();
    settings.columnsPerPage = m_columns->value();
    settings.printWaveforms = m_waveforms->isChecked() ? 1 : 0;
    settings.printTable = m_table->isChecked() ? 1 : 0;
    settings.printVelocity = m_velocity->isChecked() ? 1 : 0;
    settings.printTwoCurves = m_twoCurves->isChecked() ? 1 : 0;
    settings.printOverburden = m_overburden->isChecked() ? 1 : 0;
    settings.printSiteClass = m_siteClass->isChecked() ? 1 : 0;
    settings.curveName = m_curveName->currentIndex();
    return settings;
}

void CSetupPageDialog::accept()
{
    // A number still being typed (Enter or a click on 确定) counts, limited
    // to its range.
    for (ClampingSpinBox *box :
         {m_firstPage, m_marginTop, m_marginBottom, m_marginLeft, m_marginRight, m_columns, m_rows})
        box->interpretText();
    QDialog::accept();
}

void CSetupPageDialog::updatePreview()
{
    m_preview->setSettings(settings());
}

} // namespace talvex
