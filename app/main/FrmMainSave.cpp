// SCAFFOLD: empty bodies until this file is written.
#include "FrmMain.h"

void FrmMain::M_Popup1Save_Click() {}
void FrmMain::M_Popup1Split_Click() {}
