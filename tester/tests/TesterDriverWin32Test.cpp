// Drives kivotester.exe from outside, as a user would, by window messages:
// text typed into the source edit, codes chosen in the lists, buttons
// pressed, the result edit and the clipboard read back. The expected texts
// come from the control itself, created in this process and called the way
// the tester calls it, and from a few conversions known by heart.
//
// HostedTester.* runs with the control registered, UnregisteredTester*.*
// without it (TesterDriverScript.sh sees to both); the last of those walks
// the whole hand-over through the real control panel's wizard.
#include "PerUserClass.h"
#include "ChildProcess.h"
#include "ControlPanelResource.h"
#include "ControlClient.h"
#include "KIVOGuids.h"
#include "LumbraTestSupport.h"
#include "Registry.h"
#include "ScreenCapture.h"
#include "TesterResource.h"
#include "TesterTransfer.h"
#include "TransferCodeList.h"
#include "UnicodeWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using lumbratest::WindowsPath;

// ---- Texts between the code pages and the edits

std::wstring Wide(const std::string& bytes, UINT codePage)
{
    if (bytes.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage)
{
    if (wide.empty())
        return std::string();
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

std::wstring WindowText(HWND hWnd)
{
    const LRESULT length = SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string SampleGbk()
{
    std::ifstream in(KIVO_SAMPLE_GBK, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string lines;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    return lines;
}

// A text of `size` bytes in lines of 100, so that the edit need not wrap one long line.
std::string LinesOfSize(std::size_t size)
{
    std::string text;
    while (text.size() < size)
        text += text.size() % 100 == 98 ? "\r\n" : "a";
    text.resize(size);
    if (text.back() == '\r')
        text.back() = 'a';
    return text;
}

// ---- The tester's process and windows

// A visible dialog window of the process other than `hExclude`, or null.
HWND FindDialogOf(DWORD nProcessId, HWND hExclude = nullptr)
{
    for (HWND hWnd : VisibleWindowsOf(nProcessId, "#32770"))
        if (hWnd != hExclude)
            return hWnd;
    return nullptr;
}

class CTesterProcess {
public:
    CTesterProcess() = default;
    CTesterProcess(const CTesterProcess&) = delete;
    CTesterProcess& operator=(const CTesterProcess&) = delete;
    ~CTesterProcess() { Close(); }

    bool Start(const std::string& strProgram, const std::string& strWorkingFolder)
    {
        return m_process.Start(strProgram, std::string(), strWorkingFolder);
    }

    // The tester's main dialog once it shows; null after the time-out.
    HWND WaitForDialog(DWORD nTimeoutMs)
    {
        HWND hDialog = nullptr;
        WaitFor([&] {
            hDialog = FindDialogOf(m_process.GetId());
            return hDialog != nullptr && WindowText(hDialog) == L"KIVO Tester";
        }, nTimeoutMs);
        return hDialog;
    }

    bool WaitForExit(DWORD nTimeoutMs, DWORD& nExitCode) { return m_process.WaitForExit(nTimeoutMs, nExitCode); }

    DWORD GetId() const { return m_process.GetId(); }

    // Cancel, as the user would end it; force only a tester that will not go.
    void Close()
    {
        if (!m_process.IsStarted())
            return;
        if (HWND hDialog = FindDialogOf(m_process.GetId()))
            PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
        m_process.Stop(20000);
    }

private:
    CChildProcess m_process;
};

// ---- The tester's dialog worked by messages

void ChooseIn(HWND hDialog, int nId, int nIndex)
{
    const HWND hList = GetDlgItem(hDialog, nId);
    SendMessageA(hList, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    SendMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
}

// Replaces the source edit's text as typing over a selection would.
void TypeIn(HWND hDialog, const std::wstring& text)
{
    const HWND hSource = GetDlgItem(hDialog, IDC_SOURCE_EDIT);
    SendMessageW(hSource, EM_SETSEL, 0, -1);
    SendMessageW(hSource, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// The result edit's text as bytes of the code chosen in the To list.
std::string EditAreaTransferIn(HWND hDialog, int nFrom, int nTo, const std::string& source)
{
    ChooseIn(hDialog, IDC_EDIT_FROM, nFrom);
    ChooseIn(hDialog, IDC_EDIT_TO, nTo);
    TypeIn(hDialog, Wide(source, EditCodePageOf(nFrom)));
    SendMessageA(GetDlgItem(hDialog, IDC_EDIT_TRANSFER), BM_CLICK, 0, 0);
    return Narrow(WindowText(GetDlgItem(hDialog, IDC_RESULT_EDIT)), EditCodePageOf(nTo));
}

// ---- The clipboard as the driver fills and reads it

bool OpenClipboardPatiently()
{
    return WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 5000);
}

void PutClipboard(UINT nFormat, const std::string& block)
{
    ASSERT_TRUE(OpenClipboardPatiently());
    EmptyClipboard();
    HGLOBAL hBlock = GlobalAlloc(GMEM_MOVEABLE, block.size());
    ASSERT_NE(hBlock, nullptr);
    memcpy(GlobalLock(hBlock), block.data(), block.size());
    GlobalUnlock(hBlock);
    EXPECT_NE(SetClipboardData(nFormat, hBlock), nullptr);
    CloseClipboard();
}

std::string UnitsBlock(const std::u16string& units)
{
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
}

// The whole block of `nFormat`, or "<none>".
std::string ReadClipboard(UINT nFormat)
{
    if (!OpenClipboardPatiently())
        return "<not opened>";
    std::string block = "<none>";
    if (HANDLE hData = GetClipboardData(nFormat)) {
        const void* pData = GlobalLock(hData);
        block.assign(static_cast<const char*>(pData), GlobalSize(hData));
        GlobalUnlock(hData);
    }
    CloseClipboard();
    return block;
}

// ---- The tester with the control registered

class HostedTester : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitialize(nullptr);
        // The reference: the control in this process, called as the tester calls it.
        CScopedComPtr<IDispatch> control;
        HRESULT hr = CoCreateInstance(CLSID_KIVOCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                      control.ReceiveVoid());
        // Registered for the user alone, where COM reads only the machine's classes.
        if (hr == REGDB_E_CLASSNOTREG)
            hr = CreatePerUserInstance(CLSID_KIVOCtrl, IID_IDispatch, control.ReceiveVoid());
        ASSERT_EQ(hr, S_OK);
        s_pReference = new CControlClient;
        s_pReference->Attach(control.Get());
        s_pTester = new CTesterProcess;
        ASSERT_TRUE(s_pTester->Start(WindowsPath(KIVO_TESTER_PATH), WindowsPath(KIVO_BINARY_DIR)));
        s_hDialog = s_pTester->WaitForDialog(60000);
        ASSERT_NE(s_hDialog, nullptr) << "the tester did not show its dialog";
    }

    static void TearDownTestSuite()
    {
        if (s_pTester) {
            s_pTester->Close();
            delete s_pTester;
            s_pTester = nullptr;
        }
        delete s_pReference;
        s_pReference = nullptr;
        CoUninitialize();
    }

    void SetUp() override { ASSERT_TRUE(IsWindow(s_hDialog)); }

    static HWND Item(int nId) { return GetDlgItem(s_hDialog, nId); }

    static void Choose(int nId, int nIndex) { ChooseIn(s_hDialog, nId, nIndex); }
    static void Type(const std::wstring& text) { TypeIn(s_hDialog, text); }
    static void Click(int nId) { SendMessageA(Item(nId), BM_CLICK, 0, 0); }

    static bool IsEnabled(int nId) { return IsWindowEnabled(Item(nId)) != FALSE; }

    static std::string EditAreaTransfer(int nFrom, int nTo, const std::string& source)
    {
        return EditAreaTransferIn(s_hDialog, nFrom, nTo, source);
    }

    static std::string Reference(int nFrom, int nTo, const std::string& source)
    {
        std::string result;
        EXPECT_EQ(TransferBytesToBytes(source, static_cast<short>(nFrom), static_cast<short>(nTo), *s_pReference,
                                       result),
                  ETransferOutcome::Done);
        return result;
    }

    // The box the tester shows over its dialog, or null.
    static HWND MessageBoxWindow() { return FindDialogOf(s_pTester->GetId(), s_hDialog); }

    static std::wstring StaticTexts(HWND hBox)
    {
        std::wstring texts;
        for (HWND hChild = GetWindow(hBox, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
            char szClass[16] = {};
            GetClassNameA(hChild, szClass, sizeof szClass);
            if (lstrcmpiA(szClass, "Static") == 0)
                texts += WindowText(hChild);
        }
        return texts;
    }

    // Presses `nId` without waiting for it (it opens a box), then checks the
    // box's text and closes it with OK.
    static void ClickExpectingSizeMessage(int nId)
    {
        PostMessageA(Item(nId), BM_CLICK, 0, 0);
        HWND hBox = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (hBox = MessageBoxWindow()) != nullptr; }, 10000)) << "no size message";
        EXPECT_EQ(WindowText(hBox), L"KIVO Tester");
        EXPECT_EQ(AnsiWindowsIn(hBox), std::vector<std::string>());
        EXPECT_NE(StaticTexts(hBox).find(Wide(TooLongMessage(), CP_ACP)), std::wstring::npos);
        PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(hBox); }, 10000));
        // A message that round-trips through the tester's queue: its click handler has returned.
        SendMessageA(s_hDialog, WM_NULL, 0, 0);
    }

    static void SaveScreenshot(const char* pszName)
    {
        std::vector<BYTE> pixels;
        int cx = 0, cy = 0;
        const std::string path = dialogtest::ArtefactFolder() + "\\" + pszName;
        EXPECT_TRUE(dialogtest::SaveWindowBitmap(s_hDialog, path, pixels, cx, cy)) << path;
    }

    static inline CTesterProcess* s_pTester = nullptr;
    static inline CControlClient* s_pReference = nullptr;
    static inline HWND s_hDialog = nullptr;
};

TEST_F(HostedTester, StartsWithItsListsSelectionsAndTheControlOnTheDialog)
{
    struct CListCase {
        int nId, nEntries, nSelected;
    };
    const CListCase lists[] = {
        {IDC_EDIT_FROM, 3, 0}, {IDC_EDIT_TO, 3, 1}, {IDC_CLIPBOARD_FROM, 5, 3}, {IDC_CLIPBOARD_TO, 5, 4}};
    for (const CListCase& list : lists) {
        ASSERT_EQ(SendMessageA(Item(list.nId), CB_GETCOUNT, 0, 0), list.nEntries) << list.nId;
        EXPECT_EQ(SendMessageA(Item(list.nId), CB_GETCURSEL, 0, 0), list.nSelected) << list.nId;
        for (int i = 0; i < list.nEntries; ++i) {
            wchar_t szEntry[64] = {};
            SendMessageW(Item(list.nId), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(szEntry));
            EXPECT_EQ(std::wstring(szEntry), Wide(kTransferCodeEntries[i].pszText, CP_ACP));
        }
    }
    struct CTextCase {
        int nId;
        const wchar_t* pszText;
    };
    const CTextCase texts[] = {
        {IDC_EDIT_TRANSFER, L"Go &Edit Area Transfer!"},
        {IDC_CLIPBOARD_TRANSFER, L"Go &Clipboard Transfer!"},
        {IDC_APPLY_PROFILE, L"&Apply Current Word Adjustment Profile"},
        {IDOK, L"OK"},
        {IDCANCEL, L"Cancel"},
    };
    for (const CTextCase& text : texts)
        EXPECT_EQ(WindowText(Item(text.nId)), text.pszText);
    // The control, active in place: its own window inside the container.
    HWND hContainer = Item(IDC_KIVO);
    ASSERT_NE(hContainer, nullptr);
    EXPECT_NE(GetWindow(hContainer, GW_CHILD), nullptr);
    // The dialog, its controls, the container and the control's window.
    EXPECT_EQ(AnsiWindowsOf(s_pTester->GetId()), std::vector<std::string>());
}

TEST_F(HostedTester, ButtonsFollowTheSourceTextAndTheLists)
{
    Type(L"");
    EXPECT_FALSE(IsEnabled(IDC_EDIT_TRANSFER));
    EXPECT_TRUE(IsEnabled(IDC_CLIPBOARD_TRANSFER));
    Type(L"x");
    EXPECT_TRUE(IsEnabled(IDC_EDIT_TRANSFER));
    // A list without a selection disables its transfer, and choosing again enables it.
    Choose(IDC_EDIT_TO, -1);
    EXPECT_FALSE(IsEnabled(IDC_EDIT_TRANSFER));
    Choose(IDC_EDIT_TO, 1);
    EXPECT_TRUE(IsEnabled(IDC_EDIT_TRANSFER));
    Choose(IDC_CLIPBOARD_FROM, -1);
    EXPECT_FALSE(IsEnabled(IDC_CLIPBOARD_TRANSFER));
    Choose(IDC_CLIPBOARD_FROM, 3);
    EXPECT_TRUE(IsEnabled(IDC_CLIPBOARD_TRANSFER));
    Type(L"");
    EXPECT_FALSE(IsEnabled(IDC_EDIT_TRANSFER));
}

TEST_F(HostedTester, EditAreaTransfersConvertTheTypedText)
{
    const std::string sample = SampleGbk();
    const std::string big5 = Reference(0, 1, sample);
    struct CEditCase {
        int nFrom, nTo;
        std::string source, expected;
    };
    const CEditCase cases[] = {
        {0, 1, "\xB7\xA2", "\xB5\x6F"},  // GB fa to its Big5 form
        {1, 2, "\xC5\xE9", "\xF3\x77"},  // Big5 ti to GBK with the traditional character
        {0, 0, sample, sample},          // the same code: unchanged
        {1, 0, big5, Reference(1, 0, big5)},
        {0, 2, sample, Reference(0, 2, sample)},
        {0, 1, sample, big5},  // last, for the screenshot
    };
    for (const CEditCase& c : cases)
        EXPECT_EQ(EditAreaTransfer(c.nFrom, c.nTo, c.source), c.expected) << c.nFrom << " to " << c.nTo;
    EXPECT_NE(big5, sample);
    SaveScreenshot("tester-edit-area.bmp");
}

TEST_F(HostedTester, LongTextsWithinTheLimitConvertWhole)
{
    // 36 copies of the sample: over what one call takes, within the limit.
    const std::string sample = SampleGbk();
    const std::string line = Reference(0, 1, sample);
    std::string text, expected;
    while (text.size() + sample.size() <= 36000) {
        text += sample;
        expected += line;
    }
    ASSERT_GT(text.size(), kMaxCallElements);
    const std::string result = EditAreaTransfer(0, 1, text);
    EXPECT_EQ(result.size(), expected.size());
    EXPECT_TRUE(result == expected);
}

TEST_F(HostedTester, TooLongATextGivesTheSizeMessageAndNoStaleResult)
{
    ASSERT_FALSE(EditAreaTransfer(0, 1, "\xB7\xA2").empty());
    Type(Wide(LinesOfSize(kSizeCheckBytes + 1), CP_ACP));
    ClickExpectingSizeMessage(IDC_EDIT_TRANSFER);
    EXPECT_EQ(WindowText(Item(IDC_RESULT_EDIT)), L"");
    // Exactly at the limit the text goes through.
    const std::string full = LinesOfSize(kSizeCheckBytes);
    EXPECT_TRUE(EditAreaTransfer(0, 0, full) == full);
}

TEST_F(HostedTester, ClipboardTransfersConvertBetweenTheFiveForms)
{
    const std::u16string unicode = u"\u7B80\u4F53\u4E2D\u6587\u8F6C\u6362\r\n\u53D1\u5C55 KIVO";
    struct CClipboardCase {
        int nFrom, nTo;
    };
    const CClipboardCase cases[] = {{3, 1}, {3, 0}, {0, 1}, {1, 4}, {0, 3}, {4, 3}, {3, 4}};
    for (const CClipboardCase& c : cases) {
        // The source in the From form: the Unicode text with its terminator, or its bytes.
        CTesterText input;
        input.bUnicode = IsUnicodeTransferCode(c.nFrom);
        if (input.bUnicode) {
            input.strUnits = unicode + u'\0';
            PutClipboard(CF_UNICODETEXT, UnitsBlock(input.strUnits));
        } else {
            const std::wstring wide(unicode.begin(), unicode.end());
            input.strBytes = Narrow(wide, c.nFrom == 1 ? 950 : 936);
            PutClipboard(CF_TEXT, input.strBytes + '\0');
        }
        CTesterText expected;
        ASSERT_EQ(TransferText(input, static_cast<short>(c.nFrom), static_cast<short>(c.nTo), *s_pReference,
                               expected),
                  ETransferOutcome::Done);
        Choose(IDC_CLIPBOARD_FROM, c.nFrom);
        Choose(IDC_CLIPBOARD_TO, c.nTo);
        Click(IDC_CLIPBOARD_TRANSFER);
        // The output and two zero bytes; a Unicode output already ends in its converted terminator.
        const std::string block = expected.bUnicode ? UnitsBlock(expected.strUnits) : expected.strBytes;
        ASSERT_FALSE(block.empty());
        if (expected.bUnicode) {
            EXPECT_EQ(block.substr(block.size() - 2), std::string(2, '\0'));
        }
        EXPECT_EQ(ReadClipboard(expected.bUnicode ? CF_UNICODETEXT : CF_TEXT), block + std::string(2, '\0'))
            << c.nFrom << " to " << c.nTo;
    }
    // GB fa as Big5, known by heart.
    PutClipboard(CF_TEXT, std::string("\xB7\xA2", 3));
    Choose(IDC_CLIPBOARD_FROM, 0);
    Choose(IDC_CLIPBOARD_TO, 1);
    Click(IDC_CLIPBOARD_TRANSFER);
    EXPECT_EQ(ReadClipboard(CF_TEXT), std::string("\xB5\x6F\0\0", 4));

    // As another program meets the result: pasted, here into the tester's own source edit.
    CTesterText input, expected;
    input.bUnicode = true;
    input.strUnits = unicode + u'\0';
    ASSERT_EQ(TransferText(input, 3, 4, *s_pReference, expected), ETransferOutcome::Done);
    PutClipboard(CF_UNICODETEXT, UnitsBlock(input.strUnits));
    Choose(IDC_CLIPBOARD_FROM, 3);
    Choose(IDC_CLIPBOARD_TO, 4);
    Click(IDC_CLIPBOARD_TRANSFER);
    Type(L"");
    SendMessageW(Item(IDC_RESULT_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(Item(IDC_SOURCE_EDIT), WM_PASTE, 0, 0);
    const std::u16string& units = expected.strUnits;
    EXPECT_EQ(WindowText(Item(IDC_SOURCE_EDIT)), std::wstring(units.begin(), units.end() - 1));
    SaveScreenshot("tester-clipboard.bmp");
}

TEST_F(HostedTester, EqualFromAndToLeaveTheClipboardUntouched)
{
    for (int code : {3, 1}) {
        const std::string block = code == 3 ? UnitsBlock(std::u16string(u"abc\0", 4)) : std::string("abc\0", 4);
        const UINT format = code == 3 ? CF_UNICODETEXT : CF_TEXT;
        PutClipboard(format, block);
        const DWORD nSequence = GetClipboardSequenceNumber();
        Choose(IDC_CLIPBOARD_FROM, code);
        Choose(IDC_CLIPBOARD_TO, code);
        Click(IDC_CLIPBOARD_TRANSFER);
        EXPECT_EQ(GetClipboardSequenceNumber(), nSequence) << code;
        EXPECT_EQ(ReadClipboard(format), block) << code;
    }
}

TEST_F(HostedTester, TooLongAClipboardTextGivesTheMessageAndAnEmptyResult)
{
    std::u16string units(kSizeCheckUnits, u'a');
    units.push_back(u'\0');  // 32,769 units with the terminator
    PutClipboard(CF_UNICODETEXT, UnitsBlock(units));
    Choose(IDC_CLIPBOARD_FROM, 3);
    Choose(IDC_CLIPBOARD_TO, 4);
    ClickExpectingSizeMessage(IDC_CLIPBOARD_TRANSFER);
    EXPECT_EQ(ReadClipboard(CF_UNICODETEXT), std::string(2, '\0'));
}

TEST_F(HostedTester, ApplyingTheProfileKeepsTheControlConverting)
{
    Click(IDC_APPLY_PROFILE);
    ASSERT_TRUE(IsWindow(s_hDialog));
    EXPECT_EQ(EditAreaTransfer(0, 1, "\xB7\xA2"), "\xB5\x6F");
}

// ---- The tester with the control not registered

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct CHandOverCase {
    const char* pszPanelName;  // the stand-in's name in the tester's folder; null for none
};

class UnregisteredTester : public ::testing::TestWithParam<CHandOverCase> {};

TEST_P(UnregisteredTester, StartsTheControlPanelWithNoocxAndEnds)
{
    const CHandOverCase& c = GetParam();
    const std::string folder =
        WindowsPath(KIVO_BINARY_DIR) + "\\handover-" + (c.pszPanelName ? c.pszPanelName : "none");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string record = folder + "\\started.txt";
    DeleteFileA(record.c_str());
    const std::string tester = folder + "\\kivotester.exe";
    ASSERT_TRUE(CopyFileA(WindowsPath(KIVO_TESTER_PATH).c_str(), tester.c_str(), FALSE));
    for (const char* name : {"kivocp.exe", "kivocpd.exe"})
        DeleteFileA((folder + "\\" + name).c_str());
    if (c.pszPanelName) {
        ASSERT_TRUE(CopyFileA(WindowsPath(KIVO_STAND_IN_PATH).c_str(), (folder + "\\" + c.pszPanelName).c_str(),
                              FALSE));
    }

    // Started from elsewhere: the panel's folder is the tester's, not the caller's.
    CTesterProcess process;
    ASSERT_TRUE(process.Start(tester, WindowsPath(KIVO_BINARY_DIR)));
    DWORD nExitCode = 1;
    ASSERT_TRUE(process.WaitForExit(60000, nExitCode)) << "the tester did not end";
    EXPECT_EQ(nExitCode, 0u);
    if (!c.pszPanelName) {
        EXPECT_EQ(GetFileAttributesA(record.c_str()), INVALID_FILE_ATTRIBUTES);
        return;
    }
    ASSERT_TRUE(WaitFor([&] { return ReadLines(record).size() >= 4; }, 20000)) << "the panel did not start";
    const std::vector<std::string> lines = ReadLines(record);
    ASSERT_EQ(lines.size(), 4u) << "started more than once";
    EXPECT_EQ(lines[0], "noocx");
    EXPECT_EQ(lstrcmpiA(lines[1].c_str(), folder.c_str()), 0) << lines[1];
    EXPECT_EQ(lstrcmpiA(lines[2].c_str(), c.pszPanelName), 0) << lines[2];
    EXPECT_EQ(lines[3], std::to_string(SW_SHOWNORMAL));
}

INSTANTIATE_TEST_SUITE_P(Names, UnregisteredTester,
                         ::testing::Values(CHandOverCase{"kivocp.exe"}, CHandOverCase{"kivocpd.exe"},
                                           CHandOverCase{nullptr}),
                         [](const ::testing::TestParamInfo<CHandOverCase>& info) {
                             const char* name = info.param.pszPanelName;
                             return std::string(!name ? "NoPanel" : name[6] == 'd' ? "DebugPanel" : "Panel");
                         });

// ---- The whole hand-over: from no control to a tester that converts

struct CVisibleDialogSearch {
    std::wstring strTitle;
    DWORD nProcessId;  // 0: any process
    HWND hFound;
};

BOOL CALLBACK FindVisibleDialog(HWND hWnd, LPARAM lParam)
{
    CVisibleDialogSearch& search = *reinterpret_cast<CVisibleDialogSearch*>(lParam);
    char szClass[16] = {};
    GetClassNameA(hWnd, szClass, sizeof szClass);
    DWORD nProcessId = 0;
    GetWindowThreadProcessId(hWnd, &nProcessId);
    if (!IsWindowVisible(hWnd) || lstrcmpA(szClass, "#32770") != 0 ||
        (search.nProcessId && nProcessId != search.nProcessId))
        return TRUE;
    wchar_t szTitle[256] = {};
    InternalGetWindowText(hWnd, szTitle, 256);
    if (!search.strTitle.empty() && search.strTitle != szTitle)
        return TRUE;
    search.hFound = hWnd;
    return FALSE;
}

HWND VisibleDialog(const std::wstring& strTitle, DWORD nProcessId = 0)
{
    CVisibleDialogSearch search{strTitle, nProcessId, nullptr};
    EnumWindows(&FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// The wizard's sheet as the user sees it: its caption names the page on show.
class CWizardSheet {
public:
    bool WaitFor(const wchar_t* pszTitle)
    {
        return ::WaitFor([&] { return (m_hSheet = VisibleDialog(pszTitle)) != nullptr; }, 30000);
    }
    HWND Page() const { return reinterpret_cast<HWND>(SendMessageW(m_hSheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    bool NextEnabled() const { return IsWindowEnabled(GetDlgItem(m_hSheet, 0x3024)) != FALSE; }
    void Press(int nButton) const { PostMessageW(m_hSheet, PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0); }
    bool Next(const wchar_t* pszTitle)
    {
        Press(PSBTN_NEXT);
        return WaitFor(pszTitle);
    }
    HWND Get() const { return m_hSheet; }

private:
    HWND m_hSheet = nullptr;
};

// Puts the Lumbra settings back, and leaves the control unregistered as it was found.
class CHandOverRestore {
public:
    CHandOverRestore()
    {
        for (const char* pszValue : {"Lumbra Root Folder", "Lumbra Exe Path"})
            m_arrSaved.push_back(GetRegString("Path", pszValue, ""));
        SetRegString("Path", "Lumbra Root Folder", "");
        SetRegString("Path", "Lumbra Exe Path", "");
    }
    ~CHandOverRestore()
    {
        SetRegString("Path", "Lumbra Root Folder", m_arrSaved[0]);
        SetRegString("Path", "Lumbra Exe Path", m_arrSaved[1]);
        if (const HMODULE hControl = LoadLibraryA(WindowsPath(KIVO_OCX_PATH).c_str())) {
            using RegistrationFunction = HRESULT(__stdcall*)();
            if (const auto pfn = reinterpret_cast<RegistrationFunction>(
                    reinterpret_cast<void*>(GetProcAddress(hControl, "DllUnregisterServer"))))
                pfn();
            FreeLibrary(hControl);
        }
    }

private:
    std::vector<std::string> m_arrSaved;
};

TEST(UnregisteredTesterRoad, RegisteredAndLocatedInTheWizardTheTesterConverts)
{
    const std::string folder = WindowsPath(KIVO_BINARY_DIR) + "\\handover-road";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(WindowsPath(KIVO_TESTER_PATH).c_str(), (folder + "\\kivotester.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(WindowsPath(KIVO_CPANEL_PATH).c_str(), (folder + "\\kivocp.exe").c_str(), FALSE));
    const CHandOverRestore restore;

    // The tester finds no control and hands over to the panel's wizard.
    CTesterProcess first;
    ASSERT_TRUE(first.Start(folder + "\\kivotester.exe", folder));
    CWizardSheet wizard;
    ASSERT_TRUE(wizard.WaitFor(L"KIVO Configuration Wizard")) << "no wizard";
    DWORD nPanel = 0;
    GetWindowThreadProcessId(wizard.Get(), &nPanel);

    // Page 1: the control registered through the page's button and the file dialog.
    ASSERT_TRUE(wizard.Next(L"Register KIVO OCX Component"));
    PostMessageA(wizard.Page(), WM_COMMAND, MAKEWPARAM(IDC_WIZ_ACTION, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(wizard.Page(), IDC_WIZ_ACTION)));
    HWND hName = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (HWND hOpen : VisibleWindowsOf(nPanel, "#32770"))
                if ((hName = GetDlgItem(hOpen, 0x47c)) || (hName = GetDlgItem(hOpen, 0x480)))
                    return true;
            return false;
        },
        20000))
        << "no file dialog";
    SendMessageA(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WindowsPath(KIVO_OCX_PATH).c_str()));
    PostMessageA(GetParent(hName), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return wizard.NextEnabled(); }, 30000)) << "the control did not register";

    // Page 2: the stand-in Lumbra, its data and its program.
    ASSERT_TRUE(wizard.Next(L"Locate Lumbra (installation folder and executable path)"));
    SendMessageA(GetDlgItem(wizard.Page(), IDC_WIZ_FOLDER), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(WindowsPath(KIVO_LUMBRA_DATA).c_str()));
    SendMessageA(GetDlgItem(wizard.Page(), IDC_WIZ_EXE), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(WindowsPath(KIVO_LUMBRA_EXE).c_str()));
    ASSERT_TRUE(WaitFor([&] { return wizard.NextEnabled(); }, 5000));
    ASSERT_TRUE(wizard.Next(L"Word Adjustment Configration (Optional)"));
    ASSERT_TRUE(wizard.Next(L"Congratulations!"));
    wizard.Press(PSBTN_FINISH);

    // The panel starts the tester again, which now hosts the control.
    HWND hTester = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hTester = VisibleDialog(L"KIVO Tester")) != nullptr; }, 60000))
        << "the tester did not come back";
    EXPECT_EQ(GetRegString("Path", "Lumbra Root Folder", ""), WindowsPath(KIVO_LUMBRA_DATA));
    EXPECT_EQ(EditAreaTransferIn(hTester, 0, 1, "\xB7\xA2"), "\xB5\x6F");  // 发 -> 發
    PostMessageA(hTester, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(hTester); }, 20000));
}

} // namespace
