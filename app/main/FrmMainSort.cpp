// SCAFFOLD: empty bodies until this file is written.
#include "FrmMain.h"

void FrmMain::ConnectSortHeaders() {}
void FrmMain::SortBy(ListPane*, int32_t, int32_t) {}
bool FrmMain::SortWarning() { return false; }
bool FrmMain::DuplicateWarning() { return false; }
void FrmMain::M_Popup1SortEmailAsc_Click() {}
void FrmMain::M_Popup1SortEmailDes_Click() {}
void FrmMain::M_Popup1SortDomainAsc_Click() {}
void FrmMain::M_Popup1SortDomainDes_Click() {}
void FrmMain::M_Popup1SortUserAsc_Click() {}
void FrmMain::M_Popup1SortUserDes_Click() {}
void FrmMain::M_Popup1SortFlagInvAsc_Click() {}
void FrmMain::M_Popup1SortFlagInvDes_Click() {}
void FrmMain::M_Popup1SortFlagDupAsc_Click() {}
void FrmMain::M_Popup1SortFlagDupDes_Click() {}
void FrmMain::M_Popup1SortFlagDelAsc_Click() {}
void FrmMain::M_Popup1SortFlagDelDes_Click() {}
void FrmMain::M_Popup1SortFlagComAsc_Click() {}
void FrmMain::M_Popup1SortFlagComDes_Click() {}
void FrmMain::LstDNCountry_ColumnClick(int) {}
void FrmMain::LstDNGeneric_ColumnClick(int) {}
void FrmMain::LstDNKeyword_ColumnClick(int) {}
void FrmMain::LstDNUser_ColumnClick(int) {}
