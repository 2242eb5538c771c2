#include "ControlClient.h"

#include "KIVOGuids.h"

namespace {

VARIANT ShortArrayArgument(short* pFirst)
{
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I2 | VT_BYREF;
    argument.piVal = pFirst;
    return argument;
}

} // namespace

void CControlClient::Attach(IDispatch* pDispatch)
{
    m_dispatch.Reset();
    if (!pDispatch)
        return;
    pDispatch->QueryInterface(IID_IDispatch, m_dispatch.ReceiveVoid());
}

short CControlClient::CodeTransfer(short* pCharCode, short* pControlCodes)
{
    if (!pCharCode || !pControlCodes)
        return 0;
    // Automation passes arguments last first.
    VARIANT arguments[2] = {ShortArrayArgument(pControlCodes), ShortArrayArgument(pCharCode)};
    return InvokeShortMethod(DispIdCodeTransfer, arguments, 2);
}

short CControlClient::Management(short nCommand)
{
    // The control reads a second element for some commands; it stays 0.
    short command[2] = {nCommand, 0};
    VARIANT argument = ShortArrayArgument(command);
    return InvokeShortMethod(DispIdManagement, &argument, 1);
}

short CControlClient::InvokeShortMethod(long nDispId, VARIANT* pArguments, unsigned nArguments)
{
    if (!m_dispatch)
        return 0;
    DISPPARAMS params = {};
    params.rgvarg = pArguments;
    params.cArgs = nArguments;
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = m_dispatch->Invoke(nDispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                          nullptr, nullptr);
    if (FAILED(hr)) {
        VariantClear(&result);
        return 0;
    }
    short nValue = 0;
    if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I2)))
        nValue = result.iVal;
    VariantClear(&result);
    return nValue;
}
