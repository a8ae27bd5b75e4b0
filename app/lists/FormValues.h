#pragma once

class QCheckBox;
class QLineEdit;
class QRadioButton;

// A dialog's code giving a control a value.  As on a form, a value set from
// code runs the control's click handler where a user's click would; Qt's
// setChecked alone runs none.
namespace FormValues {

// True chooses the option and runs its click handler, also when it was
// chosen already.  False clears it and runs nothing; its group may then
// hold no choice.
void SetOption(QRadioButton* option, bool value);

// Ticks or clears the box; its click handler runs only when the value
// changes.
void SetCheck(QCheckBox* box, bool ticked);

// Enables or disables a text box and shows it: the window background
// when enabled, the button face when disabled.
void SetTextBoxEnabled(QLineEdit* box, bool enabled);

}  // namespace FormValues
