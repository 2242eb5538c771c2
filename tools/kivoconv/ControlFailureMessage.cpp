#include "ControlFailureMessage.h"

#include "KIVOGuids.h"

#include <winerror.h>

#include <cstdio>

namespace {

const char kNotRegistered[] =
    "the KIVO control is not registered; register it with: regsvr32 kivo.ocx";
const char kNotLoadable[] =
    "the KIVO control is registered but its file is missing or cannot be loaded; "
    "register it again with: regsvr32 kivo.ocx";

// Results of creation that have their own explanation. Anything else is
// reported with its number.
const struct {
    ControlCreationStep step;
    HRESULT hr;
    const char* text;
} kCreationMessages[] = {
    {ControlCreationStep::ProgId, REGDB_E_CLASSNOTREG, kNotRegistered},
    {ControlCreationStep::ProgId, CO_E_CLASSSTRING, kNotRegistered},
    {ControlCreationStep::Instance, REGDB_E_CLASSNOTREG, kNotRegistered},
    // Registered once, but the file the registration names is gone or broken.
    {ControlCreationStep::Instance, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), kNotLoadable},
    {ControlCreationStep::Instance, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), kNotLoadable},
    {ControlCreationStep::Instance, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), kNotLoadable},
    {ControlCreationStep::Instance, HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT), kNotLoadable},
    {ControlCreationStep::Instance, CO_E_DLLNOTFOUND, kNotLoadable},
    {ControlCreationStep::Instance, CO_E_ERRORINDLL, kNotLoadable},
    // What Wine answers for a registered file it cannot load.
    {ControlCreationStep::Instance, E_ACCESSDENIED, kNotLoadable},
    // The control's start-up failed or was cancelled: Lumbra's folder is not
    // set, was not confirmed, or its data is incomplete.
    {ControlCreationStep::Instance, CLASS_E_CLASSNOTAVAILABLE,
     "the KIVO control did not start: its start-up was cancelled or Lumbra's data is incomplete; "
     "check the Lumbra folder in the KIVO control panel"},
    {ControlCreationStep::Instance, E_NOINTERFACE, "the registered KIVO control offers no automation interface"},
    {ControlCreationStep::Instance, E_OUTOFMEMORY, "not enough memory to start the KIVO control"},
};

std::string WithNumber(const char* text, HRESULT hr)
{
    char number[32];
    std::snprintf(number, sizeof number, " (error 0x%08lX)", static_cast<unsigned long>(hr));
    return text + std::string(number);
}

} // namespace

std::string ControlCreationMessage(ControlCreationStep step, HRESULT hr)
{
    for (const auto& entry : kCreationMessages)
        if (entry.step == step && entry.hr == hr)
            return entry.text;
    switch (step) {
    case ControlCreationStep::ComInit:
        return WithNumber("COM cannot be used in this process", hr);
    case ControlCreationStep::ProgId:
        return WithNumber((std::string("cannot look up the KIVO control ") + kKIVOCtrlProgId).c_str(), hr);
    default:
        return WithNumber("cannot create the KIVO control", hr);
    }
}

std::string ControlCallMessage(HRESULT hr)
{
    return WithNumber("the KIVO control refused the CodeTransfer call", hr);
}
