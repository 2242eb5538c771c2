// Update information signed the way the vendor signs it: by tools/update-sign
// (openssl), which update_transfer_driver.py runs on a text POSTed to its
// /sign/KEY. "test" is the key the programs of this tree are built with,
// "other" a key they do not know.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

namespace updatetest {

// Empty when the driver did not answer.
inline std::string SignedUpdateText(const std::string& strText, const char* pszKey = "test")
{
    const char* pszSite = std::getenv("KIVO_TEST_SITE");  // http://127.0.0.1:PORT
    const std::string strSite = pszSite ? pszSite : "";
    const std::size_t nColon = strSite.rfind(':');
    if (nColon == std::string::npos || nColon < 5)
        return std::string();
    const INTERNET_PORT nPort = static_cast<INTERNET_PORT>(std::atoi(strSite.c_str() + nColon + 1));
    std::string strSigned;
    const HINTERNET hSession = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const HINTERNET hConnect =
        hSession ? InternetConnectA(hSession, "127.0.0.1", nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0)
                 : nullptr;
    const HINTERNET hRequest =
        hConnect ? HttpOpenRequestA(hConnect, "POST", (std::string("/sign/") + pszKey).c_str(), nullptr, nullptr,
                                    nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                 : nullptr;
    if (hRequest && HttpSendRequestA(hRequest, nullptr, 0, const_cast<char*>(strText.data()),
                                     static_cast<DWORD>(strText.size()))) {
        char chunk[4096];
        DWORD nRead = 0;
        while (InternetReadFile(hRequest, chunk, sizeof chunk, &nRead) && nRead > 0)
            strSigned.append(chunk, nRead);
    }
    for (HINTERNET hHandle : {hRequest, hConnect, hSession})
        if (hHandle)
            InternetCloseHandle(hHandle);
    return strSigned;
}

} // namespace updatetest
