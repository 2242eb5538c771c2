// Help and links against the real machinery of the prefix: the HTML Help
// viewer on the built help files, the shell's "open" and the ".htm"
// association reaching a recording browser, real mouse and keys from
// xdotool on the link control, the registry for the release notes, and the
// About box's template.
//
// help_links_driver.py runs this program: it serves the online help on
// 127.0.0.1, names a recording browser in Wine's browser setting and passes
// in the environment:
//   KIVO_TEST_SITE          the server's address, written as the vendor site
//   KIVO_TEST_BROWSER_LOG   the file the recording browser appends to: one
//                           line per start, its arguments separated by tabs
//   KIVO_TEST_RECORDER      the recording browser itself (a Unix program)
// It reads the viewer's navigations from Wine's trace and matches them with
// the "KIVO-EXPECT-NAVIGATION" lines written here. Without that environment
// the tests that need a browser are skipped.
#include "AboutDlg.h"
#include "BrowserCommand.h"
#include "DialogTemplate.h"
#include "DialogTestSupport.h"
#include "FixedLanguage.h"
#include "HelpOpener.h"
#include "HelpTopics.h"
#include "HyperLink.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "OpenFailureReason.h"
#include "Registry.h"
#include "ReleaseNotes.h"
#include "ScratchFolder.h"
#include "ScreenCapture.h"
#include "ScopedKernelHandles.h"
#include "SettingsRegistry.h"
#include "WebAddresses.h"
#include "WebPageOpener.h"
#include "XDoTool.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <htmlhelp.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using dialogtest::PumpFor;
using dialogtest::PumpUntil;

std::string Env(const char* pszName)
{
    const char* pszValue = std::getenv(pszName);
    return pszValue ? pszValue : "";
}

std::string WindowsPath(const std::string& strUnix)
{
    std::string strPath = "Z:";
    for (const char c : strUnix)
        strPath += c == '/' ? '\\' : c;
    return strPath;
}

// The text as the window keeps it, without a message: the dialogs are ANSI
// windows, and a message would narrow a Chinese caption to the system's code page.
std::wstring WideText(HWND hWnd)
{
    wchar_t szText[512] = {};
    ::InternalGetWindowText(hWnd, szText, 512);
    return szText;
}

// Wine's viewer captions its window with the file's title widened byte by
// byte, whatever the file's language: the bytes come back from the low halves.
std::string ViewerTitleBytes(HWND hWnd)
{
    std::string strBytes;
    for (const wchar_t c : WideText(hWnd))
        strBytes += c < 0x100 ? static_cast<char>(c) : '?';
    return strBytes;
}

// The product's settings moved to a scratch key of the current user for one
// test, so that nothing of the machine's own configuration is read or written.
class CScratchRegistryRoot {
public:
    CScratchRegistryRoot() : m_strPath("Software\\KIVO-links-test-" + std::to_string(::GetCurrentProcessId()))
    {
        SetRegistryRoot(HKEY_CURRENT_USER, m_strPath);
        const std::string strSite = Env("KIVO_TEST_SITE");
        if (!strSite.empty())
            SetRegString(kRegWeb, kRegVendorSite, strSite + "/");
    }
    ~CScratchRegistryRoot()
    {
        settingstest::DeleteTree(HKEY_CURRENT_USER, m_strPath);
        SetRegistryRoot(HKEY_LOCAL_MACHINE, kKivoRegistryPath);
    }

private:
    std::string m_strPath;
};

// What the recording browser was started with, one start per entry.
class CBrowserLog {
public:
    CBrowserLog() : m_strPath(Env("KIVO_TEST_BROWSER_LOG")) { Clear(); }

    bool IsAvailable() const { return !m_strPath.empty(); }
    void Clear() const { ::DeleteFileA(m_strPath.c_str()); }

    std::vector<std::string> Starts() const
    {
        std::vector<std::string> arrStarts;
        std::string strText = CScratchFolder::ReadBytes(m_strPath);
        for (std::size_t nEnd; strText != "<missing>" && (nEnd = strText.find("\t\n")) != std::string::npos;
             strText.erase(0, nEnd + 2))
            arrStarts.push_back(strText.substr(0, nEnd));
        return arrStarts;
    }

    // Waits (pumping) until `nCount` starts are recorded, and a little more
    // to catch any start too many.
    std::vector<std::string> WaitForStarts(std::size_t nCount, DWORD nTimeoutMs = 15000) const
    {
        PumpUntil([&] { return Starts().size() >= nCount; }, nTimeoutMs);
        PumpFor(300);
        return Starts();
    }

private:
    std::string m_strPath;
};

// The default value of an HKEY_CLASSES_ROOT key, with the old calls that
// read and write just that.
std::string ClassesDefault(const std::string& strKey)
{
    char szValue[1024] = {};
    LONG nSize = sizeof szValue - 1;
    return ::RegQueryValueA(HKEY_CLASSES_ROOT, strKey.c_str(), szValue, &nSize) == ERROR_SUCCESS ? szValue : "";
}

void SetClassesDefault(const std::string& strKey, const std::string& strValue)
{
    ::RegSetValueA(HKEY_CLASSES_ROOT, strKey.c_str(), REG_SZ, strValue.c_str(), static_cast<DWORD>(strValue.size()));
}

// The shell made unable to open web addresses while the object lives: the
// "http" command names a program that does not exist, ShellExecute answers 2.
class CBrokenShell {
public:
    CBrokenShell() : m_strSaved(ClassesDefault(kKey)) { SetClassesDefault(kKey, "\"C:\\nowhere\\no.exe\" \"%1\""); }
    ~CBrokenShell() { SetClassesDefault(kKey, m_strSaved); }

private:
    static constexpr const char* kKey = "http\\shell\\open\\command";
    std::string m_strSaved;
};

// An ".htm" association of the test's own while the object lives; the
// prefix has none before or after.
class CHtmAssociation {
public:
    explicit CHtmAssociation(const std::string& strCommand)
    {
        SetClassesDefault(".htm", kType);
        SetClassesDefault(std::string(kType) + "\\shell\\open\\command", strCommand);
    }
    ~CHtmAssociation()
    {
        settingstest::DeleteTree(HKEY_CLASSES_ROOT, ".htm", 0);
        settingstest::DeleteTree(HKEY_CLASSES_ROOT, kType, 0);
    }

private:
    static constexpr const char* kType = "KIVOTest.htmfile";
};

// ---- The tables

// The topics and editions are proven by the viewer and the browser below.
TEST(HelpTables, AddressesCommandLinesAndReasons)
{
    EXPECT_EQ(ProductHomePage("http://h", 1028), "http://h/kivo/index_cht.html");
    EXPECT_EQ(ProductHomePage("http://h", 2052), "http://h/kivo/index_chs.html");
    EXPECT_EQ(ProductHomePage("http://h", 1041), "http://h/kivo");
    EXPECT_EQ(VendorHomePage("http://h", 1028), "http://h/index_cht.html");
    EXPECT_EQ(VendorHomePage("http://h", 2052), "http://h/");

    const struct {
        const char* pszStored;
        const char* pszSite;
    } sites[] = {
        {"", kDefaultVendorSite},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"HTTPS://mirror.example///", "HTTPS://mirror.example"},
        {"http://", kDefaultVendorSite},
        {"/", kDefaultVendorSite},
        {"C:\\Windows\\notepad.exe", kDefaultVendorSite},  // a program, not a site
        {"file:///C:/boot.ini", kDefaultVendorSite},
        {"http://a b", kDefaultVendorSite},  // would split a browser's command line
        {"http://a\" -evil \"b", kDefaultVendorSite},
        {"http://a\tb", kDefaultVendorSite},
    };
    for (const auto& s : sites)
        EXPECT_EQ(VendorSiteFromStored(s.pszStored), s.pszSite) << s.pszStored;

    const struct {
        const char* pszCommand;
        const char* pszUrl;
        const char* pszLine;
    } commands[] = {
        {"\"C:\\b.exe\" \"%1\"", "http://h/a", "\"C:\\b.exe\"  http://h/a"},
        {"\"C:\\b.exe\" -nohome %1 -x", "http://h/a", "\"C:\\b.exe\" -nohome  http://h/a"},
        {"C:\\b.exe -url \"%1\" %1", "http://h/a", "C:\\b.exe -url  http://h/a"},
        {"C:\\b.exe", "http://h/a", "C:\\b.exe http://h/a"},
        {"C:\\b.exe", "http://h/a b\"c", "C:\\b.exe http://h/a%20b%22c"},
        {"", "http://h/a", ""},
        {"\"%1\"", "http://h/a", ""},  // nothing to start
    };
    for (const auto& c : commands)
        EXPECT_EQ(BrowserCommandLine(c.pszCommand, c.pszUrl), c.pszLine) << c.pszCommand;
    EXPECT_EQ(BrowserCommandLine("C:\\b.exe", std::string(kMaxBrowserCommandChars, 'x')), "");

    const CFixedLanguage english(1033);
    const struct {
        int nResult;
        const char* pszReason;
    } reasons[] = {
        {0, "Insufficient memory! Please quit some applications."},
        {8, "Insufficient memory! Please quit some applications."},
        {2, "The specified file was not found."},
        {26, "A sharing violation occurred."},
        {31, "There is no application associated with the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const auto& r : reasons)
        EXPECT_EQ(OpenFailureReason(r.nResult), r.pszReason) << r.nResult;
    for (const int nResult : {3, 5, 11, 27, 28, 29, 30})
        EXPECT_NE(OpenFailureMessageId(nResult), IDS_ERROR_MISC_UNKNOWN_ERROR_WITH_CODE) << nResult;
}

// ---- The help viewer

struct CEditionCase {
    bool bPRC;
    std::uint32_t nLCID;
    const char* pszFile;
    const char* pszTitle;  // the file's title in its own code page
};

const CEditionCase kEditions[] = {
    {false, 1033, "kivo.chm", "KIVO Help"},
    {false, 2052, "kivop.chm", "KIVO \xB0\xEF\xD6\xFA"},   // GBK
    {false, 1028, "kivoc.chm", "KIVO \xBB\xA1\xA9\xFA"},   // Big5
    {true, 1033, "kivoprc.chm", "KIVO \xB0\xEF\xD6\xFA"},
};

// The page each topic's context number leads to in the files' map (and the
// default topic for topic 0); nullptr where the map has no such number.
const struct {
    unsigned nTopic;
    const char* pszPage;
} kViewerTopics[] = {
    {0, "index.html"},          {1, "intro.htm"},          {2, "userguide/0_contents.htm"},
    {3, "download.htm"},        {7, "support.htm"},        {8, "rel_note.htm"},
    {22, "index.html"},         {23, "userguide/43_tte.htm"}, {200, "userguide/1_introduction.htm"},
    {201, "userguide/2_sysreq.htm"}, {9999, nullptr},
};

HWND FindViewer()
{
    return ::FindWindowA("HH Parent", nullptr);
}

void CloseViewers()
{
    ::HtmlHelpA(nullptr, nullptr, HH_CLOSE_ALL, 0);
    PumpUntil([] { return FindViewer() == nullptr; }, 3000);
}

// The built help files in a main folder of the test's own.
void CopyHelpFiles(const CScratchFolder& folder)
{
    for (const CEditionCase& e : kEditions)
        ASSERT_TRUE(::CopyFileA((WindowsPath(KIVO_HELP_DIR) + "\\" + e.pszFile).c_str(), (folder / e.pszFile).c_str(),
                                FALSE))
            << e.pszFile;
}

TEST(HelpViewer, EveryTopicOfEveryEditionOpensTheViewerOnItsPage)
{
    const CScratchRegistryRoot root;
    CScratchFolder folder;
    CopyHelpFiles(folder);
    HWND hMain = ::CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND hOwner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    int nCase = 0;
    for (const CEditionCase& e : kEditions) {
        for (const auto& t : kViewerTopics) {
            if (t.nTopic == 8)
                continue;  // the release notes open the browser too: below
            CHelpSettings settings;
            settings.m_strMainPath = folder.Path();
            settings.m_nLCID = e.nLCID;
            settings.m_bPRCEdition = e.bPRC;
            settings.m_hMainWindow = hMain;
            // The owner given, else the main window.
            const HWND hGiven = (nCase++ % 2) ? hOwner : nullptr;
            SCOPED_TRACE(std::string(e.pszFile) + " topic " + std::to_string(t.nTopic));
            const std::string strFile = folder / e.pszFile;
            if (t.pszPage)
                std::fprintf(stderr, "KIVO-EXPECT-NAVIGATION mk:@MSITStore:%s::/%s\n", strFile.c_str(), t.pszPage);
            else
                std::fprintf(stderr, "KIVO-EXPECT-NO-NAVIGATION %s %u\n", strFile.c_str(), t.nTopic);
            std::fflush(stderr);

            const CBrowserLog log;  // emptied before the open
            const bool bOpened = OpenHelp(t.nTopic, hGiven, settings);
            const HWND hViewer = FindViewer();
            if (!t.pszPage) {
                // The viewer cannot show it: the online page opens instead.
                EXPECT_TRUE(bOpened);
                EXPECT_EQ(hViewer, nullptr);
                if (log.IsAvailable()) {
                    EXPECT_EQ(log.WaitForStarts(1).size(), 1u);  // and has arrived before the next case
                }
                continue;
            }
            EXPECT_TRUE(bOpened);
            ASSERT_NE(hViewer, nullptr);
            EXPECT_EQ(ViewerTitleBytes(hViewer), e.pszTitle);
            EXPECT_EQ(::GetWindow(hViewer, GW_OWNER), hGiven ? hGiven : hMain);
            CloseViewers();
        }
    }
    std::fprintf(stderr, "KIVO-EXPECT-END\n");
    std::fflush(stderr);
    ::DestroyWindow(hOwner);
    ::DestroyWindow(hMain);
}

// ---- The browser

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_log.IsAvailable() || Env("KIVO_TEST_SITE").empty())
            GTEST_SKIP() << "run by help_links_driver.py, which serves the site and records the browser";
        m_strSite = Env("KIVO_TEST_SITE");
    }

    CBrowserLog m_log;
    std::string m_strSite;
};

TEST_F(BrowserTest, WithoutAHelpFileTheOnlinePageOfTheTopicReachesTheBrowser)
{
    const CScratchRegistryRoot root;
    CScratchFolder emptyMainFolder;
    const struct {
        bool bPRC;
        std::uint32_t nLCID;
        unsigned nTopic;
        const char* pszPath;
    } cases[] = {
        {false, 1033, 0, "/kivo/help/english/index.html"},
        {false, 1033, 1, "/kivo/help/english/intro.htm"},
        {false, 1033, 2, "/kivo/help/english/userguide/0_contents.htm"},
        {false, 1033, 3, "/kivo/help/english/download.htm"},
        {false, 1033, 7, "/kivo/help/english/support.htm"},
        {false, 1033, 22, "/kivo/help/english/index.html"},
        {false, 1033, 23, "/kivo/help/english/userguide/43_tte.htm"},
        {false, 1033, 200, "/kivo/help/english/userguide/1_introduction.htm"},
        {false, 1033, 201, "/kivo/help/english/userguide/2_sysreq.htm"},
        {false, 1033, 9999, "/kivo/help/english/index.html"},
        {false, 2052, 3, "/kivo/help/gb2312/download.htm"},
        {false, 1028, 22, "/kivo/help/big5/index.html"},
        {true, 1028, 23, "/lumbra/help/kivo/gb2312/userguide/43_tte.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nLCID) + " topic " + std::to_string(c.nTopic));
        m_log.Clear();
        CHelpSettings settings;
        settings.m_strMainPath = emptyMainFolder.Path();
        settings.m_nLCID = c.nLCID;
        settings.m_bPRCEdition = c.bPRC;
        EXPECT_TRUE(OpenHelp(c.nTopic, nullptr, settings));
        EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{m_strSite + c.pszPath});
        EXPECT_EQ(FindViewer(), nullptr);
    }

    // A help file that is there but does not open: the same online page.
    CScratchFolder damagedMainFolder;
    CScratchFolder::WriteBytes(damagedMainFolder / "kivo.chm", "not a help file at all");
    m_log.Clear();
    CHelpSettings settings;
    settings.m_strMainPath = damagedMainFolder.Path();
    EXPECT_TRUE(OpenHelp(23, nullptr, settings));
    EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{m_strSite + "/kivo/help/english/userguide/43_tte.htm"});
    EXPECT_EQ(FindViewer(), nullptr);
}

TEST_F(BrowserTest, ReleaseNotesShowOncePerBuildAfterTheVendorsHomePage)
{
    const CScratchRegistryRoot root;
    CScratchFolder folder;
    CopyHelpFiles(folder);
    CHelpSettings settings;
    settings.m_strMainPath = folder.Path();
    settings.m_nLCID = 1028;

    EXPECT_TRUE(ShowReleaseNotesOnce("2005-8-6", settings));
    EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{m_strSite + "/index_cht.html"});
    const HWND hViewer = FindViewer();
    ASSERT_NE(hViewer, nullptr);
    EXPECT_EQ(ViewerTitleBytes(hViewer), "KIVO \xBB\xA1\xA9\xFA");
    EXPECT_EQ(GetRegString("App", "Release Note 2005-8-6", ""), "1");
    CloseViewers();

    m_log.Clear();
    EXPECT_FALSE(ShowReleaseNotesOnce("2005-8-6", settings));
    PumpFor(1500);
    EXPECT_EQ(FindViewer(), nullptr);
    EXPECT_TRUE(m_log.Starts().empty());

    // A new build shows its own notes; online when no help file is installed.
    settings.m_strMainPath = folder / "elsewhere";
    settings.m_nLCID = 1033;
    EXPECT_TRUE(ShowReleaseNotesOnce("2006-1-15", settings));
    // Both go to browsers started one after the other, which record in their own time.
    std::vector<std::string> arrStarts = m_log.WaitForStarts(2);
    std::sort(arrStarts.begin(), arrStarts.end());
    EXPECT_EQ(arrStarts, (std::vector<std::string>{m_strSite + "/", m_strSite + "/kivo/help/english/rel_note.htm"}));
    EXPECT_EQ(GetRegString("App", "Release Note 2006-1-15", ""), "1");
    EXPECT_EQ(GetRegString("App", "Release Note 2005-8-6", ""), "1");
}

TEST_F(BrowserTest, WebPagesOpenThroughTheShellOrElseThroughTheHtmAssociation)
{
    const std::string strUrl = m_strSite + "/kivo/help/english/intro.htm";
    const std::string strRecorder = Env("KIVO_TEST_RECORDER");

    EXPECT_GT(OpenWebPage(strUrl), 32);
    EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{strUrl});

    const CBrokenShell broken;
    const struct {
        std::string strCommand;  // empty: no association at all
        std::string strUrl;
        std::vector<std::string> arrStarts;
    } cases[] = {
        {"", strUrl, {}},
        {"C:\\no\\such\\browser.exe %1", strUrl, {}},
        {"\"" + strRecorder + "\" \"%1\"", strUrl, {strUrl}},
        {strRecorder + " %1", strUrl, {strUrl}},
        // Without "%1" the address follows the command after a blank.
        {strRecorder + " --from-association", strUrl, {"--from-association\t" + strUrl}},
        // An address with a blank and a quote stays one argument.
        {strRecorder + " \"%1\"", m_strSite + "/a b\"c.htm", {m_strSite + "/a%20b%22c.htm"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strCommand);
        m_log.Clear();
        std::unique_ptr<CHtmAssociation> association;
        if (!c.strCommand.empty())
            association = std::make_unique<CHtmAssociation>(c.strCommand);
        // A browser the association started is success; else the shell's own answer comes back.
        const int nResult = OpenWebPage(c.strUrl);
        if (c.arrStarts.empty()) {
            EXPECT_EQ(nResult, 2);
        } else {
            EXPECT_GT(nResult, 32);
        }
        EXPECT_EQ(m_log.WaitForStarts(c.arrStarts.size(), c.arrStarts.empty() ? 1500 : 15000), c.arrStarts);
    }
}

// ---- The link under real mouse and keys

constexpr int kIdLink = 100;

class CLinkTestDlg : public CDialog {
public:
    CLinkTestDlg(const std::string& strUrl, unsigned nFlags) : CDialog(MakeTemplate()), m_strUrl(strUrl), m_nFlags(nFlags) {}

    CHyperLink m_link;

protected:
    bool OnInitDialog() override
    {
        m_link.SetFlags(m_nFlags);
        m_link.SetUrl(m_strUrl);
        return m_link.Attach(GetItem(kIdLink));
    }

private:
    static CDialogTemplate MakeTemplate()
    {
        CDialogTemplate dlg("Link test", WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 260, 70);
        // A plain static: no SS_NOTIFY, no text (the link shows its address).
        dlg.AddControl(CDialogTemplate::kStatic, "", kIdLink, SS_LEFT | WS_TABSTOP, 10, 10, 40, 10);
        dlg.AddControl(CDialogTemplate::kButton, "OK", IDOK, BS_PUSHBUTTON | WS_TABSTOP, 10, 45, 50, 14);
        return dlg;
    }

    std::string m_strUrl;
    unsigned m_nFlags;
};

// Real input: xdotool, waiting with the link's messages pumped, and a
// moment after it for the link to paint.
bool Xdotool(const std::string& strArguments)
{
    const bool bDone = XDoTool(strArguments, [](const std::function<bool()>& condition, DWORD nTimeoutMs) {
        return PumpUntil(condition, nTimeoutMs);
    });
    PumpFor(250);
    return bDone;
}

POINT ScreenPointOf(HWND hWnd, int dx, int dy)
{
    RECT rect = {};
    ::GetWindowRect(hWnd, &rect);
    return {rect.left + dx, rect.top + dy};
}

bool MoveMouseTo(const POINT& point)
{
    return Xdotool("mousemove " + std::to_string(point.x) + " " + std::to_string(point.y));
}

// Pixels of `colour` in the link's client area, as drawn on screen.
int CountPixels(HWND hLink, COLORREF colour)
{
    RECT client = {};
    ::GetClientRect(hLink, &client);
    CWindowDC dc(hLink);
    int nCount = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            nCount += (::GetPixel(dc.Get(), x, y) & 0xFFFFFF) == colour;
    return nCount;
}

void SaveShot(HWND hWnd, const std::string& strName)
{
    std::vector<BYTE> pixels;
    int cx = 0, cy = 0;
    dialogtest::SaveWindowBitmap(hWnd, dialogtest::ArtefactFolder() + "\\" + strName, pixels, cx, cy);
}

// Answers the message box a link shows when it cannot open: keeps its text
// and a picture of it, then closes it with OK.
struct CBoxWatch {
    static std::string s_strText;
    static int s_nSeen;
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam)
    {
        char szClass[16] = {};
        ::GetClassNameA(hWnd, szClass, sizeof szClass);
        if (std::string(szClass) == "#32770" && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, kMessageBoxIdText)) {
            *reinterpret_cast<HWND*>(lParam) = hWnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND hBox = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&hBox));
        if (!hBox)
            return;
        ++s_nSeen;
        s_strText = GetWindowTextString(::GetDlgItem(hBox, kMessageBoxIdText));
        SaveShot(hBox, "link-failure-box.bmp");
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    }
};
std::string CBoxWatch::s_strText;
int CBoxWatch::s_nSeen = 0;

TEST_F(BrowserTest, LinkAnswersRealMouseAndKeys)
{
    const CScratchRegistryRoot root;
    const CFixedLanguage english(1033);
    const std::string strUrl = m_strSite + "/kivo/help/english/support.htm";
    CLinkTestDlg dlg(strUrl, CHyperLink::kDefaultFlags | CHyperLink::kUseHover);
    ASSERT_TRUE(dlg.Create(nullptr));
    const HWND hDlg = dlg.GetHwnd();
    const HWND hLink = dlg.GetItem(kIdLink);
    CHyperLink& link = dlg.m_link;
    ::SetForegroundWindow(hDlg);
    // The dialog manager focused the link, its first tab stop: focus draws
    // the pressed colour, so start from the button.
    ::SetFocus(dlg.GetItem(IDOK));
    PumpFor(300);
    EXPECT_FALSE(link.IsPressed());

    // Attached: the address became the text, the control fits it, underlined.
    EXPECT_EQ(GetWindowTextString(hLink), strUrl);
    RECT rect = {};
    ::GetClientRect(hLink, &rect);
    EXPECT_GT(rect.right, 150);  // the template's 40 units were too narrow for the address
    LOGFONTA font = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hLink, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_GT(CountPixels(hLink, CHyperLink::kLinkColour), 0);
    const POINT onLink = ScreenPointOf(hLink, 20, rect.bottom / 2), offLink = ScreenPointOf(hDlg, 200, 100);

    // Hovering: the mouse is captured and the text turns red.
    ASSERT_TRUE(MoveMouseTo(onLink));
    EXPECT_TRUE(PumpUntil([&] { return link.IsHovering(); }));
    EXPECT_EQ(::GetCapture(), hLink);
    PumpFor(200);
    EXPECT_GT(CountPixels(hLink, CHyperLink::kHoverColour), 0);
    EXPECT_EQ(CountPixels(hLink, CHyperLink::kLinkColour), 0);
    if (!CHyperLink::HandCursor()) {  // no help engine program in the prefix's Windows folder
        EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    }
    SaveShot(hDlg, "link-hover.bmp");

    // Leaving: hover and capture end, blue again.
    ASSERT_TRUE(MoveMouseTo(offLink));
    EXPECT_TRUE(PumpUntil([&] { return !link.IsHovering(); }));
    EXPECT_NE(::GetCapture(), hLink);
    PumpFor(200);
    EXPECT_GT(CountPixels(hLink, CHyperLink::kLinkColour), 0);
    EXPECT_EQ(CountPixels(hLink, CHyperLink::kHoverColour), 0);

    // A click opens the page; the link takes the focus (pressed colour), and
    // shows visited once the focus moves on.
    m_log.Clear();
    ASSERT_TRUE(MoveMouseTo(onLink));
    ASSERT_TRUE(Xdotool("click 1"));
    EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{strUrl});
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(::GetFocus(), hLink);
    ASSERT_TRUE(MoveMouseTo(offLink));
    PumpUntil([&] { return !link.IsHovering(); });
    EXPECT_GT(CountPixels(hLink, CHyperLink::kPressedColour), 0);
    ::SetFocus(dlg.GetItem(IDOK));
    PumpFor(300);
    EXPECT_FALSE(link.IsPressed());
    EXPECT_GT(CountPixels(hLink, CHyperLink::kVisitedColour), 0);
    EXPECT_EQ(CountPixels(hLink, CHyperLink::kLinkColour), 0);
    SaveShot(hDlg, "link-visited.bmp");

    // The space key opens it too.
    m_log.Clear();
    ::SetFocus(hLink);
    ASSERT_TRUE(Xdotool("key space"));
    EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{strUrl});

    // Opening on button down: the browser starts before the button is up.
    m_log.Clear();
    link.SetFlags(link.GetFlags() | CHyperLink::kDownClick);
    ASSERT_TRUE(MoveMouseTo(onLink));
    ASSERT_TRUE(Xdotool("mousedown 1"));
    EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{strUrl});
    ASSERT_TRUE(Xdotool("mouseup 1"));
    EXPECT_EQ(m_log.WaitForStarts(1).size(), 1u);
    link.SetFlags(link.GetFlags() & ~CHyperLink::kDownClick);

    // A live change of address: the text follows and the control refits.
    const std::string strLonger = m_strSite + "/kivo/help/english/userguide/1_introduction.htm";
    link.SetUrl(strLonger);
    EXPECT_EQ(GetWindowTextString(hLink), strLonger);
    RECT longer = {};
    ::GetClientRect(hLink, &longer);
    EXPECT_GT(longer.right, rect.right);
    EXPECT_TRUE(::IsWindowVisible(hLink));

    // A link that cannot open: the reason in a message box, nothing visited.
    link.SetVisited(false);
    {
        const CBrokenShell broken;
        m_log.Clear();
        CBoxWatch::s_nSeen = 0;
        const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 100, &CBoxWatch::Tick);
        ASSERT_TRUE(MoveMouseTo(onLink));
        ASSERT_TRUE(Xdotool("click 1"));
        PumpUntil([] { return CBoxWatch::s_nSeen > 0; }, 10000);
        PumpFor(300);
        ::KillTimer(nullptr, nTimer);
        EXPECT_EQ(CBoxWatch::s_nSeen, 1);
        EXPECT_EQ(CBoxWatch::s_strText, "Can't open link.\r\nThe specified file was not found.");
        EXPECT_FALSE(link.IsVisited());
        EXPECT_TRUE(m_log.Starts().empty());
    }
    // The shell fails, the ".htm" association starts the browser: the page
    // is open, and no beep or box says otherwise.
    {
        const CBrokenShell broken;
        const CHtmAssociation association("\"" + Env("KIVO_TEST_RECORDER") + "\" \"%1\"");
        m_log.Clear();
        CBoxWatch::s_nSeen = 0;
        const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 100, &CBoxWatch::Tick);
        ASSERT_TRUE(MoveMouseTo(onLink));
        ASSERT_TRUE(Xdotool("click 1"));
        EXPECT_EQ(m_log.WaitForStarts(1), std::vector<std::string>{strLonger});
        PumpFor(1000);
        ::KillTimer(nullptr, nTimer);
        EXPECT_EQ(CBoxWatch::s_nSeen, 0) << CBoxWatch::s_strText;
        EXPECT_TRUE(link.IsVisited());
    }
    dlg.EndDialog(IDCANCEL);
}

// ---- The About box

TEST(AboutBox, ShowsTheInterfaceLanguagesTextsAndTheVendorsHomePage)
{
    const CScratchRegistryRoot root;
    SetRegString(kRegWeb, kRegVendorSite, "http://127.0.0.1:9/");
    const struct {
        std::uint32_t nLCID;
        bool bPRC;
        const wchar_t* pszTitle;
        const wchar_t* pszVersion;
        const char* pszLink;
        const char* pszShot;
    } cases[] = {
        {1033, false, L"About KIVO", L"KIVO 1.5", "http://127.0.0.1:9/", "about-english.bmp"},
        {2052, true, L"\u5173\u4E8E KIVO", L"KIVO 1.5 \u7B80\u4F53\u4E2D\u6587\u7248", "http://127.0.0.1:9/",
         "about-prc.bmp"},
        {1028, false, L"\u95DC\u65BC KIVO", L"KIVO 1.5", "http://127.0.0.1:9/index_cht.html", "about-big5.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszShot);
        const CFixedLanguage language(c.nLCID);
        CHelpSettings settings;
        settings.m_nLCID = c.nLCID;
        settings.m_bPRCEdition = c.bPRC;
        CAboutDlg about("KIVO", settings);
        ASSERT_TRUE(about.Create(nullptr));
        ::ShowWindow(about.GetHwnd(), SW_SHOW);
        PumpFor(300);
        EXPECT_EQ(WideText(about.GetHwnd()), c.pszTitle);
        EXPECT_EQ(WideText(about.GetItem(IDC_ABOUT_VERSION)), c.pszVersion);
        EXPECT_FALSE(WideText(about.GetItem(IDC_ABOUT_COPYRIGHT)).empty());
        EXPECT_EQ(about.GetItemText(IDC_ABOUT_LINK), c.pszLink);
        const auto* link = dynamic_cast<CHyperLink*>(CSubclassWindow::FromHandle(about.GetItem(IDC_ABOUT_LINK)));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->GetUrl(), c.pszLink);
        EXPECT_NE(CSubclassWindow::FromHandle(about.GetItem(IDOK)), nullptr);  // the image button
        EXPECT_EQ(::GetFocus(), about.GetItem(IDOK));
        EXPECT_GT(CountPixels(about.GetItem(IDC_ABOUT_LINK), CHyperLink::kLinkColour), 0);
        std::vector<BYTE> pixels;
        int cx = 0, cy = 0;
        dialogtest::SaveWindowBitmap(about.GetHwnd(), dialogtest::ArtefactFolder() + "\\" + c.pszShot, pixels, cx,
                                     cy);
        // The OK button ends it.
        CButtonRef(about.GetItem(IDOK)).Click();
        EXPECT_TRUE(PumpUntil([&] { return !about.IsOpen(); }));
        EXPECT_EQ(about.GetResult(), IDOK);
    }
}


} // namespace
