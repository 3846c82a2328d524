#pragma once

#include "settings/OptionsModel.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSlider;

// Binds a control (of the Options window, or a source list of the main window) to its value
// in the OptionsModel, both ways: the value takes the control's state at once, and a change
// of the value is put into the control, which runs the control's own handlers as a click does.
// Where the control cannot hold the value (a slider's range, a list's length, an option
// button of a group), the value then takes what the control shows. At binding, the value
// takes the control's state.
namespace OptionBindings {

void bind(CheckOption &value, QCheckBox *box);
void bind(FlagOption &value, QAbstractButton *button);
void bind(TextOption &value, QLineEdit *box);
void bind(NumberOption &value, QSlider *slider);
// A position beyond the list takes the value's default; when that is beyond the list too, the
// list keeps its position.
void bind(PositionOption &value, QComboBox *list);
// A list of percentages ("100%", "125%" …): the value is the percentage of the entry shown.
void bind(ZoomOption &value, QComboBox *list);

} // namespace OptionBindings
