#include "ControlClient.h"

#include "KIVOAutomation.h"

void CControlClient::Attach(IDispatch* pDispatch)
{
    m_dispatch.Reset();
    if (!pDispatch)
        return;
    pDispatch->QueryInterface(IID_IDispatch, m_dispatch.ReceiveVoid());
}

short CControlClient::CodeTransfer(short* pCharCode, short* pControlCodes)
{
    short nAnswer = 0;
    return SUCCEEDED(kivoautomation::CodeTransfer(m_dispatch.Get(), pCharCode, pControlCodes, nAnswer)) ? nAnswer : 0;
}

short CControlClient::Management(short nCommand)
{
    // The control reads a second element for some commands; it stays 0.
    short nAnswer = 0;
    return SUCCEEDED(kivoautomation::Management(m_dispatch.Get(), nCommand, 0, nAnswer)) ? nAnswer : 0;
}
