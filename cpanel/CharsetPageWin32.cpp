#include "CharsetPage.h"

#include "ActiveXHost.h"
#include "ChildControls.h"
#include "ScopedCom.h"
#include "ScopedKernelHandles.h"

#include <exdisp.h>

#include <vector>

namespace {

// The system's web browser control.
constexpr wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string ReadSmallFile(const std::string& strPath)
{
    CScopedHandle file(::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return std::string();
    // The page is one line; anything much longer is not ours anyway.
    std::vector<char> buffer(512);
    DWORD dwRead = 0;
    if (!::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &dwRead, nullptr))
        return std::string();
    return std::string(buffer.data(), dwRead);
}

} // namespace

std::string CharsetPageLine(BYTE charset)
{
    const char* pszName = charset == GB2312_CHARSET ? "gb2312" : charset == CHINESEBIG5_CHARSET ? "big5" : nullptr;
    if (!pszName)
        return std::string();
    return std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") + pszName + "\">";
}

std::string WriteCharsetPage(const std::string& strFolder, BYTE charset)
{
    const std::string strLine = CharsetPageLine(charset);
    if (strLine.empty() || strFolder.empty())
        return std::string();
    const std::string strPath = strFolder + "\\ss" + std::to_string(charset) + ".wtmp";
    if (SameIgnoringCase(ReadSmallFile(strPath), strLine))
        return strPath;
    ::SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(strPath.c_str());
    CScopedHandle file(::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return std::string();
    DWORD dwWritten = 0;
    if (!::WriteFile(file.Get(), strLine.data(), static_cast<DWORD>(strLine.size()), &dwWritten, nullptr) ||
        dwWritten != strLine.size())
        return std::string();
    return strPath;
}

bool CCharsetPageBrowser::Navigate(HWND hDialog, int nId, const RECT& rect, const std::string& strPath)
{
    if (!m_hWnd || !::IsWindow(m_hWnd)) {
        if (!InitActiveXHosting())
            return false;
        m_hWnd = ::CreateWindowExW(0, kActiveXHostClass, kWebBrowserClsid, WS_CHILD, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, hDialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), ::GetModuleHandleA(nullptr),
                                   nullptr);
        if (!m_hWnd)
            return false;
    }
    CScopedComPtr<IWebBrowser2> browser;
    if (FAILED(GetHostedControl(m_hWnd, IID_IWebBrowser2, browser.ReceiveVoid())) || !browser)
        return false;
    std::wstring strWide;
    if (!MultiByteToWideString(strPath, CP_ACP, strWide))
        return false;
    CScopedBstr url(strWide.c_str());
    VARIANT empty;
    ::VariantInit(&empty);
    if (!url.Get())
        return false;
    return SUCCEEDED(browser->Navigate(url.Get(), &empty, &empty, &empty, &empty));
}
