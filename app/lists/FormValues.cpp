#include "FormValues.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>

#include "SystemColors.h"

namespace FormValues {

void SetOption(QRadioButton* option, bool value) {
    if (option == nullptr) return;
    if (value) {
        option->setChecked(true);
        emit option->clicked(true);
        return;
    }
    if (!option->isChecked()) return;
    // Siblings would keep one option chosen; a group may hold none.
    const bool exclusive = option->autoExclusive();
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(exclusive);
}

void SetCheck(QCheckBox* box, bool ticked) {
    if (box == nullptr || box->isChecked() == ticked) return;
    box->setChecked(ticked);
    emit box->clicked(ticked);
}

void SetTextBoxEnabled(QLineEdit* box, bool enabled) {
    if (box == nullptr) return;
    box->setEnabled(enabled);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, SystemColors::FromOle(enabled ? SystemColors::kWindow : SystemColors::kButtonFace));
    box->setPalette(p);
}

}  // namespace FormValues
