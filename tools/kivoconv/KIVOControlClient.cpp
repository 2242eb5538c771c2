#include "KIVOControlClient.h"

#include "CodeTransfer.h"
#include "KIVOGuids.h"

#include <oleauto.h>

#include <string>

namespace {

std::wstring Widened(const char* ascii)
{
    std::wstring text;
    for (; *ascii; ++ascii)
        text.push_back(static_cast<wchar_t>(*ascii));
    return text;
}

// An in-process host hands an array over as a pointer to its first element.
VARIANT ShortArrayReference(short* values)
{
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I2 | VT_BYREF;
    argument.piVal = values;
    return argument;
}

// The method's answer as a short, whatever integer type the control chose.
HRESULT ShortAnswer(VARIANT& answer, short& value)
{
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, &answer, 0, VT_I2);
    VariantClear(&answer);
    if (FAILED(hr))
        return hr;
    value = converted.iVal;
    return S_OK;
}

} // namespace

bool CKIVOControlClient::Fail(ControlCreationStep step, HRESULT hr)
{
    m_failedStep = step;
    m_hrError = hr;
    return false;
}

bool CKIVOControlClient::Create()
{
    if (!m_com.IsUsable())
        return Fail(ControlCreationStep::ComInit, E_UNEXPECTED);
    CLSID clsid = {};
    const std::wstring progId = Widened(kKIVOCtrlProgId);
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr))
        return Fail(ControlCreationStep::ProgId, hr);
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, m_control.ReceiveVoid());
    if (FAILED(hr) || !m_control)
        return Fail(ControlCreationStep::Instance, FAILED(hr) ? hr : E_NOINTERFACE);
    m_failedStep = ControlCreationStep::None;
    m_hrError = S_OK;
    return true;
}

short CKIVOControlClient::CodeTransfer(short* charCode, const short controlCodes[3])
{
    if (!m_control) {
        m_hrCall = E_UNEXPECTED;
        return kTransferInvalidArguments;
    }
    short codes[3] = {controlCodes[0], controlCodes[1], controlCodes[2]};
    // Arguments travel last first: ControlCodes, then CharCode.
    VARIANT arguments[2] = {ShortArrayReference(codes), ShortArrayReference(charCode)};
    DISPPARAMS params = {arguments, nullptr, 2, 0};
    VARIANT answer;
    VariantInit(&answer);
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    HRESULT hr = m_control->Invoke(DispIdCodeTransfer, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                   &answer, &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION) {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        hr = FAILED(exception.scode) ? exception.scode : E_FAIL;
    }
    short value = kTransferInvalidArguments;
    if (SUCCEEDED(hr))
        hr = ShortAnswer(answer, value);
    else
        VariantClear(&answer);
    m_hrCall = hr;
    return SUCCEEDED(hr) ? value : kTransferInvalidArguments;
}
