// SCAFFOLD: empty bodies until this file is written.
#include "FrmMain.h"

void FrmMain::ConnectFlagBoxes() {}
void FrmMain::FinishOkInv() {}
void FrmMain::FinishOkDup() {}
void FrmMain::FinishOkDel() {}
void FrmMain::ChkMarkInvLeft_Click() {}
void FrmMain::ChkMarkInvRight_Click() {}
void FrmMain::ChkMarkDupLeft_Click() {}
void FrmMain::ChkMarkDupRight_Click() {}
void FrmMain::ChkMarkDelleft_Click() {}
void FrmMain::ChkMarkDelRight_Click() {}
