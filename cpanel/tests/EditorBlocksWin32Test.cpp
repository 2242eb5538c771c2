// The sample text editor's building blocks against the real platform: the
// areas' byte codec through the system's code pages, the recent-file lists
// in the registry, and the character-set page with the system's web browser.
#include "AreaText.h"
#include "ActiveXHost.h"
#include "CharsetPage.h"
#include "Clipboard.h"
#include "ChildProcess.h"
#include "Registry.h"
#include "RecentFiles.h"
#include "ScopedCom.h"
#include "ScratchFolder.h"
#include "SettingsRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <exdisp.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// ---- The area codec

TEST(AreaText, AnyBytesComeBackExactlyInEitherLanguageAndAcrossASwitch)
{
    std::mt19937 random(20261209);
    std::string strRandom(20000, '\0');
    for (char& c : strRandom)
        c = static_cast<char>(random() & 0xFF);
    const struct {
        const char* pszName;
        std::string bytes;
    } kCases[] = {
        {"GBK", "\xD6\xD0\xCE\xC4\xBC\xF2\xCC\xE5\r\nabc"},
        {"Big5", "\xA4\xA4\xA4\xE5\xC1\x63\xC5\xE9"},
        {"GBK only, shown as Big5", "\x81\x40\x80\xFE\x50"},
        {"stray lead byte at the end", "abc\xB0"},
        {"lead byte before a zero", std::string("\xB0\0z", 3)},
        {"single bytes 0x80 and 0xFF", "\x80\xFF"},
        {"zero bytes", std::string("\0a\0", 3)},
        {"random bytes", strRandom},
    };
    for (const auto& test : kCases) {
        for (UINT nCodePage : {936u, 950u}) {
            const std::wstring text = DecodeAreaBytes(test.bytes, nCodePage);
            EXPECT_EQ(EncodeAreaText(text, nCodePage), test.bytes) << test.pszName << " in " << nCodePage;
            EXPECT_EQ(text.find(L'\0'), std::wstring::npos) << test.pszName << ": an edit control ends text at a zero";
        }
        const std::string strSwitched =
            EncodeAreaText(DecodeAreaBytes(EncodeAreaText(DecodeAreaBytes(test.bytes, 936), 936), 950), 950);
        EXPECT_EQ(strSwitched, test.bytes) << test.pszName << " after a switch from GBK to Big5";
    }
    // What decodes shows as itself: "中" in both.
    EXPECT_EQ(DecodeAreaBytes("\xD6\xD0", 936), L"\x4E2D");
    EXPECT_EQ(DecodeAreaBytes("\xA4\xA4", 950), L"\x4E2D");
}

TEST(AreaText, AnEditControlKeepsTheBytesAndTheClipboardCarriesThem)
{
    const HWND hEdit = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hEdit, nullptr);
    SendMessageA(hEdit, EM_LIMITTEXT, 0x7FFFFFFE, 0);
    std::string strText("\xA4\xA4\0", 3);
    while (strText.size() < 40000)
        strText += "line of text\r\n";
    strText[33000] = '\0';
    ASSERT_TRUE(SetAreaBytes(hEdit, strText, 950));
    EXPECT_EQ(GetAreaBytes(hEdit, 950), strText);
    SendMessageW(hEdit, EM_SETSEL, 0, 3);  // the Big5 character and the escaped zero byte
    EXPECT_EQ(GetAreaSelectionBytes(hEdit, 950), std::string("\xA4\xA4\0", 3));

    ASSERT_TRUE(WriteAreaClipboard(hEdit, "\xA4\xA4", 950));
    {
        CClipboardSession clipboard(hEdit);
        ASSERT_TRUE(clipboard.IsOpen());
        HANDLE hText = GetClipboardData(CF_TEXT);
        HANDLE hUnicode = GetClipboardData(CF_UNICODETEXT);
        ASSERT_TRUE(hText && hUnicode);
        EXPECT_EQ(ReadTextBlockBytes(static_cast<HGLOBAL>(hText)), "\xA4\xA4");
        CGlobalLock unicode(static_cast<HGLOBAL>(hUnicode));
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(unicode.Get())), L"\x4E2D");
    }
    DestroyWindow(hEdit);
}

// ---- Recent files

class RecentFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_strSavedPath = GetRegistryPath();
        m_hSavedHive = GetRegistryHive();
        SetRegistryRoot(HKEY_CURRENT_USER, kRoot);
        for (int i = 0; i < 3; ++i)
            CScratchFolder::WriteBytes(File(i), "x");
    }
    void TearDown() override
    {
        SetRegistryRoot(m_hSavedHive, m_strSavedPath);
        settingstest::DeleteTree(HKEY_CURRENT_USER, kRoot);
    }
    std::string File(int i) const { return m_scratch / ("f" + std::to_string(i) + ".txt"); }
    static std::string Value(int i) { return GetRegString(kRecentSourceKey, std::to_string(i), "(none)"); }

    static constexpr char kRoot[] = "Software\\KIVO-tests\\RecentFiles";
    CScratchFolder m_scratch;
    std::string m_strSavedPath;
    HKEY m_hSavedHive = nullptr;
};

TEST_F(RecentFiles, LoadingSkipsDuplicatesInOtherCaseInvalidPathsAndStopsAtTheFirstEmptyValue)
{
    std::string strUpper = File(0);
    for (char& c : strUpper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const std::vector<std::string> kStored = {File(0), "  " + strUpper + "  ", "relative-name", File(1),
                                              "Q:\\no\\such\\drive.txt", "", File(2)};
    for (size_t i = 0; i < kStored.size(); ++i)
        SetRegString(kRecentSourceKey, std::to_string(i + 1), kStored[i]);
    EXPECT_EQ(LoadRecentFiles(kRecentSourceKey), (std::vector<std::string>{File(0), File(1)}));
}

TEST_F(RecentFiles, AddingPutsAnExistingFileFirstOnceAndTheListKeepsSixty)
{
    std::vector<std::string> arrMany;
    for (int i = 0; i < 70; ++i)
        arrMany.push_back(m_scratch / ("old" + std::to_string(i) + ".txt"));
    ASSERT_TRUE(SaveRecentFiles(arrMany, kRecentSourceKey));
    EXPECT_EQ(Value(60), arrMany[59]);
    EXPECT_EQ(Value(61), "(none)");

    SaveRecentFiles({File(0), File(1)}, kRecentSourceKey);
    EXPECT_EQ(Value(3), "");
    EXPECT_TRUE(AddRecentFile(File(1), kRecentSourceKey));  // moves to the front, once
    EXPECT_EQ(LoadRecentFiles(kRecentSourceKey), (std::vector<std::string>{File(1), File(0)}));
    EXPECT_FALSE(AddRecentFile(File(1), kRecentSourceKey)) << "already first: the list stays";
    EXPECT_FALSE(AddRecentFile(m_scratch / "gone.txt", kRecentSourceKey));
    EXPECT_EQ(Value(3), "");
}

// ---- The character-set page

TEST(CharsetPage, IsWrittenOnceAndLoadedInTheSystemsBrowser)
{
    CScratchFolder scratch;
    EXPECT_EQ(WriteCharsetPage(scratch.Path(), ANSI_CHARSET), "");
    const std::string strPage = WriteCharsetPage(scratch.Path(), CHINESEBIG5_CHARSET);
    ASSERT_EQ(strPage, scratch / "ss136.wtmp");
    EXPECT_EQ(CScratchFolder::ReadBytes(strPage), "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">");
    // The same line in other case stays as it is; anything else is written anew.
    CScratchFolder::WriteBytes(strPage, "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=BIG5\">");
    WriteCharsetPage(scratch.Path(), CHINESEBIG5_CHARSET);
    EXPECT_EQ(CScratchFolder::ReadBytes(strPage).substr(0, 5), "<META");
    CScratchFolder::WriteBytes(strPage, "stale");
    EXPECT_EQ(WriteCharsetPage(scratch.Path(), GB2312_CHARSET), scratch / "ss134.wtmp");
    WriteCharsetPage(scratch.Path(), CHINESEBIG5_CHARSET);
    EXPECT_EQ(CScratchFolder::ReadBytes(strPage).substr(0, 5), "<meta");

    const CScopedOleInit ole;
    const HWND hHost = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    CCharsetPageBrowser browser;
    const RECT rect = {10, 10, 70, 35};
    ASSERT_TRUE(browser.Navigate(hHost, 1424, rect, strPage));
    ASSERT_NE(browser.GetHwnd(), nullptr);
    EXPECT_FALSE(IsWindowVisible(browser.GetHwnd())) << "the browser stays hidden";
    EXPECT_TRUE(browser.Navigate(hHost, 1424, rect, strPage)) << "a second page goes to the same browser";
    CScopedComPtr<IWebBrowser2> web;
    ASSERT_TRUE(SUCCEEDED(GetHostedControl(browser.GetHwnd(), IID_IWebBrowser2, web.ReceiveVoid())));
    BSTR location = nullptr;
    WaitFor(
        [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            if (location)
                SysFreeString(location);
            location = nullptr;
            return SUCCEEDED(web->get_LocationURL(&location)) && location && *location;
        },
        5000);
    // Wine's browser, without its HTML engine, still takes the page as its location.
    EXPECT_NE(std::wstring(location ? location : L"").find(L"ss136.wtmp"), std::wstring::npos);
    SysFreeString(location);
    DestroyWindow(hHost);
}

} // namespace
