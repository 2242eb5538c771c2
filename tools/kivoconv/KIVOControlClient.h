// CKIVOControlClient: the registered KIVO control as kivoconv uses it,
// created by its ProgID in this thread's apartment and called through
// IDispatch::Invoke, as any in-process host calls it. COM stays initialised
// while the client lives and the control is released before COM goes.
#pragma once

#include "ScopedCom.h"

#include <oaidl.h>
#include <windows.h>

// Where creating the control stopped.
enum class ControlCreationStep {
    None,      // created
    ComInit,   // COM could not be initialised on this thread
    ProgId,    // CLSIDFromProgID
    Instance,  // CoCreateInstance (which runs the control's start-up)
};

class CKIVOControlClient {
public:
    CKIVOControlClient() = default;
    CKIVOControlClient(const CKIVOControlClient&) = delete;
    CKIVOControlClient& operator=(const CKIVOControlClient&) = delete;

    // False when the control could not be created; FailedStep and Error say where and why.
    bool Create();
    ControlCreationStep FailedStep() const { return m_failedStep; }
    HRESULT Error() const { return m_hrError; }

    // CodeTransfer (DISPID 3) on `charCode`, which must hold kMaxTransferElements
    // elements, with ControlCodes {source, destination, count}. The control's
    // answer; kTransferInvalidArguments when the call itself failed, with the
    // reason in CallError.
    short CodeTransfer(short* charCode, const short controlCodes[3]);
    HRESULT CallError() const { return m_hrCall; }

private:
    bool Fail(ControlCreationStep step, HRESULT hr);

    CScopedComInit m_com;  // declared first: outlives the control
    CScopedComPtr<IDispatch> m_control;
    ControlCreationStep m_failedStep = ControlCreationStep::None;
    HRESULT m_hrError = S_OK;
    HRESULT m_hrCall = S_OK;
};
