#include "CatalogueMessages.h"

#include "MessageBox.h"
#include "MessageCatalogue.h"

#include <windows.h>

std::string CCatalogueMessages::GetText(const char* pszKey, const std::string& strParam1) const
{
    return pszKey ? GetMessageByKey(pszKey, strParam1) : std::string();
}

bool CCatalogueMessages::AskYesNo(const std::string& strText)
{
    return ShowMessageBox(strText, std::string(), MB_YESNO | MB_ICONQUESTION, m_pOwner) == IDYES;
}
