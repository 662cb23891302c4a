#include "talvex/ui/dialogs/dialogfields.h"

#include "common/messenger.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QRegularExpression>
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

QString intFieldMessage(const QString &text, int lo, int hi)
{
    // Digits too many for any integer type are still a whole number: out of
    // range, not "not an integer".
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    return wholeNumber.match(text.trimmed()).hasMatch() ? intRangeMessage(lo, hi) : QString::fromUtf8(kIntFieldMessage);
}

bool readIntField(QLineEdit *edit, int lo, int hi, common::Messenger &messenger, int &value)
{
    if (const auto parsed = parseIntField(edit->text(), lo, hi)) {
        value = *parsed;
        return true;
    }
    messenger.show(intFieldMessage(edit->text(), lo, hi), common::MessageKind::Warning);
    refocusField(edit);
    return false;
}

bool isFixedPitch(const QFont &font)
{
    // Digits, spaces and letters of one width (dual-width Chinese faces are
    // not marked fixed-pitch, but are for this purpose).
    const QFontMetricsF m(font);
    const qreal digit = m.horizontalAdvance(QLatin1Char('0'));
    return digit > 0 && qAbs(m.horizontalAdvance(QLatin1Char(' ')) - digit) < 0.01
        && qAbs(m.horizontalAdvance(QLatin1Char('m')) - digit) < 0.01
        && qAbs(m.horizontalAdvance(QLatin1Char('(')) - digit) < 0.01;
}

QFont fixedPitchFont(const QFont &base)
{
    // Faces with Chinese characters exactly two digits wide come first, so a
    // heading in Chinese lines up with the digits too; then the platform's
    // fixed font, then whatever the font matching finds for "monospace" (the
    // platform's fixed font is the ordinary font where it has none).
    const QStringList families = {QStringLiteral("NSimSun"), QStringLiteral("新宋体"),
                                  QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Sarasa Mono SC")};
    const QStringList installed = QFontDatabase::families();
    QFont font = base;
    for (const QString &family : families) {
        if (!installed.contains(family))
            continue;
        font.setFamilies({family});
        const QFontMetricsF m(font);
        if (isFixedPitch(font)
            && qAbs(m.horizontalAdvance(QStringLiteral("米")) - 2 * m.horizontalAdvance(QLatin1Char('0'))) < 0.5)
            return font;
    }
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(base.pointSizeF() > 0 ? base.pointSizeF() : font.pointSizeF());
    if (isFixedPitch(font))
        return font;
    font.setFamilies({QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
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
