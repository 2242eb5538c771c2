#include "ShellLink.h"

#include "PathText.h"
#include "ScopedCom.h"
#include "TextTrim.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace {

constexpr int kShortcutTextChars = 1024;

std::wstring ToWide(const std::string& strText)
{
    const int nCount = MultiByteToWideChar(CP_ACP, 0, strText.c_str(), -1, nullptr, 0);
    if (nCount <= 0)
        return std::wstring();
    std::vector<wchar_t> buffer(static_cast<std::size_t>(nCount), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, strText.c_str(), -1, buffer.data(), nCount) <= 0)
        return std::wstring();
    return std::wstring(buffer.data());
}

}  // namespace

std::string ResolveShortcut(const std::string& strPath)
{
    std::string strLink = strPath;
    if (!HasLnkExtension(strLink))
        strLink += ".lnk";
    const std::wstring strWide = ToWide(strLink);
    if (strWide.empty())
        return std::string();

    CScopedComInit com;
    if (!com.IsUsable())
        return std::string();
    CScopedComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.ReceiveVoid())))
        return std::string();
    CScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())))
        return std::string();
    if (FAILED(file->Load(strWide.c_str(), STGM_READ)))
        return std::string();

    // One character more than the shell may fill, so the text always ends.
    char szTarget[kShortcutTextChars + 1] = {};
    char szArguments[kShortcutTextChars + 1] = {};
    if (link->GetPath(szTarget, kShortcutTextChars, nullptr, 0) != S_OK || szTarget[0] == '\0')
        return std::string();
    if (FAILED(link->GetArguments(szArguments, kShortcutTextChars)))
        szArguments[0] = '\0';

    std::string strResult = std::string(szTarget) + " " + szArguments;
    TrimBlank(strResult);
    return strResult;
}
