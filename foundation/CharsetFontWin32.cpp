#include "CharsetFont.h"

#include <cstring>
#include <utility>

const char* CharsetFaceName(BYTE charset)
{
    switch (charset) {
    case GB2312_CHARSET:
        return "SimSun";
    case CHINESEBIG5_CHARSET:
        return "MingLiU";
    default:
        return nullptr;
    }
}

UINT CharsetCodePage(BYTE charset)
{
    CHARSETINFO info = {};
    // TCI_SRCCHARSET takes the character set in the pointer argument itself.
    if (!::TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<ULONG_PTR>(charset)), &info, TCI_SRCCHARSET))
        return CP_ACP;
    return info.ciACP;
}

CFontHandle CreateCharsetFont(HWND hReference, BYTE charset, const char* faceName)
{
    LOGFONTA logFont = {};
    HFONT hCurrent = hReference ? reinterpret_cast<HFONT>(::SendMessageA(hReference, WM_GETFONT, 0, 0)) : nullptr;
    if (!hCurrent)
        hCurrent = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!hCurrent || ::GetObjectA(hCurrent, sizeof(logFont), &logFont) != sizeof(logFont))
        return CFontHandle();

    logFont.lfCharSet = charset;
    if (!faceName)
        faceName = CharsetFaceName(charset);
    if (faceName) {
        std::memset(logFont.lfFaceName, 0, sizeof(logFont.lfFaceName));
        std::strncpy(logFont.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    // The pitch and family of a Western dialog font would steer the mapper away
    // from the Chinese faces, which are fixed-pitch in their ideographs.
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    return CFontHandle(::CreateFontIndirectA(&logFont));
}

namespace {

BOOL CALLBACK SetFontOnChild(HWND hChild, LPARAM lParam)
{
    const auto* args = reinterpret_cast<const std::pair<HFONT, bool>*>(lParam);
    ::SendMessageA(hChild, WM_SETFONT, reinterpret_cast<WPARAM>(args->first), args->second ? TRUE : FALSE);
    return TRUE;
}

} // namespace

void ApplyFontToChildren(HWND hParent, HFONT hFont, bool bRedraw)
{
    if (!hParent || !hFont)
        return;
    // EnumChildWindows walks grandchildren too (controls inside child dialogs).
    const std::pair<HFONT, bool> args(hFont, bRedraw);
    ::EnumChildWindows(hParent, &SetFontOnChild, reinterpret_cast<LPARAM>(&args));
}
