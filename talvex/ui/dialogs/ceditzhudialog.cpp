#include "talvex/ui/dialogs/ceditzhudialog.h"

#include "talvex/analysis/fieldtext.h"
#include "talvex/document/surveydocument.h"
#include "talvex/ui/dialogs/bytelimitedtextedit.h"
#include "talvex/ui/dialogs/dialogfields.h"
#include "talvex/ui/dialogs/fieldlineedit.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace talvex {

CEditZhuDialog::CEditZhuDialog(SurveyDocument &document, common::Messenger &messenger, QWidget *parent)
    : QDialog(parent), m_model(document.survey(), messenger), m_messenger(messenger)
{
    setWindowTitle(QStringLiteral("分层参数修改"));

    m_list = new QListWidget(this);
    m_list->setFixedWidth(120);
    m_top = new QLineEdit(this);
    m_top->setReadOnly(true);
    m_top->setFocusPolicy(Qt::NoFocus);
    m_bottom = new FieldLineEdit(this);
    m_velocity = new FieldLineEdit(this);
    m_description = new ByteLimitedTextEdit(int(kDescriptionBytes), this);
    m_description->setMinimumHeight(70);

    auto *fields = new QGridLayout;
    const auto addRow = [this, fields](int row, const char *label, QWidget *edit, const char *unit) {
        auto *caption = new QLabel(QString::fromUtf8(label), this);
        caption->setBuddy(edit);
        fields->addWidget(caption, row, 0);
        fields->addWidget(edit, row, 1);
        fields->addWidget(new QLabel(QString::fromUtf8(unit), this), row, 2);
    };
    addRow(0, "分层开始:", m_top, "m");
    addRow(1, "分层结束:", m_bottom, "m");
    addRow(2, "分层波速:", m_velocity, "m/s");
    auto *descriptionLabel = new QLabel(QStringLiteral("土层描述:(最多80个汉字)"), this);
    descriptionLabel->setBuddy(m_description);
    fields->addWidget(descriptionLabel, 3, 0, 1, 3);
    fields->addWidget(m_description, 4, 0, 1, 3);

    auto *add = new QPushButton(QStringLiteral("添加层"), this);
    auto *remove = new QPushButton(QStringLiteral("删除层"), this);
    auto *import = new QPushButton(QStringLiteral("导入工勘资料"), this);
    for (QPushButton *b : {add, remove, import})
        b->setAutoDefault(false);
    auto *layerButtons = new QHBoxLayout;
    layerButtons->addWidget(add);
    layerButtons->addWidget(remove);
    layerButtons->addWidget(import);
    layOutLayerListDialog(this, m_list, fields, layerButtons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        m_model.select(row);
        showFields();
    });
    connect(m_bottom, &FieldLineEdit::left, this, &CEditZhuDialog::leaveBottom);
    connect(m_velocity, &FieldLineEdit::left, this, &CEditZhuDialog::leaveVelocity);
    connect(m_description, &ByteLimitedTextEdit::left, this, &CEditZhuDialog::leaveDescription);
    connect(add, &QPushButton::clicked, this, &CEditZhuDialog::addLayer);
    connect(remove, &QPushButton::clicked, this, &CEditZhuDialog::deleteLayer);
    connect(import, &QPushButton::clicked, this, &CEditZhuDialog::importSurveyLog);

    showList();
}

QLineEdit *CEditZhuDialog::bottomEdit() const
{
    return m_bottom;
}

QLineEdit *CEditZhuDialog::velocityEdit() const
{
    return m_velocity;
}

void CEditZhuDialog::showList()
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    m_list->addItems(m_model.entries());
    m_list->setCurrentRow(m_model.selected());
    showFields();
}

void CEditZhuDialog::showFields()
{
    const bool any = m_model.selected() >= 0;
    const LayerFields &f = m_model.shown();
    m_top->setText(any ? floatFieldText(f.top) : QString());
    m_bottom->setText(any ? floatFieldText(f.bottom) : QString());
    m_velocity->setText(any ? floatFieldText(f.velocity) : QString());
    m_description->setStoredText(any ? f.description : QString());
    for (QWidget *w : {static_cast<QWidget *>(m_top), static_cast<QWidget *>(m_bottom),
                       static_cast<QWidget *>(m_velocity), static_cast<QWidget *>(m_description)})
        w->setEnabled(any);
}

bool CEditZhuDialog::readFields(LayerFields &fields)
{
    fields = m_model.shown();
    if (!readFloatField(m_bottom, m_messenger, fields.bottom)
        || !readFloatField(m_velocity, m_messenger, fields.velocity))
        return false;
    fields.description = m_description->storedText();
    return true;
}

bool CEditZhuDialog::leaveBottom()
{
    LayerFields fields;
    if (m_finished || m_model.selected() < 0)
        return true;
    if (!readFields(fields))
        return false;
    if (!m_model.leaveBottom(fields)) {
        refocusField(m_bottom);
        return false;
    }
    showFields();
    return true;
}

bool CEditZhuDialog::leaveVelocity()
{
    LayerFields fields;
    if (m_finished || m_model.selected() < 0)
        return true;
    if (!readFields(fields))
        return false;
    if (!m_model.leaveVelocity(fields)) {
        refocusField(m_bottom); // the end depth above the start is what is refused
        return false;
    }
    showFields();
    return true;
}

bool CEditZhuDialog::leaveDescription()
{
    if (m_finished || m_model.selected() < 0)
        return true;
    LayerFields fields = m_model.shown();
    fields.description = m_description->storedText();
    if (!m_model.leaveDescription(fields)) {
        m_description->setFocus(Qt::OtherFocusReason);
        return false;
    }
    showFields();
    return true;
}

void CEditZhuDialog::addLayer()
{
    if (m_model.addLayer())
        showList();
}

void CEditZhuDialog::deleteLayer()
{
    if (m_model.deleteLayer())
        showList();
}

void CEditZhuDialog::importSurveyLog()
{
    if (m_model.importSurveyLog())
        showList();
}

void CEditZhuDialog::accept()
{
    // Enter does not move the focus: store the box being edited first.
    bool stored = true;
    if (m_bottom->hasFocus())
        stored = leaveBottom();
    else if (m_velocity->hasFocus())
        stored = leaveVelocity();
    else if (m_description->hasFocus())
        stored = leaveDescription();
    if (stored)
        QDialog::accept();
}

CEditZhuDialog::~CEditZhuDialog()
{
    // Boxes losing the focus while the dialog is taken down store nothing.
    m_finished = true;
    for (QObject *o : {static_cast<QObject *>(m_list), static_cast<QObject *>(m_bottom),
                       static_cast<QObject *>(m_velocity), static_cast<QObject *>(m_description)})
        o->disconnect(this);
}

void CEditZhuDialog::done(int result)
{
    // Every change was stored as it was made; boxes that lose the focus as
    // the dialog closes store nothing more.
    m_finished = true;
    QDialog::done(result);
}

} // namespace talvex
