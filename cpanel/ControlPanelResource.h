// Resource, control and command ids of kivocp.exe, shared by its resource
// scripts, the program and the tests that drive its windows.
#pragma once

// ---- Icons and bitmaps
#define IDR_MAINFRAME 128

// Image buttons: each image and its hot twin (the image's id + 1).
#define IDB_PATH 200
#define IDB_PATH_HOT 201
#define IDB_VIEW 202
#define IDB_VIEW_HOT 203
#define IDB_RUN 204
#define IDB_RUN_HOT 205
#define IDB_EDITOR 206
#define IDB_EDITOR_HOT 207
#define IDB_HELP 208
#define IDB_HELP_HOT 209
#define IDB_CHECK 210
#define IDB_CHECK_HOT 211
#define IDB_APPLY 212
#define IDB_APPLY_HOT 213
#define IDB_OK 214
#define IDB_OK_HOT 215
#define IDB_CANCEL 216
#define IDB_CANCEL_HOT 217
#define IDB_EXIT 218
#define IDB_EXIT_HOT 219

// The sample text editor's tool buttons, in the order of a tool row, and
// its show/hide buttons.
#define IDB_DCE_OPEN 230
#define IDB_DCE_OPEN_HOT 231
#define IDB_DCE_CLOSE 232
#define IDB_DCE_CLOSE_HOT 233
#define IDB_DCE_SAVE 234
#define IDB_DCE_SAVE_HOT 235
#define IDB_DCE_CUT 236
#define IDB_DCE_CUT_HOT 237
#define IDB_DCE_COPY 238
#define IDB_DCE_COPY_HOT 239
#define IDB_DCE_COPY_ALL 240
#define IDB_DCE_COPY_ALL_HOT 241
#define IDB_DCE_PASTE 242
#define IDB_DCE_PASTE_HOT 243
#define IDB_DCE_SHOW_SOURCE 244
#define IDB_DCE_SHOW_SOURCE_HOT 245
#define IDB_DCE_SHOW_DESTINATION 246
#define IDB_DCE_SHOW_DESTINATION_HOT 247

// ---- The control panel window
#define IDD_CONTROL_PANEL 100

#define IDC_MCP_INFO 1001
#define IDC_MCP_LANGUAGE_GROUP 1002
#define IDC_MCP_LANGUAGE 1003
#define IDC_MCP_REGISTRATION_GROUP 1004
#define IDC_MCP_REGISTRATION_STATUS 1005
#define IDC_MCP_REGISTER 1006
#define IDC_MCP_PATH_GROUP 1007
#define IDC_MCP_MAIN_LABEL 1008
#define IDC_MCP_MAIN_FOLDER 1009
#define IDC_MCP_MAIN_BROWSE 1010
#define IDC_MCP_MAIN_VIEW 1011
#define IDC_MCP_LUMBRA_LABEL 1012
#define IDC_MCP_LUMBRA_FOLDER 1013
#define IDC_MCP_LUMBRA_BROWSE 1014
#define IDC_MCP_LUMBRA_VIEW 1015
#define IDC_MCP_EXE_LABEL 1016
#define IDC_MCP_LUMBRA_EXE 1017
#define IDC_MCP_EXE_BROWSE 1018
#define IDC_MCP_EXE_RUN 1019
#define IDC_MCP_WA_GROUP 1020
#define IDC_MCP_WA_NOTE 1021
#define IDC_MCP_WA_OPEN 1022
#define IDC_MCP_EDITOR 1023
#define IDC_MCP_HELP 1024
#define IDC_MCP_CHECK 1025
#define IDC_MCP_APPLY 1026

// Menu commands of the control panel window.
#define ID_TOOLS_WIZARD 32771
#define ID_TOOLS_EDITOR 32772
#define ID_TOOLS_RUN_LUMBRA 32773
#define ID_TOOLS_REGISTER 32774
#define ID_TOOLS_UNREGISTER 32775
#define ID_VIEW_ENGLISH 32776
#define ID_VIEW_SIMPLIFIED 32777
#define ID_VIEW_TRADITIONAL 32778
#define ID_HELP_HELP 32779
#define ID_HELP_ABOUT 32780

// ---- The configuration wizard's three page templates
#define IDD_WIZARD_INFO 120
#define IDD_WIZARD_ACTION 121
#define IDD_WIZARD_LOCATE 122

#define IDC_WIZ_TEXT 1201
#define IDC_WIZ_STATUS 1202
#define IDC_WIZ_ACTION 1203
#define IDC_WIZ_ACTION2 1204
#define IDC_WIZ_FOLDER_LABEL 1205
#define IDC_WIZ_FOLDER 1206
#define IDC_WIZ_FOLDER_BROWSE 1207
#define IDC_WIZ_FOLDER_VIEW 1208
#define IDC_WIZ_EXE_LABEL 1209
#define IDC_WIZ_EXE 1210
#define IDC_WIZ_EXE_BROWSE 1211
#define IDC_WIZ_EXE_RUN 1212

// ---- The installer download
#define IDD_DOWNLOAD 130

#define IDC_DL_URL_LABEL 1301
#define IDC_DL_URL 1302
#define IDC_DL_SAVE_TO_LABEL 1303
#define IDC_DL_SAVE_TO 1304
#define IDC_DL_BROWSE 1305
#define IDC_DL_INSTALL 1306
#define IDC_DL_START 1307
#define IDC_DL_PROGRESS 1308
#define IDC_DL_STATUS 1309
#define IDC_DL_SPEED 1310
#define IDC_DL_PERCENT 1311

// ---- The About box
#define IDD_ABOUT 110

#define IDC_ABOUT_ICON 1101
#define IDC_ABOUT_VERSION 1102
#define IDC_ABOUT_COPYRIGHT 1103
#define IDC_ABOUT_LINK 1104

// ---- The sample text editor
#define IDD_SAMPLE_TEXT_EDITOR 140
#define IDR_EDITOR_ACCELERATORS 141

// Each area's language list, its seven tool buttons (Open, Close, Save,
// Cut, Copy, Copy All, Paste: the first id + 0 ... 6) and its edit control.
#define IDC_DCE_SOURCE_LANGUAGE 1401
#define IDC_DCE_SOURCE_TOOLS 1402
#define IDC_DCE_SOURCE 1409
#define IDC_DCE_DESTINATION_LANGUAGE 1411
#define IDC_DCE_DESTINATION_TOOLS 1412
#define IDC_DCE_DESTINATION 1419
#define IDC_DCE_SHOW_SOURCE 1421
#define IDC_DCE_SHOW_DESTINATION 1422
#define IDC_DCE_STATUS 1423
#define IDC_DCE_BROWSER 1424

// The editor's accelerators: each acts on the target area (or the window).
#define ID_DCE_SELECT_ALL 32790
#define ID_DCE_OPEN 32791
#define ID_DCE_SAVE 32792
#define ID_DCE_ON_TOP 32793
#define ID_DCE_PASTE 32794
