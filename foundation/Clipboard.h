// The clipboard and the global memory blocks it trades in, held by objects
// that give them back on every path: the clipboard open for the life of a
// session, a block locked for the life of a lock, a block owned by the
// program until the clipboard (or a drag's receiver) takes it over.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

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
    // What the block really holds, whatever its maker claims.
    SIZE_T Size() const { return m_pData ? ::GlobalSize(m_hBlock) : 0; }

private:
    HGLOBAL m_hBlock;
    void* m_pData;
};

class CGlobalBlock {
public:
    CGlobalBlock() = default;
    CGlobalBlock(UINT uFlags, SIZE_T nBytes) : m_hBlock(::GlobalAlloc(uFlags, nBytes)) {}
    ~CGlobalBlock()
    {
        if (m_hBlock)
            ::GlobalFree(m_hBlock);
    }
    CGlobalBlock(CGlobalBlock&& other) noexcept : m_hBlock(other.Release()) {}
    CGlobalBlock& operator=(CGlobalBlock&& other) noexcept
    {
        if (this != &other) {
            if (m_hBlock)
                ::GlobalFree(m_hBlock);
            m_hBlock = other.Release();
        }
        return *this;
    }

    HGLOBAL Get() const { return m_hBlock; }
    HGLOBAL Release()
    {
        HGLOBAL hBlock = m_hBlock;
        m_hBlock = nullptr;
        return hBlock;
    }

private:
    HGLOBAL m_hBlock = nullptr;
};

// A shareable, movable block holding `nBytes` of `pData` followed by
// `nZeros` zero bytes (the terminator the reader expects). Empty on failure.
CGlobalBlock MakeGlobalBlock(const void* pData, std::size_t nBytes, std::size_t nZeros);

// The bytes of a CF_TEXT block: up to its first zero byte, or the whole
// block when it has none (a block from another program is not trusted to
// be terminated).
std::string ReadTextBlockBytes(HGLOBAL hBlock);

// The clipboard's CF_TEXT bytes (as ReadTextBlockBytes). False, with
// `strBytes` untouched, when the clipboard cannot be opened or holds no text.
bool ReadClipboardBytes(HWND hOwner, std::string& strBytes);
