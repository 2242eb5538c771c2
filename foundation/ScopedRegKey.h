// Owner of an open registry key, closed with RegCloseKey. Move-only. The
// predefined roots (HKEY_LOCAL_MACHINE ...) are never closed by it.
#pragma once

#include <windows.h>

class CScopedRegKey {
public:
    CScopedRegKey() = default;
    explicit CScopedRegKey(HKEY hKey) : m_hKey(hKey) {}
    ~CScopedRegKey() { Reset(); }
    CScopedRegKey(CScopedRegKey&& other) noexcept : m_hKey(other.Release()) {}
    CScopedRegKey& operator=(CScopedRegKey&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CScopedRegKey(const CScopedRegKey&) = delete;
    CScopedRegKey& operator=(const CScopedRegKey&) = delete;

    HKEY Get() const { return m_hKey; }
    explicit operator bool() const { return m_hKey != nullptr; }

    // For the out parameter of RegOpenKeyEx and RegCreateKeyEx: closes the
    // key held and hands out the slot for the next one.
    HKEY* Receive()
    {
        Reset();
        return &m_hKey;
    }

    void Reset(HKEY hKey = nullptr)
    {
        if (m_hKey != nullptr && !IsPredefined(m_hKey))
            RegCloseKey(m_hKey);
        m_hKey = hKey;
    }
    HKEY Release()
    {
        HKEY hKey = m_hKey;
        m_hKey = nullptr;
        return hKey;
    }

private:
    // The predefined keys are the handle values with the top bit set.
    static bool IsPredefined(HKEY hKey)
    {
        return (reinterpret_cast<ULONG_PTR>(hKey) & 0x80000000u) != 0;
    }

    HKEY m_hKey = nullptr;
};
