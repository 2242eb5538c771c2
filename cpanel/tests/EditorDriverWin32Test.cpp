// The sample text editor worked from outside as a user works it: opened from
// the control panel of a running kivocp.exe, real keys and mouse from
// xdotool for the accelerators and the target area, the real clipboard,
// files and registry. The areas' texts are read back as the bytes the
// editor holds.
#include "AreaText.h"
#include "Clipboard.h"
#include "ControlPanelResource.h"
#include "ControlPanelRun.h"
#include "KIVOCPApp.h"
#include "RecentFiles.h"
#include "SampleTextEditorDlg.h"
#include "XDoTool.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace paneltest;

// "中文简体" in GBK and "中文繁體" in Big5, with enough text round them for
// the detector to be sure.
const std::string kGbkText = "\xD6\xD0\xCE\xC4\xBC\xF2\xCC\xE5\xB5\xC4\xCE\xC4\xD7\xD6\xA3\xAC\xCE\xD2\xC3\xC7\xB5\xC4"
                             "\xCA\xC0\xBD\xE7\xA1\xA3";
const std::string kBig5Text = "\xA4\xA4\xA4\xE5\xC1\x63\xC5\xE9\xAA\xBA\xA4\xE5\xA6\x72\xA1\x41\xA7\xDA\xAD\xCC\xAA"
                              "\xBA\xA5\x40\xAC\xC9\xA1\x43";

constexpr char kRegWindow[] = "KIVOCP";

// An area's length and whole text from outside its process. (Wine answers
// GetWindowTextLength for another process's window from the caption it
// keeps, which an edit of much text never fills.)
int Length(HWND hArea)
{
    return static_cast<int>(SendMessageW(hArea, WM_GETTEXTLENGTH, 0, 0));
}

std::wstring WholeText(HWND hArea)
{
    std::wstring text(static_cast<size_t>(Length(hArea)) + 1, L'\0');
    const LRESULT nCopied = SendMessageW(hArea, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(nCopied > 0 ? nCopied : 0));
    return text;
}
constexpr DWORD kAbsent = 0xDEADBEEF;

bool PutClipboardBytes(const std::string& bytes)
{
    CGlobalBlock block = MakeGlobalBlock(bytes.data(), bytes.size(), 1);
    CClipboardSession clipboard(nullptr);
    if (!block.Get() || !clipboard.IsOpen() || !EmptyClipboard() || !SetClipboardData(CF_TEXT, block.Get()))
        return false;
    block.Release();
    return true;
}

std::string ClipboardBytes()
{
    std::string bytes;
    ReadClipboardBytes(nullptr, bytes);
    return bytes;
}

// The values gone from the machine's root and from the user's key alike.
void DeleteValues(const char* pszSubKey, std::initializer_list<const char*> values)
{
    const std::string strKey = std::string(kKivoRegistryPath) + "\\" + pszSubKey;
    for (HKEY hHive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(hHive, strKey.c_str(), 0, KEY_SET_VALUE | kSettingsRegistryView, &hKey) != 0)
            continue;
        for (const char* pszValue : values)
            RegDeleteValueA(hKey, pszValue);
        RegCloseKey(hKey);
    }
}

class SampleTextEditor : public ControlPanel {
protected:
    void SetUp() override
    {
        ControlPanel::SetUp();
        DeleteValues("Options", {"Source Language", "Destination Language"});
        DeleteValues(kRegWindow, {"On Top", "Pos Left", "Pos Right", "Pos Top", "Pos Bottom"});
        DeleteValues("File", {"Last Source File Folder", "Last Destination File Folder"});
        // A colour of an earlier version's, in the machine's root only.
        DeleteValues("Color", {"Source Text", "Source Background", "Destination Text", "Destination Background"});
        settingstest::PutDWORD(HKEY_LOCAL_MACHINE, std::string(kKivoRegistryPath) + "\\Color", "Source Text",
                               0x123456);
        for (const char* pszKey : {kRecentSourceKey, kRecentDestinationKey})
            SetUserRegString(pszKey, "1", "");
        m_pProcess = &Start();
        m_hPanel = WaitForPanel(*m_pProcess);
        ASSERT_NE(m_hPanel, nullptr);
        m_hEditor = OpenEditor(m_hPanel);
        ASSERT_NE(m_hEditor, nullptr);
    }

    HWND OpenEditor(HWND hPanel)
    {
        Click(hPanel, IDC_MCP_EDITOR);
        HWND hEditor = nullptr;
        WaitFor(
            [&] {
                for (HWND hWnd : VisibleWindowsOf(m_pProcess->GetId(), kPanelClass))
                    if (GetDlgItem(hWnd, IDC_DCE_SOURCE))
                        hEditor = hWnd;
                return hEditor != nullptr;
            },
            kWaitMs);
        return hEditor;
    }

    HWND Area(int nArea) const { return GetDlgItem(m_hEditor, nArea == 1 ? IDC_DCE_SOURCE : IDC_DCE_DESTINATION); }
    int Language(int nArea) const
    {
        return static_cast<int>(SendMessageA(
            GetDlgItem(m_hEditor, nArea == 1 ? IDC_DCE_SOURCE_LANGUAGE : IDC_DCE_DESTINATION_LANGUAGE), CB_GETCURSEL,
            0, 0));
    }
    // The area's text as the bytes of its language.
    std::string Bytes(int nArea) const
    {
        return EncodeAreaText(WholeText(Area(nArea)), Language(nArea) == 1 ? 950 : 936);
    }
    // The mouse over the middle of an area, as the target area goes by it.
    static bool MouseOver(HWND hWnd)
    {
        RECT rect = {};
        GetWindowRect(hWnd, &rect);
        return XDoTool("mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                       std::to_string((rect.top + rect.bottom) / 2));
    }
    // Keys typed into an area, as a user clicks into it first.
    bool Keys(int nArea, const std::string& strKeys) const
    {
        SetForegroundWindow(m_hEditor);
        return MouseOver(Area(nArea)) && XDoTool("click 1") && XDoTool("key --delay 100 " + strKeys);
    }
    // The keyboard's place in the editor's thread.
    HWND Focus() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_hEditor, nullptr), &info) ? info.hwndFocus : nullptr;
    }
    DWORD SelectionEnd(int nArea) const
    {
        DWORD dwStart = 0, dwEnd = 0;
        SendMessageA(Area(nArea), EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
        return dwEnd - dwStart;
    }
    // Replaces an area's text as typing does (a multi-line edit reports no
    // change for WM_SETTEXT).
    void Type(int nArea, const std::wstring& strText) const
    {
        SendMessageW(Area(nArea), EM_SETSEL, 0, -1);
        SendMessageW(Area(nArea), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(strText.c_str()));
    }
    // The program's message box, its text and its answer.
    std::string AnswerBox(int nButton)
    {
        const HWND hBox = WaitForDialogWith(*m_pProcess, kMessageBoxIdText);
        if (!hBox)
            return "(no box)";
        const std::string strText = BoxText(hBox);
        PostMessageA(hBox, WM_COMMAND, nButton, 0);
        WaitFor([&] { return !IsWindow(hBox); }, kWaitMs);
        return strText;
    }
    std::string Recent(const char* pszKey, int nEntry) { return GetUserRegString(pszKey, std::to_string(nEntry), "?"); }

    CChildProcess* m_pProcess = nullptr;
    HWND m_hPanel = nullptr;
    HWND m_hEditor = nullptr;
};

// ---- Paste, accelerators and the target area

TEST_F(SampleTextEditor, PasteIntoAnEmptyAreaTakesTheClipboardsLanguageFirst)
{
    // GBK into the empty source: its language is GBK already, so nothing is written.
    ASSERT_TRUE(PutClipboardBytes(kGbkText));
    ASSERT_TRUE(Keys(1, "ctrl+v"));
    ASSERT_TRUE(WaitFor([&] { return Bytes(1) == kGbkText; }, kWaitMs)) << "source holds " << Bytes(1);
    EXPECT_EQ(Language(1), 0);

    // Big5 into the empty destination switches it to Big5 before the text goes in.
    ASSERT_TRUE(PutClipboardBytes(kBig5Text));
    ASSERT_TRUE(Keys(3, "ctrl+v"));
    ASSERT_TRUE(WaitFor([&] { return Language(3) == 1 && Bytes(3) == kBig5Text; }, kWaitMs))
        << "destination holds " << Bytes(3) << " in language " << Language(3);
    EXPECT_EQ(GetUserRegDWORD("Options", "Destination Language", kAbsent), 1u);
    EXPECT_EQ(GetUserRegDWORD("Options", "Source Language", kAbsent), kAbsent);
    Screenshot(m_hEditor, "editor-gbk-above-big5-below.bmp");

    // Big5 into the non-empty GBK source: the language stays, the bytes go in as they are.
    ASSERT_TRUE(MouseOver(Area(1)) && XDoTool("click 1"));
    ASSERT_TRUE(Keys(1, "ctrl+End ctrl+v"));
    ASSERT_TRUE(WaitFor([&] { return Bytes(1) == kGbkText + kBig5Text; }, kWaitMs)) << Bytes(1);
    EXPECT_EQ(Language(1), 0);

    // Copy All takes the area's bytes, whatever the system's code page.
    PostMessageA(m_hEditor, WM_COMMAND, MAKEWPARAM(IDC_DCE_DESTINATION_TOOLS + 5, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_TOOLS + 5)));
    EXPECT_TRUE(WaitFor([&] { return ClipboardBytes() == kBig5Text; }, kWaitMs)) << ClipboardBytes();

    // Choosing the language an area has already writes nothing.
    DeleteValues("Options", {"Destination Language"});
    SendMessageA(GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_LANGUAGE), CB_SETCURSEL, 1, 0);
    SendMessageA(m_hEditor, WM_COMMAND, MAKEWPARAM(IDC_DCE_DESTINATION_LANGUAGE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_LANGUAGE)));
    EXPECT_EQ(GetUserRegDWORD("Options", "Destination Language", kAbsent), kAbsent);
    // A real change keeps the bytes and writes the choice.
    SendMessageA(GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_LANGUAGE), CB_SETCURSEL, 0, 0);
    SendMessageA(m_hEditor, WM_COMMAND, MAKEWPARAM(IDC_DCE_DESTINATION_LANGUAGE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_LANGUAGE)));
    EXPECT_EQ(GetUserRegDWORD("Options", "Destination Language", kAbsent), 0u);
    EXPECT_EQ(Bytes(3), kBig5Text);
}

TEST_F(SampleTextEditor, DetectionReadsOnlyTheHeadOfAHugeClipboard)
{
    // Ten thousand plain characters, then Big5: detection sees plain text
    // and leaves the language; the whole text still goes in.
    std::string strHuge(10000, 'a');
    while (strHuge.size() < 1024 * 1024)
        strHuge += kBig5Text + "\r\n";
    ASSERT_TRUE(PutClipboardBytes(strHuge));
    ASSERT_TRUE(Keys(1, "ctrl+v"));
    const DWORD dwStart = GetTickCount();
    ASSERT_TRUE(WaitFor([&] { return Length(Area(1)) > 0; }, 120000));
    std::printf("pasting %u bytes took %lu ms\n", static_cast<unsigned>(strHuge.size()), GetTickCount() - dwStart);
    EXPECT_EQ(Language(1), 0);
    EXPECT_EQ(Bytes(1).size(), strHuge.size());
}

TEST_F(SampleTextEditor, AcceleratorsActOnTheFocusedAreaAndElseOnTheOneUnderTheMouse)
{
    SetWindowTextA(Area(1), "source");
    SetWindowTextA(Area(3), "destination");
    // The caret in the source, the mouse over the destination: the source it is.
    SetForegroundWindow(m_hEditor);
    ASSERT_TRUE(MouseOver(Area(1)) && XDoTool("click 1"));
    ASSERT_TRUE(WaitFor([&] { return Focus() == Area(1); }, kWaitMs));
    ASSERT_TRUE(MouseOver(Area(3)) && XDoTool("key ctrl+a"));
    EXPECT_TRUE(WaitFor([&] { return SelectionEnd(1) == 6; }, kWaitMs)) << "the focused area was not selected";
    EXPECT_EQ(SelectionEnd(3), 0u) << "the area under the mouse was selected";

    // Neither area focused (the language list is): the mouse decides.
    SendMessageA(Area(1), EM_SETSEL, 0, 0);
    PostMessageA(m_hEditor, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(m_hEditor, IDC_DCE_SOURCE_LANGUAGE)), TRUE);
    ASSERT_TRUE(WaitFor([&] { return Focus() == GetDlgItem(m_hEditor, IDC_DCE_SOURCE_LANGUAGE); }, kWaitMs));
    ASSERT_TRUE(MouseOver(Area(3)) && XDoTool("key ctrl+a"));
    EXPECT_TRUE(WaitFor([&] { return SelectionEnd(3) == 11; }, kWaitMs));
    EXPECT_EQ(SelectionEnd(1), 0u) << "the source area was selected too";
    EXPECT_EQ(GetFocus(), nullptr);  // the focus is the editor's thread's, not ours

    ASSERT_TRUE(Keys(3, "ctrl+t"));
    EXPECT_TRUE(WaitFor([&] { return GetUserRegDWORD(kRegWindow, "On Top", kAbsent) == 1; }, kWaitMs));
    EXPECT_TRUE(GetWindowLongA(m_hEditor, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(Keys(1, "ctrl+t"));
    EXPECT_TRUE(WaitFor([&] { return GetUserRegDWORD(kRegWindow, "On Top", kAbsent) == 0; }, kWaitMs));
    // Wine leaves an owned window topmost after HWND_NOTOPMOST, so only the
    // stored choice is checked here.
}

// A point inside character `nChar` of an area, in screen pixels.
POINT CharPoint(HWND hArea, int nChar, int nRight = 3)
{
    const LRESULT result = SendMessageW(hArea, EM_POSFROMCHAR, static_cast<WPARAM>(nChar), 0);
    POINT point = {static_cast<short>(LOWORD(result)) + nRight, static_cast<short>(HIWORD(result)) + 6};
    ClientToScreen(hArea, &point);
    return point;
}

std::string At(POINT point)
{
    return std::to_string(point.x) + " " + std::to_string(point.y);
}

TEST_F(SampleTextEditor, DraggingMovesTheAreasBytesWhateverTheyShowAs)
{
    // GBK text above; below, a Big5 area: the dragged bytes arrive unchanged
    // (and show as whatever they are in Big5).
    ASSERT_TRUE(PutClipboardBytes(kGbkText));
    ASSERT_TRUE(Keys(1, "ctrl+v"));
    ASSERT_TRUE(WaitFor([&] { return Bytes(1) == kGbkText; }, kWaitMs));
    SendMessageA(GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_LANGUAGE), CB_SETCURSEL, 1, 0);
    SendMessageA(m_hEditor, WM_COMMAND, MAKEWPARAM(IDC_DCE_DESTINATION_LANGUAGE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_LANGUAGE)));
    Type(3, L"x");

    // The first two characters of the source, dropped after the "x".
    SendMessageW(Area(1), EM_SETSEL, 0, 2);
    const POINT from = CharPoint(Area(1), 0, 4);
    const POINT to = CharPoint(Area(3), 0, 30);
    ASSERT_TRUE(XDoTool("mousemove " + At(from) + " mousedown 1 sleep 0.3 mousemove " + std::to_string(from.x + 8) +
                        " " + std::to_string(from.y + 2) + " sleep 0.3 mousemove " + At(to) +
                        " sleep 0.3 mousemove_relative 1 0 sleep 0.3 mousemove " + At(to) + " sleep 0.3 mouseup 1"));
    ASSERT_TRUE(WaitFor([&] { return Bytes(3) == "x" + kGbkText.substr(0, 4); }, kWaitMs)) << Bytes(3);
    EXPECT_EQ(Bytes(1), kGbkText.substr(4));

    // Inside one area: the third and fourth characters to the end of the source.
    const int nLength = Length(Area(1));
    SendMessageW(Area(1), EM_SETSEL, 2, 4);
    const POINT inside = CharPoint(Area(1), 2, 4);
    const POINT end = CharPoint(Area(1), nLength - 1, 12);
    ASSERT_TRUE(XDoTool("mousemove " + At(inside) + " mousedown 1 sleep 0.3 mousemove " +
                        std::to_string(inside.x + 8) + " " + std::to_string(inside.y + 2) + " sleep 0.3 mousemove " +
                        At(end) + " sleep 0.3 mousemove_relative 1 0 sleep 0.3 mousemove " + At(end) +
                        " sleep 0.3 mouseup 1"));
    const std::string strRest = kGbkText.substr(4);
    const std::string strExpected = strRest.substr(0, 4) + strRest.substr(8) + strRest.substr(4, 4);
    EXPECT_TRUE(WaitFor([&] { return Bytes(1) == strExpected; }, kWaitMs)) << Bytes(1);
}

// ---- Files

TEST_F(SampleTextEditor, OpeningReadsBytesAndKeepsTheRecentList)
{
    const std::string strFile = m_scratch / "big5.txt";
    CScratchFolder::WriteBytes(strFile, kBig5Text + "\r\n");
    ASSERT_TRUE(Keys(3, "ctrl+o"));
    ASSERT_TRUE(AnswerFileDialog(*m_pProcess, strFile));
    ASSERT_TRUE(WaitFor([&] { return !TextOf(Area(3)).empty(); }, kWaitMs));
    EXPECT_EQ(EncodeAreaText(TextOf(Area(3)), 936), kBig5Text + "\r\n");  // the bytes, shown as GBK
    EXPECT_EQ(GetUserRegString("File", "Last Destination File Folder", ""), m_scratch.Path());
    EXPECT_EQ(Recent(kRecentDestinationKey, 1), strFile);
    EXPECT_EQ(Recent(kRecentDestinationKey, 2), "");

    // The same file again, after an edit: nothing happens, not even a prompt.
    Type(3, L"edited");
    ASSERT_TRUE(Keys(3, "ctrl+o"));
    ASSERT_TRUE(AnswerFileDialog(*m_pProcess, strFile));
    Sleep(1000);
    EXPECT_EQ(TextOf(Area(3)), L"edited");
    EXPECT_EQ(Recent(kRecentDestinationKey, 2), "");

    // What cannot be opened, each with its message; the area stays as it was
    // when the file is missing, and is closed (after No) otherwise.
    struct CBadFile {
        const char* pszName;
        std::string bytes;
        const char* pszMessageStart;
    };
    std::string strLateZero;
    while (strLateZero.size() < 40000)
        strLateZero += "a line of text\r\n";
    strLateZero[33000] = '\0';
    std::string strEarlyZero(200, 'x');
    strEarlyZero[100] = '\0';
    const CBadFile kFiles[] = {
        {"missing.txt", "", "File \""},
        {"binary.txt", strEarlyZero, "\""},
    };
    for (const CBadFile& bad : kFiles) {
        const std::string strPath = m_scratch / bad.pszName;
        if (!bad.bytes.empty())
            CScratchFolder::WriteBytes(strPath, bad.bytes);
        ASSERT_TRUE(Keys(3, "ctrl+o"));
        ASSERT_TRUE(AnswerFileDialog(*m_pProcess, strPath));
        if (!bad.bytes.empty()) {
            EXPECT_NE(AnswerBox(IDNO).find("will you save"), std::string::npos) << bad.pszName;
        }
        const std::string strMessage = AnswerBox(IDOK);
        EXPECT_EQ(strMessage.rfind(bad.pszMessageStart, 0), 0u) << bad.pszName << ": " << strMessage;
        EXPECT_NE(strMessage.find(strPath), std::string::npos) << strMessage;
    }
    EXPECT_EQ(TextOf(Area(3)), L"");
    const std::string strLate = m_scratch / "late-zero.txt";
    CScratchFolder::WriteBytes(strLate, strLateZero);
    ASSERT_TRUE(Keys(3, "ctrl+o"));
    ASSERT_TRUE(AnswerFileDialog(*m_pProcess, strLate));
    EXPECT_TRUE(WaitFor([&] { return Length(Area(3)) > 0; }, kWaitMs))
        << "a late zero byte is text";
    EXPECT_EQ(Bytes(3), strLateZero);
    EXPECT_EQ(Recent(kRecentDestinationKey, 1), strLate);
    EXPECT_EQ(Recent(kRecentDestinationKey, 2), strFile);
}

TEST_F(SampleTextEditor, SavePromptsAnswerBothWays)
{
    // Closing a changed, untitled area: Cancel keeps it, No empties it.
    Type(1, L"draft");
    const HWND hClose = GetDlgItem(m_hEditor, IDC_DCE_SOURCE_TOOLS + 1);
    Click(m_hEditor, IDC_DCE_SOURCE_TOOLS + 1);
    EXPECT_EQ(AnswerBox(IDCANCEL), "You have made changes to the source text, will you save changes?");
    EXPECT_EQ(TextOf(Area(1)), L"draft");
    Click(m_hEditor, GetDlgCtrlID(hClose));
    AnswerBox(IDNO);
    EXPECT_TRUE(WaitFor([&] { return TextOf(Area(1)).empty(); }, kWaitMs));

    // Saving an untitled area under "notes" writes notes.txt, its bytes exact.
    Type(1, DecodeAreaBytes(kGbkText, 936));
    ASSERT_TRUE(Keys(1, "ctrl+s"));
    ASSERT_TRUE(AnswerFileDialog(*m_pProcess, m_scratch / "notes"));
    const std::string strNotes = m_scratch / "notes.txt";
    ASSERT_TRUE(WaitFor([&] { return CScratchFolder::ReadBytes(strNotes) == kGbkText; }, kWaitMs));
    EXPECT_EQ(GetUserRegString("File", "Last Source File Folder", ""), m_scratch.Path());

    // A read-only file: the writer asks; No leaves it untouched and says so.
    SetFileAttributesA(strNotes.c_str(), FILE_ATTRIBUTE_READONLY);
    Type(1, L"replacement");
    ASSERT_TRUE(Keys(1, "ctrl+s"));
    AnswerBox(IDNO);
    EXPECT_EQ(AnswerBox(IDOK), "Operation was canceled by user.");
    EXPECT_EQ(CScratchFolder::ReadBytes(strNotes), kGbkText);

    // Closing the window with that change: Cancel keeps it open, No closes it.
    PostMessageA(m_hEditor, WM_CLOSE, 0, 0);
    EXPECT_NE(AnswerBox(IDCANCEL).find("notes.txt"), std::string::npos);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(m_hEditor));
    PostMessageA(m_hEditor, WM_CLOSE, 0, 0);
    AnswerBox(IDNO);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(m_hEditor); }, kWaitMs));
    EXPECT_EQ(CScratchFolder::ReadBytes(strNotes), kGbkText);
    SetFileAttributesA(strNotes.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SampleTextEditor, ABig5AreaSavedUnderAWesternCodePageKeepsEveryByte)
{
    // The test runs with LANG=C, so Wine's ANSI code page is 1252, which has
    // none of these characters: any step through it would leave "?"s.
    ASSERT_EQ(GetACP(), 1252u);
    const HWND hLanguage = GetDlgItem(m_hEditor, IDC_DCE_DESTINATION_LANGUAGE);
    SendMessageA(hLanguage, CB_SETCURSEL, 1, 0);
    SendMessageA(m_hEditor, WM_COMMAND, MAKEWPARAM(IDC_DCE_DESTINATION_LANGUAGE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hLanguage));
    Type(3, DecodeAreaBytes(kBig5Text, 950));
    ASSERT_EQ(Bytes(3), kBig5Text);
    ASSERT_TRUE(MouseOver(Area(3)) && XDoTool("click 1"));
    ASSERT_TRUE(Keys(3, "ctrl+s"));
    const std::string strSaved = m_scratch / "big5.txt";
    ASSERT_TRUE(AnswerFileDialog(*m_pProcess, strSaved));
    EXPECT_TRUE(WaitFor([&] { return CScratchFolder::ReadBytes(strSaved) == kBig5Text; }, kWaitMs))
        << CScratchFolder::ReadBytes(strSaved);
}

TEST_F(SampleTextEditor, SavingAsksBeforeItReplacesAFileOrLosesCharacters)
{
    // "notes" typed where notes.txt exists: the dialog knew only "notes", so
    // the editor asks; No writes nothing, Yes replaces it.
    const std::string strNotes = m_scratch / "notes.txt";
    CScratchFolder::WriteBytes(strNotes, "the user's notes");
    Type(1, L"new text");
    ASSERT_TRUE(Keys(1, "ctrl+s"));
    ASSERT_TRUE(AnswerFileDialog(*m_pProcess, m_scratch / "notes"));
    const std::string strAsked = AnswerBox(IDNO);
    EXPECT_EQ(strAsked.rfind("Following file already exists, will you overwrite it?", 0), 0u) << strAsked;
    EXPECT_NE(strAsked.find(strNotes), std::string::npos) << strAsked;
    Sleep(500);
    EXPECT_EQ(CScratchFolder::ReadBytes(strNotes), "the user's notes");
    ASSERT_TRUE(Keys(1, "ctrl+s"));
    ASSERT_TRUE(AnswerFileDialog(*m_pProcess, m_scratch / "notes"));
    AnswerBox(IDYES);
    EXPECT_TRUE(WaitFor([&] { return CScratchFolder::ReadBytes(strNotes) == "new text"; }, kWaitMs));

    // Characters GBK has not (a Thai letter, an emoji): how many is said
    // first; No saves nothing, Yes saves them as "?".
    Type(1, std::wstring(L"ab\u0E01") + L"c" + L"\xD83D\xDE00");
    ASSERT_TRUE(Keys(1, "ctrl+s"));
    const std::string strLoss = AnswerBox(IDNO);
    EXPECT_EQ(strLoss.rfind("2 character(s) of this text cannot be written in GBK", 0), 0u) << strLoss;
    Sleep(500);
    EXPECT_EQ(CScratchFolder::ReadBytes(strNotes), "new text");
    ASSERT_TRUE(Keys(1, "ctrl+s"));
    AnswerBox(IDYES);
    EXPECT_TRUE(WaitFor([&] { return CScratchFolder::ReadBytes(strNotes).rfind("ab?c?", 0) == 0; }, kWaitMs))
        << CScratchFolder::ReadBytes(strNotes);
    // Text GBK holds saves without a word.
    Type(1, DecodeAreaBytes(kGbkText, 936));
    ASSERT_TRUE(Keys(1, "ctrl+s"));
    EXPECT_TRUE(WaitFor([&] { return CScratchFolder::ReadBytes(strNotes) == kGbkText; }, kWaitMs));
    EXPECT_TRUE(BoxesOf(*m_pProcess).empty());
}

// ---- In the driver's own process, where an area can be made full

WNDPROC g_pfnAreaProc = nullptr;

// An area that takes no more text, as a full one of the Windows 95 family
// takes less than it is given.
LRESULT CALLBACK FullArea(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_SETTEXT && lParam && *reinterpret_cast<const char*>(lParam) != '\0')
        return FALSE;
    return CallWindowProcW(g_pfnAreaProc, hWnd, uMsg, wParam, lParam);
}

TEST_F(ControlPanel, ALoadTheAreaCannotTakeLeavesItUntitledAndSaysSo)
{
    const std::string strFile = m_scratch / "letter.txt";
    CScratchFolder::WriteBytes(strFile, "the letter's own text\r\n");
    SetUserRegString(kRecentSourceKey, "1", "");
    CKIVOCPApp app;
    app.m_strMainPath = m_strMain;
    app.ChooseInterfaceLanguage();
    ASSERT_TRUE(CKIVOCPApp::RegisterWindowClass());
    CSampleTextEditorDlg editor(app);
    ASSERT_TRUE(editor.Create(nullptr));
    const HWND hSource = editor.GetItem(IDC_DCE_SOURCE);
    g_pfnAreaProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hSource, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FullArea)));

    // The editor's message box, answered from another thread while the
    // editor runs it on this one.
    std::atomic<bool> bDone{false};
    std::string strSaid;
    std::thread answer([&] {
        while (!bDone) {
            for (HWND hBox : VisibleWindowsOf(GetCurrentProcessId(), "#32770"))
                if (GetDlgItem(hBox, kMessageBoxIdText) && strSaid.empty()) {
                    strSaid = BoxText(hBox);
                    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                }
            Sleep(100);
        }
    });
    editor.LoadAreaFile(strFile, CSampleTextEditorDlg::kAreaSource);
    bDone = true;
    answer.join();
    EXPECT_EQ(strSaid, "Source edit area was full, you can't fill more text in it");
    EXPECT_EQ(editor.m_strSourceFile, "") << "named after a file it does not hold";
    EXPECT_FALSE(editor.m_bSourceModified);
    EXPECT_EQ(GetUserRegString(kRecentSourceKey, "1", "?"), "");
    SetWindowLongPtrW(hSource, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnAreaProc));
    // A Save now asks for a name: the letter stays as it is.
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "the letter's own text\r\n");
    editor.EndDialog(IDCANCEL);
}

// ---- The window

TEST_F(SampleTextEditor, AreasShowHideAndTheWindowKeepsItsPlace)
{
    const HWND hSource = Area(1), hDestination = Area(3);
    RECT source = {}, destination = {};
    GetWindowRect(hSource, &source);
    GetWindowRect(hDestination, &destination);
    EXPECT_LE(std::abs((source.bottom - source.top) - (destination.bottom - destination.top)), 1);

    // Hiding the source while the destination is hidden shows the destination.
    Click(m_hEditor, IDC_DCE_SHOW_DESTINATION);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(hDestination); }, kWaitMs));
    Click(m_hEditor, IDC_DCE_SHOW_SOURCE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(hSource) && IsWindowVisible(hDestination); }, kWaitMs));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(m_hEditor, IDC_DCE_SOURCE_LANGUAGE)));
    RECT client = {};
    GetClientRect(m_hEditor, &client);
    EXPECT_TRUE(WaitFor(
        [&] { return GetWindowRect(hDestination, &destination) && destination.bottom - destination.top > client.bottom / 2; },
        kWaitMs))
        << "the one area takes the room";

    // Too small a window is made the smallest allowed.
    SetWindowPos(m_hEditor, nullptr, 0, 0, 100, 60, SWP_NOMOVE | SWP_NOZORDER);
    RECT window = {};
    WaitFor([&] { return GetWindowRect(m_hEditor, &window) && window.right - window.left >= 380; }, kWaitMs);
    EXPECT_GE(window.right - window.left, 380);
    EXPECT_GE(window.bottom - window.top, 150);

    // Closing writes the colours and no position; minimising writes the
    // position. The colours are the user's: written under the current user
    // only, as read (the root's, where nothing of the user's was yet).
    PostMessageA(m_hEditor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(m_hEditor); }, kWaitMs));
    const std::string strColours = std::string(kKivoRegistryPath) + "\\Color";
    EXPECT_EQ(GetUserRegDWORD(kRegWindow, "Pos Left", kAbsent), kAbsent);
    EXPECT_EQ(settingstest::GetDWORD(HKEY_CURRENT_USER, strColours, "Source Background", kAbsent),
              RGB(255, 128, 192));
    EXPECT_EQ(settingstest::GetDWORD(HKEY_CURRENT_USER, strColours, "Source Text", kAbsent), 0x123456u);
    EXPECT_EQ(settingstest::GetDWORD(HKEY_LOCAL_MACHINE, strColours, "Source Background", kAbsent), kAbsent);
    m_hEditor = OpenEditor(m_hPanel);
    ASSERT_NE(m_hEditor, nullptr);
    EXPECT_TRUE(IsWindowVisible(Area(1)) && IsWindowVisible(Area(3))) << "a new window starts afresh";
    GetWindowRect(m_hEditor, &window);
    PostMessageA(m_hEditor, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return GetUserRegDWORD(kRegWindow, "Pos Bottom", kAbsent) != kAbsent; }, kWaitMs));
    EXPECT_EQ(static_cast<LONG>(GetUserRegDWORD(kRegWindow, "Pos Left", kAbsent)), window.left);
    EXPECT_EQ(static_cast<LONG>(GetUserRegDWORD(kRegWindow, "Pos Right", kAbsent)), window.right);
    EXPECT_EQ(static_cast<LONG>(GetUserRegDWORD(kRegWindow, "Pos Top", kAbsent)), window.top);
    EXPECT_EQ(static_cast<LONG>(GetUserRegDWORD(kRegWindow, "Pos Bottom", kAbsent)), window.bottom);
}

} // namespace
