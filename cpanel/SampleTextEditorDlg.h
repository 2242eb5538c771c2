// The sample text editor: two independent plain-text areas, the source above
// and the destination below, each with its own tool row and display language
// (Simplified Chinese in GBK or Traditional Chinese in Big5), for preparing
// and looking at Chinese text in either encoding. It converts nothing: the
// areas hold the bytes of what was typed, pasted or opened, and the language
// only chooses the font (and code page) they show in. Each area can hold one
// file, opened and saved with its prompts, and keeps a recent-file list.
#pragma once

#include "CharsetPage.h"
#include "ControlPanelResource.h"
#include "Dialog.h"
#include "DragEdit.h"
#include "ImageButton.h"
#include "ScopedHandles.h"
#include "ToolTip.h"

#include <array>
#include <memory>
#include <string>

class CKIVOCPApp;

class CSampleTextEditorDlg : public CDialog {
public:
    enum { IDD = IDD_SAMPLE_TEXT_EDITOR };
    // The areas, as the target area counts them.
    enum EArea { kAreaSource = 1, kAreaDestination = 3 };
    // The tools of a row, in the order of their ids.
    enum ETool { kToolOpen, kToolClose, kToolSave, kToolCut, kToolCopy, kToolCopyAll, kToolPaste, kToolCount };
    // Timers: the layout after the last size change, and the font check
    // retries of each area while the window is still being made.
    static constexpr UINT_PTR kTimerLayout = 0;
    static constexpr UINT_PTR kTimerSourceFontCheck = 5;
    static constexpr UINT_PTR kTimerDestinationFontCheck = 6;
    static constexpr int kMinTrackWidth = 380;
    static constexpr int kMinTrackHeight = 150;
    static constexpr int kStatusBarHeight = 18;

    explicit CSampleTextEditorDlg(CKIVOCPApp& app);
    ~CSampleTextEditorDlg() override;

    // ---- Files of an area
    void OpenAreaFile(EArea area);
    void LoadAreaFile(const std::string& strPath, EArea area);
    void SaveArea(EArea area);
    // IDYES, IDNO or IDCANCEL.
    int PromptSaveArea(EArea area);
    // False when the user cancelled the save prompt.
    bool CloseArea(EArea area);

    // The area that Ctrl+O, Ctrl+S, Ctrl+V and Ctrl+A act on: the one shown,
    // else the one with the keyboard focus, else the one nearer the pointer.
    EArea TargetArea() const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR nIdEvent) override;
    void OnDestroy() override;
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    // What tells the two areas apart: their controls, registry values and
    // the members that hold their state.
    struct CAreaRow {
        EArea area;
        int nEdit;
        int nLanguageList;
        int nFirstTool;
        int nShowButton;
        UINT_PTR nFontTimer;
        const char* pszLanguageValue;
        const char* pszLastFolderValue;
        const char* pszRecentKey;
        int CSampleTextEditorDlg::*pLanguage;
        bool CSampleTextEditorDlg::*pShow;
        bool CSampleTextEditorDlg::*pShowTools;
        bool CSampleTextEditorDlg::*pModified;
        std::string CSampleTextEditorDlg::*pFile;
        CFontHandle CSampleTextEditorDlg::*pFont;
        CDragEdit CSampleTextEditorDlg::*pEdit;
    };
    static const CAreaRow& Row(EArea area);
    static const CAreaRow* RowOfControl(int nId);
    static EArea Other(EArea area) { return area == kAreaSource ? kAreaDestination : kAreaSource; }

    // The area's edit control and the code page of its language.
    HWND AreaWindow(EArea area) const;
    UINT AreaCodePage(EArea area) const;
    std::string AreaBytes(EArea area) const;
    // False when the area did not take the whole text.
    bool PutAreaBytes(EArea area, const std::string& bytes);
    bool IsAreaEmpty(EArea area) const;

    void SetUpButtons();
    void SetUpStatusBar();
    void SetStatusText(const std::string& strText);
    void FillLanguageLists();

    void Layout();
    void MoveIfChanged(HWND hWnd, int x, int y, int cx, int cy);
    void ShowRow(EArea area, bool bShow);
    void ToggleArea(EArea area);

    void OnLanguageChosen(EArea area, int nIndex);
    void ApplyAreaFont(EArea area);
    void CheckFonts(EArea area);
    bool HasFontsOf(BYTE charset) const;
    void LoadCharsetPage(BYTE charset);

    void OnTool(EArea area, int nTool);
    void PasteInto(EArea area);
    void CopyAll(EArea area);
    void SelectAll(EArea area);
    void ToggleOnTop();
    void WritePosition();
    void OnAreaChanged(EArea area);

    // The file dialogs, opened in the area's last folder.
    bool ChooseOpenPath(EArea area, std::string& strPath);
    bool ChooseSavePath(EArea area, std::string& strPath);
    // Writes the area to `strPath`; on failure shows the error and answers
    // false. A text with characters its code page cannot write is saved only
    // when the user agrees to lose them (false, nothing written, otherwise).
    bool WriteArea(EArea area, const std::string& strPath);
    bool ConfirmOverwrite(const std::string& strPath);
    bool ConfirmLosingCharacters(EArea area);
    void RememberFolder(EArea area, const std::string& strPath);
    void ShowError(const std::string& strText);

    CKIVOCPApp& m_app;

public:
    // The window's state (see the class comment); public for the drivers'
    // in-process checks.
    int m_nSourceLanguage = 0;
    int m_nDestinationLanguage = 0;
    bool m_bShowSource = true;
    bool m_bShowDestination = true;
    bool m_bShowSourceTools = true;
    bool m_bShowDestinationTools = true;
    bool m_bShowStatusBar = true;
    bool m_bTopmost = false;
    COLORREF m_crSourceText = 0;
    COLORREF m_crSourceBack = 0;
    COLORREF m_crDestinationText = 0;
    COLORREF m_crDestinationBack = 0;
    int m_nTargetArea = kAreaSource;
    // Font character sets 128, 129, 134 and 136: fonts found while open.
    std::array<bool, 4> m_arrCharsetChecked = {};
    int m_nToolRowHeight = 0;
    SIZE m_szLastClient = {0, 0};
    bool m_bInitialised = false;
    HACCEL m_hAccel = nullptr;

    std::string m_strSourceFile;
    std::string m_strDestinationFile;
    bool m_bSourceModified = false;
    bool m_bDestinationModified = false;

private:
    CDragEdit m_editSource;
    CDragEdit m_editDestination;
    CFontHandle m_fontSource;
    CFontHandle m_fontDestination;
    CToolTip m_toolTip;
    std::unique_ptr<CImageButton[]> m_pButtons;
    CCharsetPageBrowser m_browser;
    HWND m_hStatusBar = nullptr;
    // Set while the editor itself rewrites an area, whose change
    // notifications then mean no edit by the user.
    bool m_bSettingText = false;
};
