// One outgoing interface of a COM object: the sinks that containers advise
// for it. The point lives inside its object and shares the object's lifetime
// (AddRef and Release go to the owner), as connection points usually do.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <functional>
#include <vector>

class CConnectionPoint final : public IConnectionPoint {
public:
    CConnectionPoint(IConnectionPointContainer* pOwner, REFIID iid);
    ~CConnectionPoint();
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;

    REFIID Interface() const { return m_iid; }
    // Calls `notify` for every advised sink, each queried for the interface.
    void ForEachSink(const std::function<void(IUnknown*)>& notify) const;
    // Releases every sink (the owner is closing).
    void UnadviseAll();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* pIID) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    STDMETHODIMP Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    STDMETHODIMP Unadvise(DWORD dwCookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** ppEnum) override;

private:
    struct Connection {
        DWORD cookie;
        IUnknown* pSink;  // holds a reference
    };

    IConnectionPointContainer* m_pOwner;
    IID m_iid;
    std::vector<Connection> m_connections;
    DWORD m_nNextCookie = 1;
};
