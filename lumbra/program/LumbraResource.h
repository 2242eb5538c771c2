// Resource and control ids of lumbra.exe, shared by lumbra.rc, the program
// and the test that drives it.
#pragma once

// Lumbra's own word-adjustment command: its menu item, and what KIVO's
// control panel posts to the main window to open the dialog.
#define IDM_WORD_ADJUSTMENT 32890
#define IDM_EXIT 32891

#define IDR_LUMBRA_MENU 100
#define IDD_WORD_ADJUSTMENT 101

#define IDC_WA_FOLDER 1000

// The two directions' controls; the B2G ones are the G2B ones plus 100.
#define IDC_G2B_LIST 1010
#define IDC_G2B_APPLY 1011
#define IDC_G2B_ADD 1012
#define IDC_G2B_ADD_FINAL_FIX 1013
#define IDC_G2B_REMOVE 1014
#define IDC_B2G_LIST 1110
#define IDC_B2G_APPLY 1111
#define IDC_B2G_ADD 1112
#define IDC_B2G_ADD_FINAL_FIX 1113
#define IDC_B2G_REMOVE 1114
