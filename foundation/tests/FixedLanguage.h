// A language object made current for one test; the catalogue look-up and
// every window that asks for the interface language follow it.
#pragma once

#include "InterfaceLanguage.h"

class CFixedLanguage : public CInterfaceLanguage {
public:
    explicit CFixedLanguage(std::uint32_t nLCID) { SetFixedLanguage(nLCID); }
};
