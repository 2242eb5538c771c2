#include "SampleTextEditorDlg.h"

#include "AreaText.h"
#include "CharsetFont.h"
#include "Clipboard.h"
#include "EncodingDetection.h"
#include "HelpTopics.h"
#include "KIVOCPApp.h"
#include "MessageBox.h"
#include "Registry.h"
#include "RecentFiles.h"
#include "SystemInfo.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr char kRegColor[] = "Color";
constexpr char kRegOptions[] = "Options";
constexpr char kRegWindow[] = "KIVOCP";

// The colours kept in the registry and their defaults.
struct CColourRow {
    const char* pszValue;
    COLORREF CSampleTextEditorDlg::*pColour;
    COLORREF crDefault;
};

const CColourRow kColours[] = {
    {"Source Text", &CSampleTextEditorDlg::m_crSourceText, RGB(64, 0, 0)},
    {"Source Background", &CSampleTextEditorDlg::m_crSourceBack, RGB(255, 128, 192)},
    {"Destination Text", &CSampleTextEditorDlg::m_crDestinationText, RGB(0, 255, 0)},
    {"Destination Background", &CSampleTextEditorDlg::m_crDestinationBack, RGB(64, 0, 0)},
};

// The display languages: the font character set of each list entry.
constexpr BYTE kLanguageCharsets[] = {GB2312_CHARSET, CHINESEBIG5_CHARSET};
constexpr int kLanguageCount = 2;

// The character sets whose fonts the check remembers, in flag order.
constexpr BYTE kCheckedCharsets[] = {SHIFTJIS_CHARSET, HANGEUL_CHARSET, GB2312_CHARSET, CHINESEBIG5_CHARSET};

// The images of a tool row, in tool order, and the tips.
const UINT kToolImages[CSampleTextEditorDlg::kToolCount] = {
    IDB_DCE_OPEN, IDB_DCE_CLOSE, IDB_DCE_SAVE, IDB_DCE_CUT, IDB_DCE_COPY, IDB_DCE_COPY_ALL, IDB_DCE_PASTE,
};
std::string CControlPanelTexts::*const kToolTips[CSampleTextEditorDlg::kToolCount] = {
    &CControlPanelTexts::m_strTipOpen, &CControlPanelTexts::m_strTipClose,   &CControlPanelTexts::m_strTipSave,
    &CControlPanelTexts::m_strTipCut,  &CControlPanelTexts::m_strTipCopy,    &CControlPanelTexts::m_strTipCopyAll,
    &CControlPanelTexts::m_strTipPaste,
};
// Both rows' tools and the two show/hide buttons.
constexpr size_t kButtonCount = 2 * CSampleTextEditorDlg::kToolCount + 2;

// Detection reads no more of the clipboard than this.
constexpr size_t kDetectionClipboardChars = 10000;

int CALLBACK CountFontFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return 0;  // one is enough
}

RECT WindowRectIn(HWND hWnd, HWND hParent)
{
    RECT rect = {};
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

const CSampleTextEditorDlg::CAreaRow& CSampleTextEditorDlg::Row(EArea area)
{
    static const CAreaRow kRows[] = {
        {kAreaSource, IDC_DCE_SOURCE, IDC_DCE_SOURCE_LANGUAGE, IDC_DCE_SOURCE_TOOLS, IDC_DCE_SHOW_SOURCE,
         kTimerSourceFontCheck, "Source Language", "Last Source File Folder", kRecentSourceKey,
         &CSampleTextEditorDlg::m_nSourceLanguage, &CSampleTextEditorDlg::m_bShowSource,
         &CSampleTextEditorDlg::m_bShowSourceTools, &CSampleTextEditorDlg::m_bSourceModified,
         &CSampleTextEditorDlg::m_strSourceFile, &CSampleTextEditorDlg::m_fontSource,
         &CSampleTextEditorDlg::m_editSource},
        {kAreaDestination, IDC_DCE_DESTINATION, IDC_DCE_DESTINATION_LANGUAGE, IDC_DCE_DESTINATION_TOOLS,
         IDC_DCE_SHOW_DESTINATION, kTimerDestinationFontCheck, "Destination Language",
         "Last Destination File Folder", kRecentDestinationKey, &CSampleTextEditorDlg::m_nDestinationLanguage,
         &CSampleTextEditorDlg::m_bShowDestination, &CSampleTextEditorDlg::m_bShowDestinationTools,
         &CSampleTextEditorDlg::m_bDestinationModified, &CSampleTextEditorDlg::m_strDestinationFile,
         &CSampleTextEditorDlg::m_fontDestination, &CSampleTextEditorDlg::m_editDestination},
    };
    return area == kAreaSource ? kRows[0] : kRows[1];
}

const CSampleTextEditorDlg::CAreaRow* CSampleTextEditorDlg::RowOfControl(int nId)
{
    for (EArea area : {kAreaSource, kAreaDestination}) {
        const CAreaRow& row = Row(area);
        if (nId == row.nEdit || nId == row.nLanguageList || nId == row.nShowButton ||
            (nId >= row.nFirstTool && nId < row.nFirstTool + kToolCount))
            return &row;
    }
    return nullptr;
}

CSampleTextEditorDlg::CSampleTextEditorDlg(CKIVOCPApp& app)
    : CDialog(IDD), m_app(app), m_pButtons(new CImageButton[kButtonCount])
{
}

CSampleTextEditorDlg::~CSampleTextEditorDlg() = default;

HWND CSampleTextEditorDlg::AreaWindow(EArea area) const
{
    return GetItem(Row(area).nEdit);
}

UINT CSampleTextEditorDlg::AreaCodePage(EArea area) const
{
    return CharsetCodePage(kLanguageCharsets[this->*Row(area).pLanguage]);
}

std::string CSampleTextEditorDlg::AreaBytes(EArea area) const
{
    return GetAreaBytes(AreaWindow(area), AreaCodePage(area));
}

bool CSampleTextEditorDlg::PutAreaBytes(EArea area, const std::string& bytes)
{
    return SetAreaBytes(AreaWindow(area), bytes, AreaCodePage(area));
}

bool CSampleTextEditorDlg::IsAreaEmpty(EArea area) const
{
    return GetAreaLength(AreaWindow(area)) == 0;
}

// ---- Opening

bool CSampleTextEditorDlg::OnInitDialog()
{
    const HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    const HICON hIcon = ::LoadIconA(hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ::SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
    ::SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
    m_hAccel = ::LoadAcceleratorsA(hInstance, MAKEINTRESOURCEA(IDR_EDITOR_ACCELERATORS));

    for (const CColourRow& colour : kColours)
        this->*colour.pColour = GetUserRegDWORD(kRegColor, colour.pszValue, colour.crDefault);

    const CControlPanelTexts& texts = m_app.m_texts;
    SetUpStatusBar();
    // The interface texts' font first: the areas then get fonts of their own.
    ApplyCharsetFont(static_cast<BYTE>(m_app.m_nCharset));
    m_toolTip.Create(GetHwnd());
    m_toolTip.SetFont(GetCharsetFont());
    for (EArea area : {kAreaSource, kAreaDestination}) {
        const CAreaRow& row = Row(area);
        (this->*row.pEdit).Attach(AreaWindow(area));
        // The system's limit, not the initial 30,000 characters (the 95
        // family caps multi-line edits at 64 KB whatever is asked).
        Edit(row.nEdit).LimitText(IsWindowsNT() ? 0x7FFFFFFE : 0);
    }
    FillLanguageLists();
    for (EArea area : {kAreaSource, kAreaDestination}) {
        ApplyAreaFont(area);
        CheckFonts(area);
    }

    SetStatusText(texts.m_strEditorReady);
    SetTitle(texts.m_strEditorTitle, m_app.m_nCodePage);
    const RECT rectPaste = WindowRectIn(GetItem(IDC_DCE_SOURCE_TOOLS + kToolPaste), GetHwnd());
    m_nToolRowHeight = rectPaste.bottom - rectPaste.top;
    SetUpButtons();
    Layout();
    m_app.SetEditorWindow(GetHwnd());
    m_bInitialised = true;
    return true;
}

void CSampleTextEditorDlg::SetUpButtons()
{
    const CControlPanelTexts& texts = m_app.m_texts;
    size_t nButton = 0;
    for (EArea area : {kAreaSource, kAreaDestination}) {
        for (int nTool = 0; nTool < kToolCount; ++nTool) {
            CImageButton& button = m_pButtons[nButton++];
            button.Attach(GetItem(Row(area).nFirstTool + nTool));
            button.LoadImages(kToolImages[nTool], kToolImages[nTool] + 1);
            button.SetToolTip(texts.*kToolTips[nTool], m_app.m_nCodePage, &m_toolTip);
        }
    }
    m_pButtons[nButton].Attach(GetItem(IDC_DCE_SHOW_SOURCE));
    m_pButtons[nButton++].LoadImages(IDB_DCE_SHOW_SOURCE, IDB_DCE_SHOW_SOURCE_HOT);
    m_pButtons[nButton].Attach(GetItem(IDC_DCE_SHOW_DESTINATION));
    m_pButtons[nButton++].LoadImages(IDB_DCE_SHOW_DESTINATION, IDB_DCE_SHOW_DESTINATION_HOT);
}

void CSampleTextEditorDlg::SetUpStatusBar()
{
    const DWORD style = WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP;
    const HMENU hId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DCE_STATUS));
    // Unicode like the dialog, so that a status text widened from the
    // interface language's code page shows as it is (ChildControls.h).
    if (HasUnicodeWindows())
        m_hStatusBar = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 0, GetHwnd(), hId,
                                         ::GetModuleHandleW(nullptr), nullptr);
    else
        m_hStatusBar = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", style, 0, 0, 0, 0, GetHwnd(), hId,
                                         ::GetModuleHandleA(nullptr), nullptr);
}

void CSampleTextEditorDlg::SetStatusText(const std::string& strText)
{
    if (!m_hStatusBar)
        return;
    std::wstring wide;
    if (NeedsWideWindowText(m_app.m_nCodePage) && MultiByteToWideString(strText, m_app.m_nCodePage, wide)) {
        ::SendMessageW(m_hStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        return;
    }
    ::SendMessageA(m_hStatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(strText.c_str()));
}

void CSampleTextEditorDlg::FillLanguageLists()
{
    for (EArea area : {kAreaSource, kAreaDestination}) {
        const CComboBoxRef list = Combo(Row(area).nLanguageList);
        list.ResetContent();
        for (const std::string& strLanguage : m_app.m_texts.m_arrEditorLanguages)
            list.AddString(strLanguage, m_app.m_nCodePage);
        list.SetCurSel(this->*Row(area).pLanguage);
    }
}

// ---- Layout

void CSampleTextEditorDlg::MoveIfChanged(HWND hWnd, int x, int y, int cx, int cy)
{
    const RECT rect = WindowRectIn(hWnd, GetHwnd());
    if (rect.left == x && rect.top == y && rect.right - rect.left == cx && rect.bottom - rect.top == cy)
        return;
    ::SetWindowPos(hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSampleTextEditorDlg::ShowRow(EArea area, bool bShow)
{
    const CAreaRow& row = Row(area);
    ShowItem(row.nLanguageList, bShow);
    for (int nTool = 0; nTool < kToolCount; ++nTool)
        ShowItem(row.nFirstTool + nTool, bShow);
}

void CSampleTextEditorDlg::Layout()
{
    RECT window = {};
    ::GetWindowRect(GetHwnd(), &window);
    if (!::IsIconic(GetHwnd()) && !::IsZoomed(GetHwnd()) &&
        (window.right - window.left < kMinTrackWidth || window.bottom - window.top < kMinTrackHeight)) {
        ::SetWindowPos(GetHwnd(), nullptr, 0, 0, std::max<int>(window.right - window.left, kMinTrackWidth),
                       std::max<int>(window.bottom - window.top, kMinTrackHeight),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client = {};
    ::GetClientRect(GetHwnd(), &client);
    const int cx = client.right;
    const int cy = client.bottom;

    const bool bSourceRow = m_bShowSource && m_bShowSourceTools;
    const bool bDestinationRow = m_bShowDestination && m_bShowDestinationTools;
    const int nStatus = m_bShowStatusBar ? kStatusBarHeight : 0;
    const int nAreas =
        std::max(0, cy - nStatus - (bSourceRow ? m_nToolRowHeight : 0) - (bDestinationRow ? m_nToolRowHeight : 0));
    int nSourceHeight = 0;
    int nDestinationHeight = 0;
    if (m_bShowSource && m_bShowDestination) {
        nSourceHeight = nAreas * 50 / 100;
        nDestinationHeight = nAreas - nSourceHeight;
    } else if (m_bShowSource) {
        nSourceHeight = nAreas;
    } else {
        nDestinationHeight = nAreas;
    }

    ShowRow(kAreaSource, bSourceRow);
    ShowRow(kAreaDestination, bDestinationRow);
    ShowItem(IDC_DCE_SOURCE, m_bShowSource);
    ShowItem(IDC_DCE_DESTINATION, m_bShowDestination);

    int y = bSourceRow ? m_nToolRowHeight : 0;
    if (m_bShowSource) {
        MoveIfChanged(GetItem(IDC_DCE_SOURCE), 1, y, cx - 2, nSourceHeight);
        y += nSourceHeight + 1;
    }
    if (bDestinationRow) {
        for (int nTool = 0; nTool < kToolCount; ++nTool) {
            const HWND hTool = GetItem(IDC_DCE_DESTINATION_TOOLS + nTool);
            const RECT rect = WindowRectIn(hTool, GetHwnd());
            MoveIfChanged(hTool, rect.left, y, rect.right - rect.left, rect.bottom - rect.top);
        }
        const HWND hList = GetItem(IDC_DCE_DESTINATION_LANGUAGE);
        const RECT rect = WindowRectIn(hList, GetHwnd());
        MoveIfChanged(hList, rect.left, y + 3, rect.right - rect.left, rect.bottom - rect.top);
        y += m_nToolRowHeight;
    }
    if (m_bShowDestination)
        MoveIfChanged(GetItem(IDC_DCE_DESTINATION), 1, y, cx - 2, nDestinationHeight);

    if (m_hStatusBar) {
        ::ShowWindow(m_hStatusBar, m_bShowStatusBar ? SW_SHOW : SW_HIDE);
        if (m_bShowStatusBar)
            MoveIfChanged(m_hStatusBar, 0, cy - kStatusBarHeight, cx, kStatusBarHeight);
    }
    m_szLastClient.cx = cx;
    m_szLastClient.cy = cy;
}

void CSampleTextEditorDlg::ToggleArea(EArea area)
{
    const CAreaRow& row = Row(area);
    bool& bShow = this->*row.pShow;
    bShow = !bShow;
    if (!bShow)
        this->*Row(Other(area)).pShow = true;

    // The selections as they were, put back once the areas are placed.
    int arrStart[2] = {}, arrEnd[2] = {};
    Edit(Row(Other(area)).nEdit).GetSel(arrStart[0], arrEnd[0]);
    Edit(row.nEdit).GetSel(arrStart[1], arrEnd[1]);
    Layout();
    Edit(Row(Other(area)).nEdit).SetSel(arrStart[0], arrEnd[0]);
    Edit(row.nEdit).SetSel(arrStart[1], arrEnd[1]);
    // Straight to the area: the dialog's own focus move would select all its text.
    ::SetFocus(GetItem(bShow ? row.nEdit : Row(Other(area)).nEdit));
}

// ---- Display languages and fonts

void CSampleTextEditorDlg::OnLanguageChosen(EArea area, int nIndex)
{
    const CAreaRow& row = Row(area);
    if (nIndex < 0 || nIndex >= kLanguageCount || nIndex == this->*row.pLanguage)
        return;
    // The bytes stay; only the code page they are shown in changes.
    const std::string bytes = AreaBytes(area);
    int nStart = 0, nEnd = 0;
    Edit(row.nEdit).GetSel(nStart, nEnd);

    this->*row.pLanguage = nIndex;
    Combo(row.nLanguageList).SetCurSel(nIndex);
    CheckFonts(area);
    const HCURSOR hOldCursor = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
    SetStatusText(m_app.m_texts.m_strEditorAdjusting);
    ApplyAreaFont(area);
    {
        const bool bModified = this->*row.pModified;
        m_bSettingText = true;
        PutAreaBytes(area, bytes);
        m_bSettingText = false;
        this->*row.pModified = bModified;
    }
    Edit(row.nEdit).SetSel(nStart, nEnd);
    ::InvalidateRect(AreaWindow(area), nullptr, TRUE);
    SetStatusText(m_app.m_texts.m_strEditorReady);
    ::SetCursor(hOldCursor);

    SetUserRegDWORD(kRegOptions, row.pszLanguageValue, static_cast<DWORD>(nIndex));
}

void CSampleTextEditorDlg::ApplyAreaFont(EArea area)
{
    const CAreaRow& row = Row(area);
    (this->*row.pEdit).SetCodePage(AreaCodePage(area));
    LOGFONTA logFont = {};
    HFONT hCurrent = Item(row.nEdit).GetFont();
    if (!hCurrent)
        hCurrent = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!::GetObjectA(hCurrent, sizeof logFont, &logFont))
        return;
    logFont.lfCharSet = kLanguageCharsets[this->*row.pLanguage];
    CFontHandle font(::CreateFontIndirectA(&logFont));
    if (!font)
        return;
    Item(row.nEdit).SetFont(font.Get(), true);
    // The area no longer uses the old font: it goes now.
    this->*row.pFont = std::move(font);
}

bool CSampleTextEditorDlg::HasFontsOf(BYTE charset) const
{
    LOGFONTA logFont = {};
    logFont.lfCharSet = charset;
    int nFamilies = 0;
    const HDC hScreen = ::GetDC(nullptr);
    ::EnumFontFamiliesExA(hScreen, &logFont, CountFontFamily, reinterpret_cast<LPARAM>(&nFamilies), 0);
    ::ReleaseDC(nullptr, hScreen);
    return nFamilies > 0;
}

void CSampleTextEditorDlg::CheckFonts(EArea area)
{
    if (!m_bInitialised) {
        SetTimer(Row(area).nFontTimer, 500);
        return;
    }
    const BYTE charset = kLanguageCharsets[this->*Row(area).pLanguage];
    size_t nFlag = 0;
    while (nFlag < 4 && kCheckedCharsets[nFlag] != charset)
        ++nFlag;
    if (nFlag < 4 && m_arrCharsetChecked[nFlag])
        return;
    if (HasFontsOf(charset)) {
        if (nFlag < 4)
            m_arrCharsetChecked[nFlag] = true;
        return;
    }
    // No font: the page is loaded again the next time the set is checked.
    LoadCharsetPage(charset);
}

void CSampleTextEditorDlg::LoadCharsetPage(BYTE charset)
{
    char szSystem[MAX_PATH] = {};
    const UINT nLength = ::GetSystemDirectoryA(szSystem, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return;
    const std::string strPage = WriteCharsetPage(szSystem, charset);
    if (strPage.empty())
        return;
    RECT rect = {428, 59, 428 + 60, 59 + 25};
    ::MapDialogRect(GetHwnd(), &rect);
    m_browser.Navigate(GetHwnd(), IDC_DCE_BROWSER, rect, strPage);
}

// ---- Commands

CSampleTextEditorDlg::EArea CSampleTextEditorDlg::TargetArea() const
{
    if (!m_bShowDestination)
        return kAreaSource;
    if (!m_bShowSource)
        return kAreaDestination;
    // The keys go where the caret is; the pointer decides only when neither area has it.
    const HWND hFocus = ::GetFocus();
    for (EArea area : {kAreaSource, kAreaDestination})
        if (hFocus && (hFocus == AreaWindow(area) || ::IsChild(AreaWindow(area), hFocus)))
            return area;
    RECT source = {}, destination = {};
    ::GetWindowRect(AreaWindow(kAreaSource), &source);
    ::GetWindowRect(AreaWindow(kAreaDestination), &destination);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    return cursor.y < (source.bottom + destination.top) / 2 ? kAreaSource : kAreaDestination;
}

bool CSampleTextEditorDlg::OnCommand(int nId, int nCode, HWND hCtl)
{
    const CAreaRow* pRow = RowOfControl(nId);
    if (pRow && nId == pRow->nEdit) {
        if (nCode == EN_CHANGE)
            OnAreaChanged(pRow->area);
        return true;
    }
    if (pRow && nId == pRow->nLanguageList) {
        if (nCode == CBN_SELCHANGE)
            OnLanguageChosen(pRow->area, Combo(nId).GetCurSel());
        return true;
    }
    if (hCtl && nCode != BN_CLICKED)
        return CDialog::OnCommand(nId, nCode, hCtl);
    if (pRow && nId == pRow->nShowButton) {
        ToggleArea(pRow->area);
        return true;
    }
    if (pRow) {
        OnTool(pRow->area, nId - pRow->nFirstTool);
        return true;
    }
    if (nId == ID_DCE_OPEN || nId == ID_DCE_SAVE || nId == ID_DCE_PASTE || nId == ID_DCE_SELECT_ALL)
        m_nTargetArea = TargetArea();
    const EArea target = static_cast<EArea>(m_nTargetArea);
    switch (nId) {
    case ID_DCE_OPEN:
        OpenAreaFile(target);
        return true;
    case ID_DCE_SAVE:
        SaveArea(target);
        return true;
    case ID_DCE_PASTE:
        PasteInto(target);
        return true;
    case ID_DCE_SELECT_ALL:
        SelectAll(target);
        return true;
    case ID_DCE_ON_TOP:
        ToggleOnTop();
        return true;
    default:
        return CDialog::OnCommand(nId, nCode, hCtl);
    }
}

void CSampleTextEditorDlg::OnTool(EArea area, int nTool)
{
    switch (nTool) {
    case kToolOpen:
        OpenAreaFile(area);
        return;
    case kToolClose:
        CloseArea(area);
        return;
    case kToolSave:
        SaveArea(area);
        return;
    case kToolCut:
        ::SendMessageA(AreaWindow(area), WM_CUT, 0, 0);
        return;
    case kToolCopy:
        ::SendMessageA(AreaWindow(area), WM_COPY, 0, 0);
        return;
    case kToolCopyAll:
        CopyAll(area);
        return;
    case kToolPaste:
        PasteInto(area);
        return;
    default:
        return;
    }
}

void CSampleTextEditorDlg::OnAreaChanged(EArea area)
{
    if (m_bSettingText)
        return;
    this->*Row(area).pModified = true;
    if (::GetFocus() != AreaWindow(area))
        ::SetFocus(AreaWindow(area));
}

void CSampleTextEditorDlg::PasteInto(EArea area)
{
    const HWND hArea = AreaWindow(area);
    if (IsAreaEmpty(area)) {
        std::string strClipboard;
        if (!ReadClipboardBytes(GetHwnd(), strClipboard))
            return;
        if (strClipboard.size() > kDetectionClipboardChars)
            strClipboard.resize(kDetectionClipboardChars);
        const int nEncoding = DetectChineseEncoding(strClipboard);
        if (nEncoding == kEncodingGb2312)
            OnLanguageChosen(area, 0);
        else if (nEncoding == kEncodingBig5)
            OnLanguageChosen(area, 1);
    }
    if (IsWindowsNT()) {
        ::SendMessageA(hArea, WM_PASTE, 0, 0);
        return;
    }
    // The Windows 95 family's edit controls hold far less: tell when the
    // paste did not fit.
    std::string strClipboard;
    if (!ReadClipboardBytes(GetHwnd(), strClipboard))
        return;
    const std::string strText = AreaBytes(area);
    int nStart = 0, nEnd = 0;
    Edit(Row(area).nEdit).GetSel(nStart, nEnd);
    const size_t nLeft = std::min(static_cast<size_t>(std::max(nStart, 0)), strText.size());
    const size_t nRight = std::min(std::max(static_cast<size_t>(std::max(nEnd, 0)), nLeft), strText.size());
    const std::string strExpected = strText.substr(0, nLeft) + strClipboard + strText.substr(nRight);
    ::SendMessageA(hArea, WM_PASTE, 0, 0);
    if (AreaBytes(area) == strExpected)
        return;
    const CControlPanelTexts& texts = m_app.m_texts;
    const CKIVOCPApp& app = m_app;
    ShowMessageBox(area == kAreaSource ? texts.m_strSourceAreaFull : texts.m_strDestinationAreaFull, std::string(),
                   MB_OK | MB_ICONEXCLAMATION, GetHwnd(), "PX_HELP_UG_SYS_REQ", false, nullptr,
                   [&app, this](unsigned nTopic) { app.OpenHelp(nTopic, GetHwnd()); });
}

void CSampleTextEditorDlg::CopyAll(EArea area)
{
    WriteAreaClipboard(GetHwnd(), AreaBytes(area), AreaCodePage(area));
}

void CSampleTextEditorDlg::SelectAll(EArea area)
{
    const HWND hArea = AreaWindow(area);
    ::SendMessageA(hArea, EM_SETSEL, 0, -1);
    ::SendMessageA(hArea, EM_SCROLLCARET, 0, 0);
    ::SetFocus(hArea);
}

void CSampleTextEditorDlg::ToggleOnTop()
{
    m_bTopmost = !m_bTopmost;
    ::SetWindowPos(GetHwnd(), m_bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetUserRegDWORD(kRegWindow, "On Top", m_bTopmost ? 1 : 0);
}

void CSampleTextEditorDlg::WritePosition()
{
    RECT rect = {};
    if (!::GetWindowRect(GetHwnd(), &rect))
        return;
    SetUserRegDWORD(kRegWindow, "Pos Left", static_cast<DWORD>(rect.left));
    SetUserRegDWORD(kRegWindow, "Pos Right", static_cast<DWORD>(rect.right));
    SetUserRegDWORD(kRegWindow, "Pos Top", static_cast<DWORD>(rect.top));
    SetUserRegDWORD(kRegWindow, "Pos Bottom", static_cast<DWORD>(rect.bottom));
}

// ---- Closing

void CSampleTextEditorDlg::OnOK()
{
    // Enter belongs to the areas (they want return); the window has no OK button.
}

void CSampleTextEditorDlg::OnCancel()
{
    if (PromptSaveArea(kAreaSource) == IDCANCEL)
        return;
    if (PromptSaveArea(kAreaDestination) == IDCANCEL)
        return;
    EndDialog(IDCANCEL);
}

void CSampleTextEditorDlg::OnDestroy()
{
    m_app.SetEditorWindow(nullptr);
    for (const CColourRow& colour : kColours)
        SetUserRegDWORD(kRegColor, colour.pszValue, this->*colour.pColour);
    CDialog::OnDestroy();
}

// ---- Messages

void CSampleTextEditorDlg::OnTimer(UINT_PTR nIdEvent)
{
    switch (nIdEvent) {
    case kTimerLayout: {
        KillTimer(kTimerLayout);
        RECT client = {};
        ::GetClientRect(GetHwnd(), &client);
        if (!::IsIconic(GetHwnd()) && (client.right != m_szLastClient.cx || client.bottom != m_szLastClient.cy))
            Layout();
        return;
    }
    case kTimerSourceFontCheck:
    case kTimerDestinationFontCheck:
        KillTimer(nIdEvent);
        CheckFonts(nIdEvent == kTimerSourceFontCheck ? kAreaSource : kAreaDestination);
        return;
    default:
        CDialog::OnTimer(nIdEvent);
    }
}

bool CSampleTextEditorDlg::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    switch (uMsg) {
    case WM_SIZE:
        if (m_bInitialised && wParam != SIZE_MINIMIZED)
            SetTimer(kTimerLayout, 50);
        return false;
    case WM_EXITSIZEMOVE: {
        // The left button was released after a resize drag.
        RECT client = {};
        ::GetClientRect(GetHwnd(), &client);
        if (m_bInitialised && (client.right != m_szLastClient.cx || client.bottom != m_szLastClient.cy))
            Layout();
        return false;
    }
    case WM_GETMINMAXINFO: {
        MINMAXINFO& info = *reinterpret_cast<MINMAXINFO*>(lParam);
        info.ptMinTrackSize.x = kMinTrackWidth;
        info.ptMinTrackSize.y = kMinTrackHeight;
        lResult = 0;
        return true;
    }
    case WM_SYSCOMMAND: {
        const UINT nCommand = static_cast<UINT>(wParam & 0xFFF0);
        if (nCommand == SC_MINIMIZE || nCommand == SC_MAXIMIZE)
            WritePosition();
        return false;
    }
    case WM_HELP:
        m_app.OpenHelp(kHelpTopicSampleTextEditor, GetHwnd());
        lResult = TRUE;
        return true;
    default:
        return CDialog::OnMessage(uMsg, wParam, lParam, lResult);
    }
}

bool CSampleTextEditorDlg::PreTranslateMessage(MSG& msg)
{
    // The editor's keys come before anything else, the areas' own included.
    if (m_hAccel && ::TranslateAcceleratorA(GetHwnd(), m_hAccel, &msg))
        return true;
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
        m_toolTip.RelayEvent(msg);
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        m_app.OpenHelp(kHelpTopicSampleTextEditor, GetHwnd());
        return true;
    }
    return CDialog::PreTranslateMessage(msg);
}
