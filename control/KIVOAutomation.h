// Calling the control's array methods as an in-process host does: through
// IDispatch::Invoke, each array passed as VT_I2|VT_BYREF to its first element
// (the array's length does not travel). Shared by the programs that host the
// control; they include this header and KIVOGuids.h, never link the control.
#pragma once

#include "KIVOGuids.h"

#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

namespace kivoautomation {

inline VARIANT ShortArrayArgument(short* pFirst)
{
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I2 | VT_BYREF;
    argument.piVal = pFirst;
    return argument;
}

// Invokes method `dispId` with `arguments` (in the caller's order) and takes
// its answer as a short. The error of the call, or of an exception the
// control raised, is returned; `answer` is set only on success.
inline HRESULT InvokeShortMethod(IDispatch* pControl, DISPID dispId, VARIANT* pArgumentsLastFirst, UINT nArguments,
                                 short& answer)
{
    if (!pControl)
        return E_POINTER;
    DISPPARAMS params = {pArgumentsLastFirst, nullptr, nArguments, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    HRESULT hr = pControl->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                  &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION) {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        hr = FAILED(exception.scode) ? exception.scode : E_FAIL;
    }
    if (SUCCEEDED(hr))
        hr = VariantChangeType(&result, &result, 0, VT_I2);
    if (SUCCEEDED(hr))
        answer = result.iVal;
    VariantClear(&result);
    return hr;
}

// CodeTransfer (DISPID 3). `pCharCode` must hold 32,767 elements; the
// control codes are {source, destination, input count}.
inline HRESULT CodeTransfer(IDispatch* pControl, short* pCharCode, short* pControlCodes, short& answer)
{
    if (!pCharCode || !pControlCodes)
        return E_POINTER;
    VARIANT arguments[2] = {ShortArrayArgument(pControlCodes), ShortArrayArgument(pCharCode)};  // last first
    return InvokeShortMethod(pControl, DispIdCodeTransfer, arguments, 2, answer);
}

// Management (DISPID 2) with the command array {command, argument}.
inline HRESULT Management(IDispatch* pControl, short nCommand, short nArgument, short& answer)
{
    short command[2] = {nCommand, nArgument};
    VARIANT argument = ShortArrayArgument(command);
    return InvokeShortMethod(pControl, DispIdManagement, &argument, 1, answer);
}

} // namespace kivoautomation
