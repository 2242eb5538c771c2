// The persistent state of a KIVO control: its caption, the stock colours and
// its extent, with the one property exchange that resets, loads and saves
// them through a stream or a property bag.
//
// Stream form (little-endian), written and read in this order:
//   u16 major, u16 minor          persistence version, 1.0
//   i32 cx, i32 cy                extent in HIMETRIC units
//   u32 BackColor, u32 ForeColor  OLE_COLOR values
//   u32 n, n UTF-16 units         KIVOCaption
// Property bag: "_Version" (major * 65536 + minor), "_ExtentX", "_ExtentY",
// "BackColor", "ForeColor", "KIVOCaption"; a missing value takes its default.
//
// Loading is all or nothing: a short, foreign or newer stream leaves the
// properties as they were.
#pragma once

#include <ocidl.h>
#include <oaidl.h>
#include <windows.h>

#include <string>

struct CKIVOProperties {
    std::wstring strKIVOCaption;
    OLE_COLOR backColor = 0;
    OLE_COLOR foreColor = 0;
    SIZEL extent = {0, 0};  // HIMETRIC

    // The defaults: the Simplified Chinese product name, the given colours
    // (the container's ambient ones, or the system's window colours), and
    // 42 by 18 pixels at the screen's resolution.
    static CKIVOProperties Defaults(OLE_COLOR backColor, OLE_COLOR foreColor);

    HRESULT Save(IStream* pStream) const;
    HRESULT Load(IStream* pStream);
    HRESULT Save(IPropertyBag* pBag) const;
    // Values the bag holds in a type that does not convert are reported to
    // `pErrorLog` (when given) and keep their current value.
    HRESULT Load(IPropertyBag* pBag, IErrorLog* pErrorLog);

    // Bytes Save(IStream*) writes.
    ULONG StreamSize() const;
};

// The system colours as OLE_COLOR values, which follow the user's scheme.
constexpr OLE_COLOR kSystemWindowColor = 0x80000000u | COLOR_WINDOW;
constexpr OLE_COLOR kSystemWindowTextColor = 0x80000000u | COLOR_WINDOWTEXT;

// The longest caption a stream may carry, in UTF-16 units.
constexpr ULONG kMaxStoredCaption = 1u << 20;

// HIMETRIC (0.01 mm) from pixels and back, at the screen's resolution.
SIZEL PixelsToHimetric(SIZE pixels);
SIZE HimetricToPixels(SIZEL himetric);
