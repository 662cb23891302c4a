#pragma once
// Number fields of the talvex dialogs, read as the dialogs always read them:
// blanks around the number are allowed, anything else in the box is refused
// with the standard message, the box gets the focus back with its text
// selected, and the dialog stays open.

#include <QFont>
#include <QString>
#include <optional>

class QDialog;
class QLayout;
class QLineEdit;
class QListWidget;

namespace common {
class Messenger;
}

namespace talvex {

// The whole text (blanks around it aside) as a finite single-precision
// number: "12", "-0.5", ".5", "1e3". Nothing for an empty text, a text with
// other characters, or a value a float cannot hold.
std::optional<float> parseFloatField(const QString &text);
// The whole text as a whole number within lo...hi.
std::optional<int> parseIntField(const QString &text, int lo, int hi);

// A float as a number box shows it: up to six significant digits, no
// trailing zeros ("15.05", "1.5", "0").
QString floatFieldText(float value);

extern const char *const kFloatFieldMessage; // "请输入一个数字。"
extern const char *const kIntFieldMessage; // "请输入一个整数。"
// "请输入一个介于 lo 和 hi 之间的整数。"
QString intRangeMessage(int lo, int hi);
// A fixed-pitch face for text that lines up columns with spaces, at the size
// of `base`: one whose Chinese characters are two digits wide when one is
// installed, else the platform's fixed face.
QFont fixedPitchFont(const QFont &base);
// Whether digits, spaces and letters of `font` have one width.
bool isFixedPitch(const QFont &font);

// The message for a refused integer field: its range for a whole number
// outside it (however many digits), else kIntFieldMessage.
QString intFieldMessage(const QString &text, int lo, int hi);

// Reads a number box into `value`, which holds the value the box was filled
// with: a box that still shows floatFieldText(value) keeps it exactly (six
// digits shown need not give back the same float). On a refused text shows
// the message, puts the focus back into the box with its text selected,
// leaves `value` unchanged and returns false.
bool readFloatField(QLineEdit *edit, common::Messenger &messenger, float &value);
bool readIntField(QLineEdit *edit, int lo, int hi, common::Messenger &messenger, int &value);

// Puts the focus into `edit` and selects its text (after a refused value).
void refocusField(QLineEdit *edit);

// The layout of the two layer dialogs: the layer list on the left, the fields
// above the list's buttons on the right, and 确定 below, which accepts.
void layOutLayerListDialog(QDialog *dialog, QListWidget *list, QLayout *fields, QLayout *listButtons);

} // namespace talvex
