// The catalogue through the platform's own code pages, and the look-up
// reached from a file that includes <windows.h> first.
#include <windows.h>

#include "MessageCatalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The bytes through MultiByteToWideChar and back; false when a byte sequence
// is invalid or a character cannot be written back without a substitute.
bool RoundTrips(const std::string& strBytes, UINT nCodePage, std::string& strBack)
{
    strBack.clear();
    if (strBytes.empty())
        return true;
    const int nUnits = MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, strBytes.data(),
                                           static_cast<int>(strBytes.size()), nullptr, 0);
    if (nUnits <= 0)
        return false;
    std::vector<wchar_t> arrUnits(static_cast<std::size_t>(nUnits));
    MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, strBytes.data(), static_cast<int>(strBytes.size()),
                        arrUnits.data(), nUnits);
    BOOL bDefaultUsed = FALSE;
    const int nBytes = WideCharToMultiByte(nCodePage, 0, arrUnits.data(), nUnits, nullptr, 0, nullptr, &bDefaultUsed);
    if (nBytes <= 0)
        return false;
    strBack.resize(static_cast<std::size_t>(nBytes));
    WideCharToMultiByte(nCodePage, 0, arrUnits.data(), nUnits, &strBack[0], nBytes, nullptr, &bDefaultUsed);
    return !bDefaultUsed;
}

TEST(MessageTableWin32, EveryColumnRoundTripsThroughTheSystemCodePage)
{
    const UINT codePages[] = {0, 1252, 936, 950};
    for (const CMessageRow* pRow = g_arrMessageTable; pRow->m_nId != 0; ++pRow) {
        for (int nColumn = MessageLanguageEnglish; nColumn <= MessageLanguageTraditional; ++nColumn) {
            const std::string strBytes = MessageColumnText(*pRow, nColumn);
            std::string strBack;
            EXPECT_TRUE(RoundTrips(strBytes, codePages[nColumn], strBack))
                << pRow->m_pszKey << " in code page " << codePages[nColumn];
            EXPECT_EQ(strBytes, strBack) << pRow->m_pszKey << " in code page " << codePages[nColumn];
        }
    }
}

TEST(MessageTableWin32, LookUpSurvivesTheSystemRenamingGetMessage)
{
    EXPECT_EQ("About KIVO", GetMessage(IDS_DIALOG_ABOUT_TITLE, "KIVO", "", "", MessageLanguageEnglish));
    // The message-loop function of the same name is still the system's.
    MSG msg;
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 7, 0);
    ASSERT_GT(GetMessage(&msg, nullptr, WM_APP, WM_APP), 0);
    EXPECT_EQ(7u, msg.wParam);
}

}  // namespace
