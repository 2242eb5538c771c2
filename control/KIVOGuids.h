// The fixed GUIDs of the KIVO control, shared by the control, the control
// panel's registration check and the tester. They repeat kivo.idl.
#pragma once

#include <guiddef.h>

// Type library KIVOLib 1.0.
constexpr GUID LIBID_KIVOLib = {0x68C9D6DE, 0x4B7E, 0x44A3, {0xBA, 0xE9, 0x50, 0xE3, 0xD9, 0x3B, 0xAB, 0xBF}};
constexpr GUID DIID_DKIVO = {0xA2BEAFEE, 0x52CF, 0x42CA, {0x9B, 0xEA, 0xC0, 0x8B, 0x1F, 0x2D, 0x41, 0x71}};
constexpr GUID DIID_DKIVOEvents = {0x808C9EEB, 0x0399, 0x47AD, {0x98, 0x21, 0x46, 0x85, 0x6A, 0xAA, 0x2A, 0xC6}};
constexpr GUID CLSID_KIVOCtrl = {0x945D922E, 0xA5D1, 0x4CB1, {0x8D, 0x67, 0xBE, 0xD0, 0x26, 0x31, 0x90, 0xA0}};
constexpr GUID DIID_IDlgKIVO = {0x1BC439A6, 0x03BA, 0x45EB, {0x8F, 0xFB, 0x61, 0x3B, 0xB7, 0xC6, 0x66, 0xF0}};
// The enum KIVOTransferCode, the transfer codes by name.
constexpr GUID GUID_KIVOTransferCode = {0xC6F9A2AA, 0x8358, 0x449B, {0xA5, 0x79, 0xC2, 0x09, 0xB6, 0xDC, 0x77, 0x77}};
constexpr GUID CLSID_DlgKIVO = {0x4B70D030, 0xB4DC, 0x4BC1, {0x9C, 0x1D, 0x4B, 0xF9, 0x36, 0x64, 0xB6, 0x5A}};
// The control's property page (not in the type library).
constexpr GUID CLSID_KIVOPropPage = {0xD4077C9B, 0x9EE3, 0x467E, {0xB0, 0xFD, 0xA9, 0xD2, 0xA4, 0x30, 0x9C, 0x75}};

// The same values as registry texts.
constexpr char kLibidKIVOLibText[] = "{68C9D6DE-4B7E-44A3-BAE9-50E3D93BABBF}";
constexpr char kClsidKIVOCtrlText[] = "{945D922E-A5D1-4CB1-8D67-BED0263190A0}";
constexpr char kClsidKIVOPropPageText[] = "{D4077C9B-9EE3-467E-B0FD-A9D2A4309C75}";

constexpr char kKIVOCtrlProgId[] = "KIVO.KIVOCtrl.1";
constexpr char kKIVOCtrlVersionIndependentProgId[] = "KIVO.KIVOCtrl";
constexpr char kKIVOCtrlTypeName[] = "KIVO Control";
constexpr char kKIVOPropPageProgId[] = "KIVO.KIVOPropPage.1";
constexpr char kKIVOPropPageTypeName[] = "KIVO Property Page";
constexpr unsigned short kKIVOLibMajor = 1;
constexpr unsigned short kKIVOLibMinor = 0;

// Dispatch numbers of _DKIVO.
enum KIVODispId : long {
    DispIdKIVOCaption = 1,
    DispIdManagement = 2,
    DispIdCodeTransfer = 3,
    DispIdConvertText = 4,
    DispIdBackColor = -501,  // the stock BackColor
    DispIdForeColor = -513,  // the stock ForeColor
};
