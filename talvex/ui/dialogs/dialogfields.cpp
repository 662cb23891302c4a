#include "talvex/ui/dialogs/dialogfields.h"

#include "common/messenger.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QLocale>
#include <cmath>
#include <limits>

namespace talvex {

const char *const kFloatFieldMessage = "请输入一个数字。";
const char *const kIntFieldMessage = "请输入一个整数。";

namespace {

QLocale fieldLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    return c;
}

} // namespace

std::optional<float> parseFloatField(const QString &text)
{
    bool ok = false;
    const double value = fieldLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(value);
}

std::optional<int> parseIntField(const QString &text, int lo, int hi)
{
    bool ok = false;
    const qlonglong value = fieldLocale().toLongLong(text.trimmed(), &ok);
    if (!ok || value < lo || value > hi)
        return std::nullopt;
    return int(value);
}

QString floatFieldText(float value)
{
    return QString::number(double(value), 'g', 6);
}

QString intRangeMessage(int lo, int hi)
{
    return QStringLiteral("请输入一个介于 %1 和 %2 之间的整数。").arg(lo).arg(hi);
}

void refocusField(QLineEdit *edit)
{
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool readFloatField(QLineEdit *edit, common::Messenger &messenger, float &value)
{
    if (edit->text() == floatFieldText(value))
        return true;
    if (const auto parsed = parseFloatField(edit->text())) {
        value = *parsed;
        return true;
    }
    messenger.show(QString::fromUtf8(kFloatFieldMessage), common::MessageKind::Warning);
    refocusField(edit);
    return false;
}

bool readIntField(QLineEdit *edit, int lo, int hi, common::Messenger &messenger, int &value)
{
    if (const auto parsed = parseIntField(edit->text(), lo, hi)) {
        value = *parsed;
        return true;
    }
    bool isNumber = false;
    fieldLocale().toLongLong(edit->text().trimmed(), &isNumber);
    messenger.show(isNumber ? intRangeMessage(lo, hi) : QString::fromUtf8(kIntFieldMessage),
                   common::MessageKind::Warning);
    refocusField(edit);
    return false;
}

void layOutLayerListDialog(QDialog *dialog, QListWidget *list, QLayout *fields, QLayout *listButtons)
{
    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addLayout(listButtons);

    auto *body = new QHBoxLayout;
    body->addWidget(list);
    body->addLayout(right, 1);

    auto *buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);

    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(body);
    layout->addWidget(buttons);
}

} // namespace talvex
