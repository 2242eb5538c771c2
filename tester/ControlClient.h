// The tester's hold on the hosted control: its dispatch interface and the
// two automation methods the tester calls, made as any outside host makes
// them (IDispatch::Invoke with the published dispatch numbers).
#pragma once

#include "ScopedCom.h"
#include "TesterTransfer.h"

#include <oaidl.h>

class CControlClient : public CCodeTransferCall {
public:
    CControlClient() = default;
    // Takes a reference of its own on `pDispatch`; null detaches.
    void Attach(IDispatch* pDispatch);
    void Detach() { m_dispatch.Reset(); }
    bool IsAttached() const { return static_cast<bool>(m_dispatch); }

    // CodeTransfer (DISPID 3): CharCode and ControlCodes by reference to
    // their first element. 0 when the call could not be made.
    short CodeTransfer(short* pCharCode, short* pControlCodes) override;
    // Management (DISPID 2) with one command; 0 when the call could not be made.
    short Management(short nCommand);

private:
    CScopedComPtr<IDispatch> m_dispatch;
};
