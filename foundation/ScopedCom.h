// Owners for COM: an interface pointer released when it goes out of scope,
// task memory freed with CoTaskMemFree (shell item lists and the like), and
// the calling thread's COM initialisation balanced on exit.
#pragma once

#include <objbase.h>
#include <ole2.h>
#include <windows.h>

// An interface pointer of type T, released once. Move-only.
template <class T>
class CScopedComPtr {
public:
    CScopedComPtr() = default;
    ~CScopedComPtr() { Reset(); }
    CScopedComPtr(CScopedComPtr&& other) noexcept : m_pInterface(other.m_pInterface)
    {
        other.m_pInterface = nullptr;
    }
    CScopedComPtr& operator=(CScopedComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pInterface = other.m_pInterface;
            other.m_pInterface = nullptr;
        }
        return *this;
    }
    CScopedComPtr(const CScopedComPtr&) = delete;
    CScopedComPtr& operator=(const CScopedComPtr&) = delete;

    T* Get() const { return m_pInterface; }
    T* operator->() const { return m_pInterface; }
    explicit operator bool() const { return m_pInterface != nullptr; }

    // For the out parameter of CoCreateInstance and QueryInterface.
    void** ReceiveVoid()
    {
        Reset();
        return reinterpret_cast<void**>(&m_pInterface);
    }

    void Reset()
    {
        if (m_pInterface != nullptr) {
            m_pInterface->Release();
            m_pInterface = nullptr;
        }
    }

private:
    T* m_pInterface = nullptr;
};

// A BSTR made from a wide text and freed once.
class CScopedBstr {
public:
    explicit CScopedBstr(const wchar_t* pszText) : m_bstr(::SysAllocString(pszText)) {}
    ~CScopedBstr() { ::SysFreeString(m_bstr); }
    CScopedBstr(const CScopedBstr&) = delete;
    CScopedBstr& operator=(const CScopedBstr&) = delete;

    BSTR Get() const { return m_bstr; }

private:
    BSTR m_bstr;
};

// A block of COM task memory (for example a PIDL the shell returned).
template <class T>
class CScopedCoTaskMem {
public:
    CScopedCoTaskMem() = default;
    explicit CScopedCoTaskMem(T* pMemory) : m_pMemory(pMemory) {}
    ~CScopedCoTaskMem() { CoTaskMemFree(m_pMemory); }
    CScopedCoTaskMem(const CScopedCoTaskMem&) = delete;
    CScopedCoTaskMem& operator=(const CScopedCoTaskMem&) = delete;

    T* Get() const { return m_pMemory; }
    explicit operator bool() const { return m_pMemory != nullptr; }

private:
    T* m_pMemory = nullptr;
};

// Initialises COM for the calling thread (apartment model) and uninitialises
// it on exit when this object was the one that initialised it. A thread that
// already runs COM in another model keeps it; COM is usable either way.
class CScopedComInit {
public:
    CScopedComInit() : m_hResult(CoInitialize(nullptr)) {}
    ~CScopedComInit()
    {
        if (SUCCEEDED(m_hResult))
            CoUninitialize();
    }
    CScopedComInit(const CScopedComInit&) = delete;
    CScopedComInit& operator=(const CScopedComInit&) = delete;

    // False only when COM cannot be used on this thread at all.
    bool IsUsable() const { return SUCCEEDED(m_hResult) || m_hResult == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_hResult;
};

// Initialises OLE for the calling thread (what hosting controls, drag and
// drop and the OLE clipboard need) and balances it on exit.
class CScopedOleInit {
public:
    CScopedOleInit() : m_hResult(OleInitialize(nullptr)) {}
    ~CScopedOleInit()
    {
        if (SUCCEEDED(m_hResult))
            OleUninitialize();
    }
    CScopedOleInit(const CScopedOleInit&) = delete;
    CScopedOleInit& operator=(const CScopedOleInit&) = delete;

    bool IsUsable() const { return SUCCEEDED(m_hResult); }

private:
    HRESULT m_hResult;
};
