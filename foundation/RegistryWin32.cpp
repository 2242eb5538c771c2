#include "Registry.h"

#include "RegistryPath.h"
#include "ScopedRegKey.h"

namespace {

struct CRegistryRoot {
    HKEY m_hHive = HKEY_LOCAL_MACHINE;
    std::string m_strPath = kKivoRegistryPath;
};

// Set once at start-up on the program's main thread, before anything reads
// the registry, and left alone afterwards. A function-local object, so that
// a root set during another file's static initialisation is not reset.
CRegistryRoot& Root()
{
    static CRegistryRoot root;
    return root;
}

std::string KeyPath(const std::string& strSubKey)
{
    return JoinRegistryPath(Root().m_strPath, strSubKey);
}

// Reads only need to query: asking for full access would make every read
// fail for a user who may not write HKEY_LOCAL_MACHINE.
bool OpenForReading(HKEY hHive, const std::string& strSubKey, CScopedRegKey& key)
{
    return RegOpenKeyExA(hHive, KeyPath(strSubKey).c_str(), 0, KEY_QUERY_VALUE | kSettingsRegistryView,
                         key.Receive()) == ERROR_SUCCESS;
}

bool CreateForWriting(HKEY hHive, const std::string& strSubKey, CScopedRegKey& key)
{
    return RegCreateKeyExA(hHive, KeyPath(strSubKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE | kSettingsRegistryView, nullptr, key.Receive(), nullptr) == ERROR_SUCCESS;
}

// The longest prefix of at most `nLimit` bytes that ends between characters.
std::size_t CharacterBoundary(const std::string& strText, std::size_t nLimit)
{
    std::size_t nAt = 0;
    while (nAt < strText.size()) {
        const std::size_t nNext = IsDBCSLeadByte(static_cast<BYTE>(strText[nAt])) ? nAt + 2 : nAt + 1;
        if (nNext > nLimit || nNext > strText.size())
            break;
        nAt = nNext;
    }
    return nAt;
}

}  // namespace

void SetRegistryRoot(HKEY hHive, const std::string& strPath)
{
    Root().m_hHive = hHive;
    Root().m_strPath = TrimRegistryName(strPath);
}

HKEY GetRegistryHive()
{
    return Root().m_hHive;
}

std::string GetRegistryPath()
{
    return Root().m_strPath;
}

namespace {

// The string value of `hHive` at the root's path, or false.
bool ReadString(HKEY hHive, const std::string& strSubKey, const std::string& strValue, std::string& strText)
{
    CScopedRegKey key;
    if (!OpenForReading(hHive, strSubKey, key))
        return false;
    // The 512 bytes a value may fill and one more that stays zero, so that a
    // text stored without its terminating zero still ends inside the buffer.
    char szBuffer[kMaxRegStringChars + 2] = {};
    DWORD dwType = 0;
    DWORD dwSize = kMaxRegStringChars + 1;
    const LONG nResult = RegQueryValueExA(key.Get(), TrimRegistryName(strValue).c_str(), nullptr, &dwType,
                                          reinterpret_cast<BYTE*>(szBuffer), &dwSize);
    if (nResult != ERROR_SUCCESS || (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
        return false;
    strText = szBuffer;
    return true;
}

bool WriteString(HKEY hHive, const std::string& strSubKey, const std::string& strValue, const std::string& strText)
{
    CScopedRegKey key;
    if (!CreateForWriting(hHive, strSubKey, key))
        return false;
    std::string strStored = strText.substr(0, strText.find('\0'));
    strStored.resize(CharacterBoundary(strStored, kMaxRegStringChars));
    return RegSetValueExA(key.Get(), TrimRegistryName(strValue).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(strStored.c_str()),
                          static_cast<DWORD>(strStored.size() + 1)) == ERROR_SUCCESS;
}

bool ReadDWORD(HKEY hHive, const std::string& strSubKey, const std::string& strValue, DWORD& dwValue)
{
    CScopedRegKey key;
    if (!OpenForReading(hHive, strSubKey, key))
        return false;
    DWORD dwNumber = 0;
    DWORD dwType = 0;
    DWORD dwSize = sizeof dwNumber;
    const LONG nResult = RegQueryValueExA(key.Get(), TrimRegistryName(strValue).c_str(), nullptr, &dwType,
                                          reinterpret_cast<BYTE*>(&dwNumber), &dwSize);
    if (nResult != ERROR_SUCCESS || dwType != REG_DWORD || dwSize != sizeof dwNumber)
        return false;
    dwValue = dwNumber;
    return true;
}

bool WriteDWORD(HKEY hHive, const std::string& strSubKey, const std::string& strValue, DWORD dwNumber)
{
    CScopedRegKey key;
    if (!CreateForWriting(hHive, strSubKey, key))
        return false;
    return RegSetValueExA(key.Get(), TrimRegistryName(strValue).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&dwNumber), sizeof dwNumber) == ERROR_SUCCESS;
}

}  // namespace

std::string GetRegString(const std::string& strSubKey, const std::string& strValue,
                         const std::string& strDefault)
{
    std::string strText;
    return ReadString(Root().m_hHive, strSubKey, strValue, strText) ? strText : strDefault;
}

bool SetRegString(const std::string& strSubKey, const std::string& strValue, const std::string& strText)
{
    return WriteString(Root().m_hHive, strSubKey, strValue, strText);
}

DWORD GetRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwDefault)
{
    DWORD dwNumber = 0;
    return ReadDWORD(Root().m_hHive, strSubKey, strValue, dwNumber) ? dwNumber : dwDefault;
}

bool SetRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwNumber)
{
    return WriteDWORD(Root().m_hHive, strSubKey, strValue, dwNumber);
}

std::string GetUserRegString(const std::string& strSubKey, const std::string& strValue,
                             const std::string& strDefault)
{
    std::string strText;
    if (ReadString(HKEY_CURRENT_USER, strSubKey, strValue, strText))
        return strText;
    return GetRegString(strSubKey, strValue, strDefault);
}

bool SetUserRegString(const std::string& strSubKey, const std::string& strValue, const std::string& strText)
{
    return WriteString(HKEY_CURRENT_USER, strSubKey, strValue, strText);
}

DWORD GetUserRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwDefault)
{
    DWORD dwNumber = 0;
    if (ReadDWORD(HKEY_CURRENT_USER, strSubKey, strValue, dwNumber))
        return dwNumber;
    return GetRegDWORD(strSubKey, strValue, dwDefault);
}

bool SetUserRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwNumber)
{
    return WriteDWORD(HKEY_CURRENT_USER, strSubKey, strValue, dwNumber);
}
