// SCAFFOLD: empty bodies until this file is written.
#include "FrmMain.h"

void FrmMain::M_Popup1Import_Click() {}
void FrmMain::ImportEmailList(ListPane*) {}
