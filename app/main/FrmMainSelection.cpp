// SCAFFOLD: empty bodies until this file is written.
#include "FrmMain.h"

void FrmMain::ConnectPaneButtons() {}
void FrmMain::M_Popup1SelectAll_Click() {}
void FrmMain::M_Popup1DeselectAll_Click() {}
void FrmMain::M_Popup1Invert_Click() {}
void FrmMain::ComSLImp_Click() {}
void FrmMain::ComSRImp_Click() {}
void FrmMain::ComSLSave_Click() {}
void FrmMain::ComSRSave_Click() {}
void FrmMain::ComSLSelAll_Click() {}
void FrmMain::ComSRSelAll_Click() {}
void FrmMain::ComSLDesAll_Click() {}
void FrmMain::ComSRDesAll_Click() {}
void FrmMain::ComSLInvSel_Click() {}
void FrmMain::ComSRInvSel_Click() {}
