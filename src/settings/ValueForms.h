#pragma once

#include <QString>

#include <optional>

class QAbstractButton;
class QCheckBox;
class QComboBox;

// Conversions between the settings' text values and the controls that hold them. A value
// that cannot be converted never fails a load: the reader falls back to the key's default.
namespace ValueForms {

// A 16-bit integer from decimal text, rounded half to even ("2.5" is 2); nothing when the
// text is not a number or out of range.
std::optional<qint16> toInt16(const QString &text);
std::optional<qint32> toInt32(const QString &text);
// A single-precision number from decimal text.
std::optional<float> toSingle(const QString &text);
// "True"/"False" in any letter case, or a number (0 false, anything else true).
std::optional<bool> toFlag(const QString &text);

// Check form: "0" clear, "1" ticked. Setting the box runs its handlers when it changes.
void setCheck(QCheckBox *box, const QString &text, const QString &defaultText);
QString checkText(const QCheckBox *box);

// Position form: the list's position; "-1" when nothing is selected. A position that is
// not a number or lies beyond the end of the list takes the key's default instead, and
// when that is outside the list too, the list keeps its position.
void setPosition(QComboBox *list, const QString &text, const QString &defaultText);
QString positionText(const QComboBox *list);

// Flag form for option buttons.
void setFlag(QAbstractButton *button, const QString &text, const QString &defaultText);
QString flagText(bool value);

// Number form of Top and Left: the decimal text of a single-precision number.
QString singleText(double value);

} // namespace ValueForms
