// Resource ids of kivo.ocx.
#pragma once

#define IDD_LOADING 251
#define IDC_LOADING_BUTTON 1
#define IDC_LOADING_PROGRESS 1142
#define IDC_LOADING_TEXT 1143
#define IDC_LOADING_PERCENT 1144
