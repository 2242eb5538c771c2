// CKIVOApp: the control module's one application object. It settles where
// everything lives before the first control exists (registry root, interface
// language, the module's and Lumbra's folders), checks Lumbra's data, and
// owns the word-adjustment libraries every control of the process shares.
//
// Start-up does not run while the module is being loaded (no windows under
// the loader lock, and regsvr32 must be able to register the control before
// Lumbra is located): it runs once, on the first request for a control, and
// that request fails when it fails.
#pragma once

#include "InterfaceLanguage.h"
#include "IntegrationCheck.h"
#include "TempFile.h"
#include "WALibraryLists.h"

#include <windows.h>

#include <string>
#include <vector>

class CKIVOApp : public CInterfaceLanguage {
public:
    CKIVOApp();
    ~CKIVOApp() override;

    // The application object of the module.
    static CKIVOApp& Instance();

    // Runs LoadConfiguration the first time; afterwards answers its result.
    // A request made while that first run is still under way (through a
    // message its windows let through) answers false: not ready.
    bool InitInstance();
    // The start-up sequence; true when the control may load.
    bool LoadConfiguration();
    // The integration check of m_strLumbraRoot; `strMessage` lists what is missing.
    bool CheckIntegration(std::string& strMessage) const;
    // Management operation 1: re-read Lumbra's folder, check it and reload
    // the libraries. 0 after showing the check message (the old libraries
    // stay), 1 when reloaded. While start-up or another reload is building
    // the lists, 0 at once and nothing else: this request reloaded nothing.
    int ReloadWordAdjustment();
    // Loads both library lists behind the loading window.
    void PrepareWordAdjustment();

    // Sets the folders that start-up otherwise takes from the module file;
    // for hosts that embed the engine, and for tests.
    void SetMainPath(const std::string& strMainPath);
    // Lumbra's folder and the paths below it.
    void SetLumbraRoot(const std::string& strRoot);

    const CWALibraryLists& WordAdjustment() const { return m_lists; }
    CTempFolders TempFolders() const { return CTempFolders{m_strWorkFolder, m_strSystemTemp}; }

    std::string m_strMainPath;
    std::string m_strConfigFolder;
    std::string m_strWorkFolder;
    std::string m_strSystemTemp;
    std::string m_strLumbraRoot;
    std::string m_strWAFolder;
    std::vector<std::string> m_arrWAFiles;
    int m_nMessageCount = 0;
    std::string m_strIntegrationHeader;
    std::vector<std::string> m_arrIntegrationTemplates;
    std::string m_strProductName;

protected:
    void LoadInterfaceTexts() override;
    // The Mini Control Panel, modally; IDOK when the user confirmed a folder.
    virtual INT_PTR RunMiniControlPanel();
    // Shows a message with the OK button, no icon and the product name as title.
    virtual void ShowMessage(const std::string& strText);

private:
    int m_nInitState = 0;  // 0 not run, 1 succeeded, -1 failed
    bool m_bBuilding = false;  // start-up or a reload is under way
    bool m_bMainPathGiven = false;
    CWALibraryLists m_lists;
};

// Registry values of the control, under its root.
constexpr char kRegPath[] = "Path";
constexpr char kRegLumbraRoot[] = "Lumbra Root Folder";
constexpr char kRegLastMainPath[] = "Last Main Path Folder";
constexpr char kRegLastLumbraPath[] = "Last Lumbra Path Folder";
constexpr char kControlRegistryRoot[] = "software\\Perdix\\KIVO\\1.5";
