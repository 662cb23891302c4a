#include "talvex/ui/dialogs/ceditchendialog.h"

#include "talvex/analysis/fieldtext.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/document/surveydocument.h"
#include "talvex/ui/dialogs/bytelimitedtextedit.h"
#include "talvex/ui/dialogs/dialogfields.h"
#include "talvex/ui/dialogs/fieldlineedit.h"
#include "talvex/ui/dialogs/patternpreview.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace talvex {

CEditChenDialog::CEditChenDialog(SurveyDocument &document, common::Messenger &messenger, QWidget *parent)
    : QDialog(parent), m_model(document.survey(), messenger), m_messenger(messenger)
{
    setWindowTitle(QStringLiteral("工勘资料输入"));

    m_list = new QListWidget(this);
    m_list->setFixedWidth(120);
    m_top = new QLineEdit(this);
    m_top->setReadOnly(true);
    m_top->setFocusPolicy(Qt::NoFocus);
    m_bottom = new FieldLineEdit(this);
    m_soilName = new ByteLimitedTextEdit(int(kDescriptionBytes), this);
    m_soilName->setMinimumHeight(70);
    m_pattern = new QComboBox(this);
    m_pattern->addItems(patternEntries());
    m_pattern->setMaxVisibleItems(20);
    m_preview = new PatternPreview(this);

    auto *fields = new QGridLayout;
    const auto addRow = [this, fields](int row, const char *label, QWidget *edit) {
        auto *caption = new QLabel(QString::fromUtf8(label), this);
        caption->setBuddy(edit);
        fields->addWidget(caption, row, 0);
        fields->addWidget(edit, row, 1);
        fields->addWidget(new QLabel(QStringLiteral("m"), this), row, 2);
    };
    addRow(0, "分层开始:", m_top);
    addRow(1, "分层结束:", m_bottom);
    auto *nameLabel = new QLabel(QStringLiteral("土层名称:(最多80个汉字)"), this);
    nameLabel->setBuddy(m_soilName);
    fields->addWidget(nameLabel, 2, 0, 1, 3);
    fields->addWidget(m_soilName, 3, 0, 1, 3);
    auto *patternLabel = new QLabel(QStringLiteral("土层柱状图图案选择:"), this);
    patternLabel->setBuddy(m_pattern);
    fields->addWidget(patternLabel, 4, 0, 1, 3);
    fields->addWidget(m_pattern, 5, 0, 1, 3);
    fields->addWidget(m_preview, 6, 0, 1, 3, Qt::AlignHCenter);

    auto *add = new QPushButton(QStringLiteral("添加层"), this);
    auto *remove = new QPushButton(QStringLiteral("删除层"), this);
    for (QPushButton *b : {add, remove})
        b->setAutoDefault(false);
    auto *layerButtons = new QHBoxLayout;
    layerButtons->addWidget(add);
    layerButtons->addWidget(remove);
    layerButtons->addStretch(1);
    layOutLayerListDialog(this, m_list, fields, layerButtons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        m_model.select(row);
        showFields();
    });
    connect(m_bottom, &FieldLineEdit::left, this, &CEditChenDialog::leaveField);
    connect(m_soilName, &ByteLimitedTextEdit::left, this, &CEditChenDialog::leaveField);
    connect(m_pattern, &QComboBox::activated, this, &CEditChenDialog::choosePattern);
    connect(add, &QPushButton::clicked, this, &CEditChenDialog::addLayer);
    connect(remove, &QPushButton::clicked, this, &CEditChenDialog::deleteLayer);

    showList();
}

CEditChenDialog::~CEditChenDialog()
{
    // Boxes losing the focus while the dialog is taken down store nothing.
    m_finished = true;
    for (QObject *o : {static_cast<QObject *>(m_list), static_cast<QObject *>(m_bottom),
                       static_cast<QObject *>(m_soilName), static_cast<QObject *>(m_pattern)})
        o->disconnect(this);
}

QLineEdit *CEditChenDialog::bottomEdit() const
{
    return m_bottom;
}

void CEditChenDialog::showList()
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    m_list->addItems(m_model.entries());
    m_list->setCurrentRow(m_model.selected());
    showFields();
}

void CEditChenDialog::showFields()
{
    const bool any = m_model.selected() >= 0;
    const SurveyLogFields f = m_model.shown();
    m_top->setText(any ? floatFieldText(f.top) : QString());
    m_bottom->setText(any ? floatFieldText(f.bottom) : QString());
    m_soilName->setStoredText(any ? f.soilName : QString());
    m_pattern->setCurrentIndex(any ? f.patternEntry : 0);
    m_preview->setCode(any ? patternCodeForEntry(f.patternEntry) : 0);
    for (QWidget *w : {static_cast<QWidget *>(m_top), static_cast<QWidget *>(m_bottom),
                       static_cast<QWidget *>(m_soilName), static_cast<QWidget *>(m_pattern)})
        w->setEnabled(any);
}

bool CEditChenDialog::leaveField()
{
    if (m_finished || m_model.selected() < 0)
        return true;
    SurveyLogFields fields = m_model.shown();
    if (!readFloatField(m_bottom, m_messenger, fields.bottom))
        return false;
    fields.soilName = m_soilName->storedText();
    fields.patternEntry = m_pattern->currentIndex();
    if (!m_model.leaveField(fields)) {
        refocusField(m_bottom);
        return false;
    }
    showFields();
    return true;
}

void CEditChenDialog::choosePattern(int entry)
{
    if (m_finished || m_model.selected() < 0)
        return;
    // Only the pattern is stored; what is typed in the boxes stays as it is.
    if (m_model.changePattern(entry)) {
        m_pattern->setCurrentIndex(entry);
        m_preview->setCode(patternCodeForEntry(entry));
    }
}

void CEditChenDialog::addLayer()
{
    if (m_model.addLayer())
        showList();
}

void CEditChenDialog::deleteLayer()
{
    if (m_model.deleteLayer())
        showList();
}

void CEditChenDialog::accept()
{
    // Enter does not move the focus: store the box being edited first.
    if ((m_bottom->hasFocus() || m_soilName->hasFocus()) && !leaveField())
        return;
    QDialog::accept();
}

void CEditChenDialog::done(int result)
{
    // Every change was stored as it was made; boxes that lose the focus as
    // the dialog closes store nothing more.
    m_finished = true;
    QDialog::done(result);
}

} // namespace talvex
