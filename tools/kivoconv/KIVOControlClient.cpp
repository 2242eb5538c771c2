#include "KIVOControlClient.h"

#include "CodeTransfer.h"
#include "KIVOAutomation.h"
#include "KIVOGuids.h"
#include "PerUserClass.h"

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
    // A control registered for this user only ("regsvr32 /n /i:user"),
    // where COM reads the machine's classes alone.
    const bool perUser = FAILED(hr) && PerUserClassIdFromProgId(progId.c_str(), clsid);
    if (FAILED(hr) && !perUser)
        return Fail(ControlCreationStep::ProgId, hr);
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, m_control.ReceiveVoid());
    if (hr == REGDB_E_CLASSNOTREG)
        hr = CreatePerUserInstance(clsid, IID_IDispatch, m_control.ReceiveVoid());
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
    short value = kTransferInvalidArguments;
    m_hrCall = kivoautomation::CodeTransfer(m_control.Get(), charCode, codes, value);
    return SUCCEEDED(m_hrCall) ? value : kTransferInvalidArguments;
}
