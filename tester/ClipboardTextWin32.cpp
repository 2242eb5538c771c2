#include "ClipboardText.h"

#include <cstring>

namespace {

// The clipboard, open for the life of the object.
class CClipboardSession {
public:
    explicit CClipboardSession(HWND hOwner) : m_bOpen(::OpenClipboard(hOwner) != FALSE) {}
    ~CClipboardSession()
    {
        if (m_bOpen)
            ::CloseClipboard();
    }
    CClipboardSession(const CClipboardSession&) = delete;
    CClipboardSession& operator=(const CClipboardSession&) = delete;

    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen;
};

// A global block locked for the life of the object.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL hBlock) : m_hBlock(hBlock), m_pData(hBlock ? ::GlobalLock(hBlock) : nullptr) {}
    ~CGlobalLock()
    {
        if (m_pData)
            ::GlobalUnlock(m_hBlock);
    }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;

    void* Get() const { return m_pData; }
    SIZE_T Size() const { return m_pData ? ::GlobalSize(m_hBlock) : 0; }

private:
    HGLOBAL m_hBlock;
    void* m_pData;
};

// A global block the program owns until it hands it over.
class CGlobalBlock {
public:
    CGlobalBlock(UINT uFlags, SIZE_T nBytes) : m_hBlock(::GlobalAlloc(uFlags, nBytes)) {}
    ~CGlobalBlock()
    {
        if (m_hBlock)
            ::GlobalFree(m_hBlock);
    }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;

    HGLOBAL Get() const { return m_hBlock; }
    HGLOBAL Release()
    {
        HGLOBAL hBlock = m_hBlock;
        m_hBlock = nullptr;
        return hBlock;
    }

private:
    HGLOBAL m_hBlock;
};

void ReadBytes(const unsigned char* pData, SIZE_T nSize, CTesterText& text)
{
    const void* pZero = std::memchr(pData, 0, nSize);
    const SIZE_T nLength = pZero ? static_cast<const unsigned char*>(pZero) - pData : nSize;
    text = CTesterText();
    text.strBytes.assign(reinterpret_cast<const char*>(pData), nLength);
}

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
    CGlobalLock data(hData);
    if (!data.Get())
        return false;
    const unsigned char* pData = static_cast<const unsigned char*>(data.Get());
    if (bUnicode)
        ReadUnits(pData, data.Size(), text);
    else
        ReadBytes(pData, data.Size(), text);
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
