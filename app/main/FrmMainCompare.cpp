// SCAFFOLD: empty bodies until this file is written.
#include "FrmMain.h"

void FrmMain::ConnectCompare() {}
void FrmMain::ComCompare_Click() {}
