// The text-file functions' messages as the programs give them: texts from the
// message catalogue in the current interface language, questions in the
// program's own message box.
#pragma once

#include "TextFile.h"

class CCatalogueMessages : public CTextFileMessages {
public:
    // `pOwner` is the window (an HWND) that owns the question boxes, or null.
    explicit CCatalogueMessages(void* pOwner = nullptr) : m_pOwner(pOwner) {}

    std::string GetText(const char* pszKey, const std::string& strParam1) const override;
    // Yes No, with the question icon and the product name as caption.
    bool AskYesNo(const std::string& strText) override;

private:
    void* m_pOwner;
};
