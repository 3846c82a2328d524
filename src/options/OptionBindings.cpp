#include "OptionBindings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

void OptionBindings::bind(CheckOption &value, QCheckBox *box)
{
    value.set(box->isChecked());
    QObject::connect(box, &QCheckBox::toggled, &value, [&value](bool on) { value.set(on); });
    QObject::connect(&value, &OptionValue::changed, box,
                     [&value, box] { box->setChecked(value.value()); });
}

void OptionBindings::bind(FlagOption &value, QAbstractButton *button)
{
    value.set(button->isChecked());
    QObject::connect(button, &QAbstractButton::toggled, &value,
                     [&value](bool on) { value.set(on); });
    QObject::connect(&value, &OptionValue::changed, button, [&value, button] {
        // An exclusive group refuses to clear its checked button by itself; clearing the
        // value must still clear the option button.
        if (!value.value() && button->isChecked() && button->autoExclusive()) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        } else {
            button->setChecked(value.value());
        }
        value.set(button->isChecked());
    });
}

void OptionBindings::bind(TextOption &value, QLineEdit *box)
{
    value.set(box->text());
    QObject::connect(box, &QLineEdit::textChanged, &value,
                     [&value](const QString &text) { value.set(text); });
    QObject::connect(&value, &OptionValue::changed, box, [&value, box] {
        if (box->text() != value.value())
            box->setText(value.value());
        value.set(box->text());
    });
}

void OptionBindings::bind(NumberOption &value, QSlider *slider)
{
    value.set(slider->value());
    QObject::connect(slider, &QSlider::valueChanged, &value, [&value](int v) { value.set(v); });
    QObject::connect(&value, &OptionValue::changed, slider, [&value, slider] {
        slider->setValue(value.value());
        value.set(slider->value());
    });
}

void OptionBindings::bind(ZoomOption &value, QComboBox *list)
{
    const auto shown = [list] { return list->currentText().chopped(1).toInt(); };
    value.set(shown());
    QObject::connect(list, &QComboBox::currentIndexChanged, &value,
                     [&value, shown] { value.set(shown()); });
    QObject::connect(&value, &OptionValue::changed, list, [&value, list, shown] {
        const int entry = list->findText(QString::number(value.value()) + QLatin1Char('%'));
        if (entry >= 0)
            list->setCurrentIndex(entry);
        value.set(shown());
    });
}

void OptionBindings::bind(PositionOption &value, QComboBox *list)
{
    value.set(qint16(list->currentIndex()));
    QObject::connect(list, &QComboBox::currentIndexChanged, &value,
                     [&value](int index) { value.set(qint16(index)); });
    QObject::connect(&value, &OptionValue::changed, list, [&value, list] {
        const auto fits = [list](int position) {
            return position >= -1 && position < list->count();
        };
        if (fits(value.value()))
            list->setCurrentIndex(value.value());
        else if (fits(value.defaultValue()))
            list->setCurrentIndex(value.defaultValue());
        value.set(qint16(list->currentIndex()));
    });
}
