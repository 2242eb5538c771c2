#include "WebPageOpener.h"

#include "BrowserCommand.h"
#include "ScopedRegKey.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace {

constexpr int kStartedByAssociation = 33;

// The default value of HKEY_CLASSES_ROOT `strKey` read into a bounded
// buffer; empty when it is missing, not a string or does not fit.
std::string ReadClassesDefault(const std::string& strKey, std::size_t nMaxChars)
{
    CScopedRegKey key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, strKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return std::string();
    std::vector<char> buffer(nMaxChars + 1, '\0');
    DWORD dwType = 0;
    DWORD dwSize = static_cast<DWORD>(nMaxChars);
    if (::RegQueryValueExA(key.Get(), nullptr, nullptr, &dwType, reinterpret_cast<BYTE*>(buffer.data()), &dwSize) !=
            ERROR_SUCCESS ||
        (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
        return std::string();
    // A stored value need not end with its zero; the extra byte of the
    // buffer stays zero either way.
    std::string strValue(buffer.data());
    if (dwType == REG_SZ || strValue.empty())
        return strValue;
    char szExpanded[kMaxBrowserCommandChars + 1] = {};
    const DWORD dwNeeded = ::ExpandEnvironmentStringsA(strValue.c_str(), szExpanded, sizeof szExpanded);
    if (dwNeeded == 0 || dwNeeded > sizeof szExpanded)
        return std::string();
    return szExpanded;
}

} // namespace

std::string HtmAssociationCommand()
{
    const std::string strType = ReadClassesDefault(".htm", MAX_PATH);
    if (strType.empty())
        return std::string();
    return ReadClassesDefault(strType + "\\shell\\open\\command", kMaxBrowserCommandChars);
}

int OpenWebPage(const std::string& strUrl)
{
    const int nResult = static_cast<int>(
        reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", strUrl.c_str(), nullptr, nullptr, SW_SHOW)));
    if (nResult > 32)
        return nResult;
    const std::string strLine = BrowserCommandLine(HtmAssociationCommand(), strUrl);
    if (strLine.empty())
        return nResult;
    // The browser the association names opened the page: that is success,
    // whatever the shell said before.
    // (WinExec's own success, above 31, may be 32, which callers read as the
    // shell's "not found"; a success of the shell's kind goes back instead.)
    return ::WinExec(strLine.c_str(), SW_SHOW) > 31 ? kStartedByAssociation : nResult;
}
