// CKIVOCPApp: the control panel program's one application object. It settles
// everything between process start and the control panel window: one
// instance per machine within the instance limit, the program's folders, a
// look at Lumbra's data, the interface language and every text the program
// shows; then it runs the window, and at exit it clears the work folder.
//
// The panel never converts text and never links the control: it configures
// it through the registry and regsvr32 (ControlRegistration.h).
#pragma once

#include "ControlPanelTexts.h"
#include "HelpOpener.h"
#include "InterfaceLanguage.h"
#include "ScopedKernelHandles.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

class CConfigWizard;
class CUpdateCheck;
class CControlPanelDlg;

class CKIVOCPApp : public CInterfaceLanguage {
public:
    CKIVOCPApp();
    ~CKIVOCPApp() override;

    // The program's application object.
    static CKIVOCPApp& Instance();

    // Start-up and the program's run; the exit code of the process.
    int Run(const std::string& strCommandLine);

    // False ends the program without a window.
    bool InitInstance(const std::string& strCommandLine);
    void ExitInstance();

    // Steps from the single-instance rule to the instance limit.
    bool LoadSettings();
    // The mutex "Perdix_KIVOCP"; when it exists already, the running window
    // is brought to the front and the answer is false.
    bool AcquireSingleInstance();
    // The window class "Perdix_KIVOCP", a copy of the system's dialog class.
    static bool RegisterWindowClass();
    // The control's integration check on a Lumbra folder; `strMessage` lists
    // what is missing in the interface language.
    bool CheckIntegration(const std::string& strLumbraRoot, std::string& strMessage) const;
    // The configured Lumbra paths become these and are stored, when the
    // integration check passes on the folder; otherwise nothing changes and
    // `strMessage` says what is missing.
    bool ApplyLumbraPaths(const std::string& strLumbraRoot, const std::string& strLumbraExe,
                          std::string& strMessage);
    // The configuration wizard; true when the user ended it with Finish. The
    // working Lumbra paths then hold what the wizard ended with; otherwise
    // they are what they were before. `hOwner` is disabled while it runs.
    bool RunWizard(HWND hOwner);
    void ChooseInterfaceLanguage();
    // True when the language changed; the caller re-texts its windows.
    bool SwitchInterfaceLanguage(const std::string& strName);
    // Visible top-level windows of the program's class.
    int CountInstances();
    bool CheckInstanceLimit();
    // Deletes the ".tps" files the control left in the work folder.
    void DeleteTransferTempFiles() const;

    // The sample text editor, modal over `hOwner`.
    void RunSampleTextEditor(HWND hOwner);
    // The editor's window while it is open, for the update check's thread.
    HWND GetEditorWindow() const { return m_hEditorWindow.load(); }
    void SetEditorWindow(HWND hEditor) { m_hEditorWindow.store(hEditor); }

    // Starts the daily update check over the window `hMainWindow`.
    void StartUpdateCheck(HWND hMainWindow);

    // Help on a topic, the About box, the release notes of this build.
    void OpenHelp(unsigned nTopic, HWND hOwner) const;
    void ShowAbout(HWND hOwner) const;
    void ShowReleaseNotes() const;
    // What the help opener needs of the program now.
    CHelpSettings HelpSettings() const;

    // The program's folders and files.
    std::string m_strMainPath;
    std::string m_strConfigFolder;
    std::string m_strEditionConfigFile;
    std::string m_strWorkFolder;
    std::string m_strSystemTemp;
    // The configured Lumbra installation; the window and the wizard change them.
    std::string m_strLumbraRoot;
    std::string m_strLumbraExe;
    // The Lumbra paths the wizard's pages hold and judge while it runs.
    std::string m_strWorkingLumbraRoot;
    std::string m_strWorkingLumbraExe;

    bool m_bPRCEdition = false;
    bool m_bNT = true;
    int m_nMessageCount = 0;
    int m_nInstanceCount = 0;
    int m_nBuildYear = 0;
    int m_nBuildMonth = 0;
    int m_nBuildDay = 0;
    std::string m_strBuildDate;

    // Every text the program shows, in the interface language.
    CControlPanelTexts m_texts;
    // The code page of those texts.
    UINT m_nCodePage = CP_ACP;

    CControlPanelDlg* m_pMainDialog = nullptr;
    // The wizard while it runs.
    CConfigWizard* m_pWizard = nullptr;
    // The daily update check, once the window has opened; it may outlive the
    // window, and the program waits for it at exit kUpdateCheckExitWaitMs at most.
    std::unique_ptr<CUpdateCheck> m_pUpdateCheck;

protected:
    void LoadInterfaceTexts() override;

private:
    // The command line "noocx": the wizard, then the tester on Finish.
    void RunNoOcxWizard();
    // Shows `strText` in the program's message box, titled with `strTitle`
    // (the product name when empty).
    void ShowMessage(const std::string& strText, const std::string& strTitle = std::string()) const;

    CScopedHandle m_hInstanceMutex;
    std::atomic<HWND> m_hEditorWindow{nullptr};
};

// The class of the panel's windows and the name of its mutex.
constexpr char kControlPanelClass[] = "Perdix_KIVOCP";
// The build date the update checker and the release notes go by.
constexpr int kBuildYear = 2005, kBuildMonth = 8, kBuildDay = 6;
// Instances allowed at once: NT-family systems and the Windows 95 family.
constexpr int kInstanceLimitNT = 100;
constexpr int kInstanceLimit9x = 4;
// How long the closing program waits for its update check.
constexpr DWORD kUpdateCheckExitWaitMs = 2000;
