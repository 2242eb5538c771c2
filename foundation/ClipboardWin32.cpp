#include "Clipboard.h"

#include <cstring>

CGlobalBlock MakeGlobalBlock(const void* pData, std::size_t nBytes, std::size_t nZeros)
{
    CGlobalBlock block(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, nBytes + nZeros);
    if (!block.Get())
        return block;
    CGlobalLock lock(block.Get());
    if (!lock.Get())
        return CGlobalBlock();
    if (nBytes > 0)
        std::memcpy(lock.Get(), pData, nBytes);
    return block;
}

std::string ReadTextBlockBytes(HGLOBAL hBlock)
{
    CGlobalLock data(hBlock);
    if (!data.Get())
        return std::string();
    const char* pData = static_cast<const char*>(data.Get());
    const void* pZero = std::memchr(pData, 0, data.Size());
    const SIZE_T nLength = pZero ? static_cast<const char*>(pZero) - pData : data.Size();
    return std::string(pData, nLength);
}

bool ReadClipboardBytes(HWND hOwner, std::string& strBytes)
{
    CClipboardSession clipboard(hOwner);
    if (!clipboard.IsOpen())
        return false;
    const HANDLE hData = ::GetClipboardData(CF_TEXT);
    if (!hData)
        return false;
    strBytes = ReadTextBlockBytes(static_cast<HGLOBAL>(hData));
    return true;
}
