#include "ListDialog.h"

#include <QCloseEvent>

#include "FrmControl.h"
#include "OwnerEnabler.h"

ListDialog::ListDialog(QWidget* parent) : QDialog(parent) {}

ListDialog::~ListDialog() {
    // A caller that skips the unload still gets its window back.
    if (!m_unloaded) OwnerEnabler::SetEnabled(OwnerForm, true);
}

void ListDialog::Unload() { close(); }

void ListDialog::reject() { close(); }

void ListDialog::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}

void ListDialog::Form_Unload() {
    Cancel = true;
    Lst = nullptr;
    FrmControl::UnloadLoaded();
    OwnerEnabler::SetEnabled(OwnerForm, true);
    OwnerForm = nullptr;
}
