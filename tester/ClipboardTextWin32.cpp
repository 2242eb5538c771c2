#include "ClipboardText.h"

#include "Clipboard.h"

#include <cstring>

namespace {

void ReadUnits(const unsigned char* pData, SIZE_T nSize, CTesterText& text)
{
    text = CTesterText();
    text.bUnicode = true;
    for (SIZE_T i = 0; i + 1 < nSize; i += 2) {
        const char16_t unit = static_cast<char16_t>(pData[i] | pData[i + 1] << 8);
        text.strUnits.push_back(unit);
        if (unit == 0)
            break;
    }
}

} // namespace

bool ReadClipboardText(HWND hOwner, bool bUnicode, CTesterText& text)
{
    CClipboardSession clipboard(hOwner);
    if (!clipboard.IsOpen())
        return false;
    const HANDLE hData = ::GetClipboardData(bUnicode ? CF_UNICODETEXT : CF_TEXT);
    if (!hData)
        return false;
    if (!bUnicode) {
        text = CTesterText();
        text.strBytes = ReadTextBlockBytes(static_cast<HGLOBAL>(hData));
        return true;
    }
    CGlobalLock data(hData);
    if (!data.Get())
        return false;
    ReadUnits(static_cast<const unsigned char*>(data.Get()), data.Size(), text);
    return true;
}

bool WriteClipboardText(HWND hOwner, const CTesterText& text)
{
    const SIZE_T nBytes = text.bUnicode ? text.strUnits.size() * 2 : text.strBytes.size();
    CGlobalBlock block(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, nBytes + 2);
    if (!block.Get())
        return false;
    {
        CGlobalLock data(block.Get());
        unsigned char* pData = static_cast<unsigned char*>(data.Get());
        if (!pData)
            return false;
        if (text.bUnicode) {
            for (size_t i = 0; i < text.strUnits.size(); ++i) {
                pData[2 * i] = static_cast<unsigned char>(text.strUnits[i] & 0xFF);
                pData[2 * i + 1] = static_cast<unsigned char>(text.strUnits[i] >> 8);
            }
        } else if (nBytes > 0) {
            std::memcpy(pData, text.strBytes.data(), nBytes);
        }
    }
    CClipboardSession clipboard(hOwner);
    if (!clipboard.IsOpen() || !::EmptyClipboard())
        return false;
    if (!::SetClipboardData(text.bUnicode ? CF_UNICODETEXT : CF_TEXT, block.Get()))
        return false;
    block.Release();  // the clipboard owns it now
    return true;
}
