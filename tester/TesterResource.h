// Resource and control ids of kivotester.exe, shared by kivotester.rc, the
// dialog code and the tests that drive the dialog.
#pragma once

#define IDD_KIVOTESTER 100

#define IDC_SOURCE_EDIT 1001
#define IDC_RESULT_EDIT 1002
#define IDC_EDIT_FROM 1003
#define IDC_EDIT_TO 1004
#define IDC_EDIT_TRANSFER 1005
#define IDC_CLIPBOARD_FROM 1006
#define IDC_CLIPBOARD_TO 1007
#define IDC_CLIPBOARD_TRANSFER 1008
#define IDC_APPLY_PROFILE 1009
#define IDC_KIVO 1010

// The control's CLSID as the container reads it from the template; the
// dialog code checks it against KIVOGuids.h at compile time.
#define KIVO_CTRL_CLSID_TEXT "{945D922E-A5D1-4CB1-8D67-BED0263190A0}"
