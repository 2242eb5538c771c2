// The one line kivoconv prints when the KIVO control cannot be created or a
// call to it fails: what went wrong in words a user can act on.
#pragma once

#include "KIVOControlClient.h"

#include <string>

// Why creating the control failed at `step` with `hr`.
std::string ControlCreationMessage(ControlCreationStep step, HRESULT hr);

// Why a CodeTransfer call was answered with `hr`.
std::string ControlCallMessage(HRESULT hr);
