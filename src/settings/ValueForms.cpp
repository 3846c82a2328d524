#include "ValueForms.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLocale>

#include <cmath>
#include <limits>

namespace {

std::optional<double> toNumber(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template <typename Int> std::optional<Int> toInteger(const QString &text)
{
    const auto value = toNumber(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value); // half to even in the default mode
    if (rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return Int(rounded);
}

} // namespace

std::optional<qint16> ValueForms::toInt16(const QString &text)
{
    return toInteger<qint16>(text);
}

std::optional<qint32> ValueForms::toInt32(const QString &text)
{
    return toInteger<qint32>(text);
}

std::optional<float> ValueForms::toSingle(const QString &text)
{
    const auto value = toNumber(text);
    if (!value || std::abs(*value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(*value);
}

std::optional<bool> ValueForms::toFlag(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto value = toNumber(t);
    if (!value)
        return std::nullopt;
    return *value != 0.0;
}

void ValueForms::setCheck(QCheckBox *box, const QString &text, const QString &defaultText)
{
    auto value = toInt16(text);
    if (!value || (*value != 0 && *value != 1))
        value = toInt16(defaultText);
    if (!value)
        return;
    box->setChecked(*value == 1);
}

QString ValueForms::checkText(const QCheckBox *box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

void ValueForms::setPosition(QComboBox *list, const QString &text, const QString &defaultText)
{
    auto value = toInt16(text);
    if (!value || *value < -1 || *value >= list->count())
        value = toInt16(defaultText);
    if (!value || *value < -1 || *value >= list->count())
        return;
    list->setCurrentIndex(*value);
}

QString ValueForms::positionText(const QComboBox *list)
{
    return QString::number(list->currentIndex());
}

void ValueForms::setFlag(QAbstractButton *button, const QString &text, const QString &defaultText)
{
    auto value = toFlag(text);
    if (!value)
        value = toFlag(defaultText);
    if (!value)
        return;
    // An exclusive group refuses to clear its checked button by itself; clearing a flag
    // must still clear the option button, as loading "False" into it does.
    if (!*value && button->isChecked() && button->autoExclusive()) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
        return;
    }
    button->setChecked(*value);
}

QString ValueForms::flagText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString ValueForms::singleText(double value)
{
    // Seven significant digits, as a single-precision number prints.
    return QString::number(float(value), 'g', 7);
}
