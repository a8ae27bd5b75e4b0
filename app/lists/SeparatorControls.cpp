#include "SeparatorControls.h"

#include <QLineEdit>
#include <QRadioButton>

#include "FormValues.h"

void SeparatorControls::Load(const clsEmailList& list) const {
    FormValues::SetOption(FldTab, list.FldTab);
    FormValues::SetOption(FldCol, list.FldCol);
    FormValues::SetOption(FldCom, list.FldCom);
    FormValues::SetOption(FldSpc, list.FldSpc);
    FormValues::SetOption(FldOth, list.FldOth);
    FldSep->setText(list.FldSep);
    FormValues::SetOption(RecCr, list.RecCr);
    FormValues::SetOption(RecLf, list.RecLf);
    FormValues::SetOption(RecCrLF, list.RecCrLF);
    FormValues::SetOption(RecOth, list.RecOth);
    RecSep->setText(list.RecSep);
}

clsEmailList SeparatorControls::Values() const {
    clsEmailList values;
    WriteTo(values);
    return values;
}

void SeparatorControls::WriteTo(clsEmailList& list) const {
    list.FldTab = FldTab->isChecked();
    list.FldCol = FldCol->isChecked();
    list.FldCom = FldCom->isChecked();
    list.FldSpc = FldSpc->isChecked();
    list.FldOth = FldOth->isChecked();
    list.FldSep = FldSep->text();
    list.RecCr = RecCr->isChecked();
    list.RecLf = RecLf->isChecked();
    list.RecCrLF = RecCrLF->isChecked();
    list.RecOth = RecOth->isChecked();
    list.RecSep = RecSep->text();
}
