#include "ConnectionPoint.h"

#include <olectl.h>

#include <new>

CConnectionPoint::CConnectionPoint(IConnectionPointContainer* pOwner, REFIID iid) : m_pOwner(pOwner), m_iid(iid) {}

CConnectionPoint::~CConnectionPoint()
{
    UnadviseAll();
}

void CConnectionPoint::ForEachSink(const std::function<void(IUnknown*)>& notify) const
{
    // A sink may unadvise while it is being called: walk a copy.
    std::vector<IUnknown*> sinks;
    for (const Connection& connection : m_connections) {
        connection.pSink->AddRef();
        sinks.push_back(connection.pSink);
    }
    for (IUnknown* pSink : sinks) {
        notify(pSink);
        pSink->Release();
    }
}

void CConnectionPoint::UnadviseAll()
{
    std::vector<Connection> connections;
    connections.swap(m_connections);
    for (const Connection& connection : connections)
        connection.pSink->Release();
}

STDMETHODIMP CConnectionPoint::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IConnectionPoint))
        return E_NOINTERFACE;
    *ppv = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CConnectionPoint::AddRef()
{
    return m_pOwner->AddRef();
}

STDMETHODIMP_(ULONG) CConnectionPoint::Release()
{
    return m_pOwner->Release();
}

STDMETHODIMP CConnectionPoint::GetConnectionInterface(IID* pIID)
{
    if (!pIID)
        return E_POINTER;
    *pIID = m_iid;
    return S_OK;
}

STDMETHODIMP CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC)
{
    if (!ppCPC)
        return E_POINTER;
    *ppCPC = m_pOwner;
    m_pOwner->AddRef();
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie)
{
    if (!pdwCookie)
        return E_POINTER;
    *pdwCookie = 0;
    if (!pUnkSink)
        return E_POINTER;
    IUnknown* pSink = nullptr;
    if (FAILED(pUnkSink->QueryInterface(m_iid, reinterpret_cast<void**>(&pSink))) || !pSink)
        return CONNECT_E_CANNOTCONNECT;
    try {
        m_connections.push_back({m_nNextCookie, pSink});
    } catch (const std::bad_alloc&) {
        pSink->Release();
        return E_OUTOFMEMORY;
    }
    *pdwCookie = m_nNextCookie++;
    if (m_nNextCookie == 0)
        m_nNextCookie = 1;  // 0 is never a cookie
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Unadvise(DWORD dwCookie)
{
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
        if (it->cookie != dwCookie)
            continue;
        IUnknown* pSink = it->pSink;
        m_connections.erase(it);
        pSink->Release();
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP CConnectionPoint::EnumConnections(IEnumConnections** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = nullptr;
    return E_NOTIMPL;
}
