// Fonts by character set, so that Chinese interface texts show.
//
// A control draws its text with its font; bytes of GBK or Big5 only come out
// as Chinese when that font has the matching character set (GB2312_CHARSET 134,
// CHINESEBIG5_CHARSET 136), and an English system's dialog font has not. These
// functions make a font like a window's own (same height and weight) in a given
// character set and hand it to a window and all its children.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

// The face asked for with a character set: the system's usual Chinese faces
// for 134 and 136, none (the reference font's own face) for any other set.
// The font mapper still picks by character set first when the face is missing.
const char* CharsetFaceName(BYTE charset);

// The code page that texts in fonts of `charset` use (936 for 134, 950 for 136,
// 1252 for ANSI_CHARSET ...); CP_ACP when the system does not know the set.
UINT CharsetCodePage(BYTE charset);

// A new font like the one `hReference` uses (the system's dialog font when the
// window has none or is null) in `charset`, with `faceName`, or
// CharsetFaceName(charset) when `faceName` is null. Empty on failure.
CFontHandle CreateCharsetFont(HWND hReference, BYTE charset, const char* faceName = nullptr);

// Sets `hFont` on every window below `hParent` (grandchildren too), not on
// `hParent` itself: a dialog keeps answering WM_GETFONT with its template
// font, which it frees itself, so fonts made from it keep the same size. The
// font must outlive the children: keep its holder beside the window
// (CDialog::ApplyCharsetFont does).
void ApplyFontToChildren(HWND hParent, HFONT hFont, bool bRedraw = true);
