// Owners of kernel handles: each closes its handle when it goes out of scope,
// so no early return leaks one. Move-only.
#pragma once

#include <windows.h>

// A handle closed with CloseHandle (files, mutexes, events, threads).
// Both null and INVALID_HANDLE_VALUE mean "none", since the functions that
// make handles disagree on which one reports failure.
class CScopedHandle {
public:
    CScopedHandle() = default;
    explicit CScopedHandle(HANDLE hHandle) : m_hHandle(hHandle) {}
    ~CScopedHandle() { Reset(); }
    CScopedHandle(CScopedHandle&& other) noexcept : m_hHandle(other.Release()) {}
    CScopedHandle& operator=(CScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    HANDLE Get() const { return m_hHandle; }
    bool IsValid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return IsValid(); }

    // Closes the handle held and takes `hHandle`. Returns false when closing failed.
    bool Reset(HANDLE hHandle = nullptr)
    {
        bool bClosed = true;
        if (IsValid())
            bClosed = CloseHandle(m_hHandle) != FALSE;
        m_hHandle = hHandle;
        return bClosed;
    }
    HANDLE Release()
    {
        HANDLE hHandle = m_hHandle;
        m_hHandle = nullptr;
        return hHandle;
    }

private:
    HANDLE m_hHandle = nullptr;
};

// A search handle of FindFirstFile, closed with FindClose.
class CScopedFindHandle {
public:
    CScopedFindHandle() = default;
    explicit CScopedFindHandle(HANDLE hFind) : m_hFind(hFind) {}
    ~CScopedFindHandle() { Reset(); }
    CScopedFindHandle(CScopedFindHandle&& other) noexcept : m_hFind(other.m_hFind)
    {
        other.m_hFind = INVALID_HANDLE_VALUE;
    }
    CScopedFindHandle& operator=(CScopedFindHandle&& other) noexcept
    {
        if (this != &other) {
            Reset(other.m_hFind);
            other.m_hFind = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    CScopedFindHandle(const CScopedFindHandle&) = delete;
    CScopedFindHandle& operator=(const CScopedFindHandle&) = delete;

    HANDLE Get() const { return m_hFind; }
    bool IsValid() const { return m_hFind != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return IsValid(); }

    void Reset(HANDLE hFind = INVALID_HANDLE_VALUE)
    {
        if (IsValid())
            FindClose(m_hFind);
        m_hFind = hFind;
    }

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
};
