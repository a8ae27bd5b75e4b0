// SCAFFOLD: empty bodies until this file is written.
#include "FrmMain.h"

void FrmMain::ConnectWorkspacePanes() {}
void FrmMain::VL_left_ItemTextCallback(int32_t, int32_t, QString&) {}
void FrmMain::VL_left_ItemImageCallback(int32_t, int32_t, int16_t&) {}
void FrmMain::VL_left_MouseDown(int16_t, int32_t, int32_t, int32_t) {}
void FrmMain::VL_left_ColumnClick(int32_t) {}
void FrmMain::VL_right_ItemTextCallback(int32_t, int32_t, QString&) {}
void FrmMain::VL_right_ItemImageCallback(int32_t, int32_t, int16_t&) {}
void FrmMain::VL_right_MouseDown(int16_t, int32_t, int32_t, int32_t) {}
void FrmMain::VL_right_ColumnClick(int32_t) {}
