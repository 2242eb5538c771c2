// Control and command identifiers of the dialogs the dialog-layer tests build
// in memory (DialogTestSupport.h).
#pragma once

enum : unsigned short {
    IDC_TEST_EDIT = 1001,
    IDC_TEST_BUTTON = 1002,
    IDC_TEST_CHECK = 1003,
    IDC_TEST_COMBO = 1004,
    IDC_TEST_LIST = 1005,
    IDC_TEST_STATIC = 1006,
    IDC_TEST_IMAGE = 1007,
    IDC_TEST_IMAGE_SINGLE = 1008,
    IDC_TEST_IMAGE_MENU = 1009,
    IDC_TEST_IMAGE_LINK = 1010,

    IDM_TEST_FIRST = 2001,
    IDM_TEST_SECOND = 2002,

    // A dialog resource that the test program does not have.
    IDD_TEST_MISSING = 9999,
};
