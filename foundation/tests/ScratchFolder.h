// A fresh folder under the system's temporary folder for one Windows test,
// removed with everything in it when the test ends.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

class CScratchFolder {
public:
    CScratchFolder()
    {
        char szTemp[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, szTemp);
        std::string strBase = szTemp;
        while (!strBase.empty() && strBase.back() == '\\')
            strBase.pop_back();
        for (unsigned n = 0; n < 1000 && m_strPath.empty(); ++n) {
            const std::string strCandidate = strBase + "\\kivo-utils-" + std::to_string(GetCurrentProcessId()) +
                                             "-" + std::to_string(GetTickCount()) + "-" + std::to_string(n);
            if (CreateDirectoryA(strCandidate.c_str(), nullptr))
                m_strPath = strCandidate;
        }
    }
    ~CScratchFolder()
    {
        if (!m_strPath.empty())
            RemoveTree(m_strPath);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string operator/(const std::string& strName) const { return m_strPath + "\\" + strName; }

    // Writes a file of exactly these bytes.
    static bool WriteBytes(const std::string& strPath, const std::string& strBytes)
    {
        HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr);
        if (hFile == INVALID_HANDLE_VALUE)
            return false;
        DWORD dwWritten = 0;
        const bool bOk = WriteFile(hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &dwWritten, nullptr) &&
                         dwWritten == strBytes.size();
        CloseHandle(hFile);
        return bOk;
    }

    // The whole file, or "<missing>" when it cannot be opened.
    static std::string ReadBytes(const std::string& strPath)
    {
        HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (hFile == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string strBytes;
        char buffer[65536];
        DWORD dwRead = 0;
        while (ReadFile(hFile, buffer, sizeof buffer, &dwRead, nullptr) && dwRead > 0)
            strBytes.append(buffer, dwRead);
        CloseHandle(hFile);
        return strBytes;
    }

    // Names of the entries in the folder, "." and ".." left out, sorted.
    std::string Listing() const
    {
        std::vector<std::string> arrNames;
        WIN32_FIND_DATAA data;
        HANDLE hFind = FindFirstFileA((m_strPath + "\\*").c_str(), &data);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                const std::string strName = data.cFileName;
                if (strName != "." && strName != "..")
                    arrNames.push_back(strName);
            } while (FindNextFileA(hFind, &data));
            FindClose(hFind);
        }
        std::sort(arrNames.begin(), arrNames.end());
        std::string strNames;
        for (const std::string& strName : arrNames)
            strNames += (strNames.empty() ? "" : "|") + strName;
        return strNames;
    }

private:
    static void RemoveTree(const std::string& strFolder)
    {
        WIN32_FIND_DATAA data;
        HANDLE hFind = FindFirstFileA((strFolder + "\\*").c_str(), &data);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                const std::string strName = data.cFileName;
                if (strName == "." || strName == "..")
                    continue;
                const std::string strChild = strFolder + "\\" + strName;
                SetFileAttributesA(strChild.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(strChild);
                else
                    DeleteFileA(strChild.c_str());
            } while (FindNextFileA(hFind, &data));
            FindClose(hFind);
        }
        RemoveDirectoryA(strFolder.c_str());
    }

    std::string m_strPath;
};
